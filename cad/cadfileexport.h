#pragma once

#include <QString>

class DataCenter;

// "导出CAD文件": the CAD drawing of a project saved as a file the user names,
// written by the same writers as 复制CAD (DXF by Karven, DWG by Vantrel),
// each through a temporary file that replaces an earlier one only when
// complete. The clipboard is left as it was.
namespace CadFileExport {

enum class Format { Dxf, Dwg };

// The format a chosen name asks for: DWG for a name ending ".dwg" (any
// case), DXF otherwise.
Format formatOf(const QString& path);

// The save dialog's filters, DXF first.
QString fileFilter();

// Stores R and H in the project, refreshes its CAD colours and writes the
// drawing to path. When the file cannot be written, returns false with the
// warning to show in error; an earlier file at path stays as it was.
bool writeDrawingFile(DataCenter& project, const QString& path, int radius, int textPercent, QString& error);

// The DXF writer's output at path, with the permissions a new file of the
// user gets (the writer's private temporary file would keep owner-only
// ones), or those of the file it replaces.
bool exportDxfFile(const DataCenter& project, const QString& path);

// The permission mask applied to new files (computed once; call first from
// the main thread when files are written on several threads).
int fileCreationMask();

// The DWG branch: Vantrel reads the drawing from the clipboard's text, so
// the clipboard's contents are kept aside for the call and put back after.
bool exportDwgKeepingClipboard(const DataCenter& project, const QString& path);

} // namespace CadFileExport
