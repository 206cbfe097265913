#pragma once

#include <QString>

// Where 导出CAD文件 proposes to save: the folder of the last drawing the
// user exported (a per-user setting, "cadexportpath"), so that a series of
// drawings lands in one folder; without one, or once that folder is gone,
// the project's own folder.
namespace CadExportFolder {

// The name the save dialog starts with: `projectProposal` (folder and base
// name, without extension, as for saving the project) moved into the last
// export folder when there is one, with `suffix` appended (".dxf").
QString proposedPath(const QString& projectProposal, const QString& suffix);

// Stores the folder of a file just written (native separators).
void remember(const QString& writtenFile);

} // namespace CadExportFolder
