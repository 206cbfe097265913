#include "cad/cadexport.h"

#include "cad/caddrawing.h"
#include "cad/makedwg.h"
#include "cad/makedxf.h"
#include "model/datacenter.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryFile>
#include <QTextStream>
#include <QXmlStreamWriter>

#include <cstdio>

namespace CadExport {
namespace {
// Moves from over to, replacing whatever stands at to (a link included)
// instead of writing through it.
bool replaceFile(const QString& from, const QString& to) {
#ifdef Q_OS_WIN
    if (QFileInfo(to).isSymLink() || QFileInfo::exists(to))
        QFile::remove(to);
    return QFile::rename(from, to);
#else
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

// A fresh, uniquely named file beside path (created exclusively, so no one
// else's file or link can be under that name).
bool createSibling(QTemporaryFile& file, const QString& path) {
    const QFileInfo info(path);
    file.setFileTemplate(info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                         QStringLiteral(".XXXXXX.") + info.suffix());
    return file.open();
}

void startDocument(QXmlStreamWriter& writer) {
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(4);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("entities"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
}
} // namespace

bool writeDxf(const DataCenter& project, QIODevice& device) {
    if (!MakeDxf::dxfCodec())
        return false; // a Qt built without the Chinese code pages
    QTextStream stream(&device);
    stream.setCodec(MakeDxf::dxfCodec());
    MakeDxf dxf;
    const int first = dxf.writeHead(stream, CadDrawing::extraLayers(project));
    if (first < 0)
        return false;
    DxfSink sink(dxf, stream, first);
    CadDrawing::drawing(sink, project);
    if (!dxf.writeEnd(stream, sink.handle))
        return false;
    stream.flush();
    return stream.status() == QTextStream::Ok;
}

bool exportDxf(const DataCenter& project, const QString& path) {
    if (path.isEmpty())
        return false;
    QTemporaryFile file;
    if (!createSibling(file, path))
        return false;
    if (!writeDxf(project, file) || !file.flush())
        return false;
    file.close();
    if (!replaceFile(file.fileName(), path))
        return false;
    file.setAutoRemove(false);
    return true;
}

QByteArray drawingXml(const DataCenter& project) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    startDocument(writer);
    MakeDwg dwg;
    XmlSink sink(dwg, writer);
    CadDrawing::drawing(sink, project);
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

bool exportDwg(const DataCenter& project, const QString& path) {
    if (path.isEmpty())
        return false;
    const QString xml = QString::fromUtf8(drawingXml(project));
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(xml, QClipboard::Clipboard);

    MakeDwg dwg;
    if (!dwg.checkDotNet())
        return false;
    // The library writes a private file beside path, which then replaces
    // path in one step.
    QTemporaryFile file;
    if (!createSibling(file, path))
        return false;
    file.close();
    if (!dwg.callWriteDwg(file.fileName()))
        return false;
    if (QFileInfo(file.fileName()).size() <= 0 || !replaceFile(file.fileName(), path))
        return false;
    file.setAutoRemove(false);
    return true;
}

int writeGreatCirclesDxf(const DataCenter& project, QTextStream& stream, int handle, int R, double T) {
    MakeDxf dxf;
    DxfSink sink(dxf, stream, handle);
    CadDrawing::greatCircles(sink, project, R, T);
    return sink.handle;
}

int writePolesDxf(const DataCenter& project, QTextStream& stream, int handle, int R, double T) {
    MakeDxf dxf;
    DxfSink sink(dxf, stream, handle);
    CadDrawing::poles(sink, project, R, T);
    return sink.handle;
}

void writeGreatCirclesXml(const DataCenter& project, QXmlStreamWriter& writer, int R, double T) {
    MakeDwg dwg;
    XmlSink sink(dwg, writer);
    CadDrawing::greatCircles(sink, project, R, T);
}

void writePolesXml(const DataCenter& project, QXmlStreamWriter& writer, int R, double T) {
    MakeDwg dwg;
    XmlSink sink(dwg, writer);
    CadDrawing::poles(sink, project, R, T);
}

int writeDxf(const JudgeZone& zone, QTextStream& stream, int handle, int R, double slopeDirection) {
    MakeDxf dxf;
    DxfSink sink(dxf, stream, handle);
    CadDrawing::zones(sink, zone, R, slopeDirection);
    return sink.handle;
}

void writeXml(const JudgeZone& zone, QXmlStreamWriter& writer, int R, double slopeDirection) {
    MakeDwg dwg;
    XmlSink sink(dwg, writer);
    CadDrawing::zones(sink, zone, R, slopeDirection);
}

} // namespace CadExport
