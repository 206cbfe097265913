#pragma once

#include <QByteArray>
#include <QString>

// DWG files without the clipboard: the interchange XML goes straight into
// Vantrel's reader and writer (linked statically), so any thread may write
// a drawing and no display is needed. The result is the file Vantrel's
// writeDwg makes from the same XML.
namespace BatchDwg {

// False when the DWG writer is not part of this build.
bool available();

// Writes the drawing described by xml (UTF-8 interchange XML) to path,
// replacing an earlier file only when the new one is complete.
bool writeDwgFile(const QByteArray& xml, const QString& path);

} // namespace BatchDwg
