#pragma once

#include <QByteArray>
#include <QStringList>

class QMimeData;

// The clipboard formats AutoCAD, GstarCAD and ZWCAD paste a drawing from.
// On Windows each is registered under exactly its name and holds the bytes
// unchanged; elsewhere the names serve as MIME formats.
namespace CadClipboard {

// Format names for a CAD type (1 AutoCAD, 2 GstarCAD, 4 ZWCAD), in the order
// they are placed: "AutoCAD.r18", then for AutoCAD and ZWCAD "AutoCAD.r22",
// "AutoCAD.r16", "AutoCAD.r17", "AutoCAD.r19".
QStringList formatNames(int cadType);

// MIME type under which a format name travels through QMimeData.
QString mimeTypeOf(const QString& formatName);

// Clears the clipboard and places the record under the formats of cadType.
// False when the application has no clipboard.
bool place(const QByteArray& record, int cadType);

} // namespace CadClipboard
