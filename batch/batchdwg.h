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

enum class Result { Written, Refused, NotWritten };

// Writes the drawing described by xml (UTF-8 interchange XML) to path,
// replacing an earlier file only when the new one is complete. Refused:
// the drawing holds what a DWG cannot (e.g. the zero-size arc of a plane
// whose attitude is out of range); nothing is written then.
Result writeDwgFile(const QByteArray& xml, const QString& path);

} // namespace BatchDwg
