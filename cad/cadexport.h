#pragma once

#include <QByteArray>
#include <QString>

class DataCenter;
class JudgeZone;
class QIODevice;
class QTextStream;
class QXmlStreamWriter;

// The project's drawing operations: the whole drawing as a DXF file or, via
// the interchange XML and the DWG library, as a DWG file, and the parts of
// the drawing that belong to the project and to its judgement zones. They
// read the project's CAD radius and text height, which the copy-to-CAD
// command stores just before it exports.
namespace CadExport {

// Writes the DXF drawing to path through a temporary file that replaces
// path only when complete (a link planted at path is replaced, never
// followed). False, with nothing written, when the file cannot be written.
bool exportDxf(const DataCenter& project, const QString& path);
// The DXF drawing onto an open device.
bool writeDxf(const DataCenter& project, QIODevice& device);

// Places the interchange XML on the clipboard and lets the DWG library
// write path (again through a temporary file in the same folder).
bool exportDwg(const DataCenter& project, const QString& path);
// The interchange XML of the drawing (UTF-8).
QByteArray drawingXml(const DataCenter& project);

// Planes and wedges, great circles or poles; the DXF forms take and return
// the handle counter.
int writeGreatCirclesDxf(const DataCenter& project, QTextStream& stream, int handle, int R, double T);
int writePolesDxf(const DataCenter& project, QTextStream& stream, int handle, int R, double T);
void writeGreatCirclesXml(const DataCenter& project, QXmlStreamWriter& writer, int R, double T);
void writePolesXml(const DataCenter& project, QXmlStreamWriter& writer, int R, double T);

// The exported judgement zones.
int writeDxf(const JudgeZone& zone, QTextStream& stream, int handle, int R, double slopeDirection);
void writeXml(const JudgeZone& zone, QXmlStreamWriter& writer, int R, double slopeDirection);

} // namespace CadExport
