#include "cad/makedwg.h"

#include "platform/dwgbinding.h"

#include <QXmlStreamWriter>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
const QString kType = QStringLiteral("type");
const QString kColor = QStringLiteral("color");
const QString kScale = QStringLiteral("scale");

void point(QXmlStreamWriter& w, const QString& name, const QString& xName, double x, const QString& yName,
           double y) {
    w.writeStartElement(name);
    w.writeAttribute(xName, MakeDwg::number(x));
    w.writeAttribute(yName, MakeDwg::number(y));
    w.writeEndElement();
}

void point(QXmlStreamWriter& w, double x, double y) {
    point(w, QStringLiteral("Point"), QStringLiteral("x"), x, QStringLiteral("y"), y);
}

void centre(QXmlStreamWriter& w, double x, double y) {
    point(w, QStringLiteral("Center"), QStringLiteral("x0"), x, QStringLiteral("y0"), y);
}

void writeProperty(QXmlStreamWriter& w, int style, int colour, double scale) {
    w.writeStartElement(QStringLiteral("Property"));
    w.writeAttribute(kType, QString::number(style));
    w.writeAttribute(kColor, QString::number(colour));
    w.writeAttribute(kScale, MakeDwg::number(scale));
    w.writeEndElement();
}
} // namespace

MakeDwg::MakeDwg(QObject* parent) : QObject(parent) {}

QString MakeDwg::number(double value) {
    return QString::number(value, 'g', 6);
}

QString MakeDwg::radians(double degrees) {
    return number(degrees * kDegToRad);
}

void MakeDwg::writeNet(QXmlStreamWriter& w, int R, double T) {
    XmlSink sink(*this, w);
    CadDrawing::net(sink, R, T);
}

void MakeDwg::writeArc(QXmlStreamWriter& w, double x, double y, double radius, double startAngle,
                       double endAngle, int style, int colour, double scale) {
    w.writeStartElement(QStringLiteral("arc"));
    if (!layer.isEmpty())
        w.writeAttribute(QStringLiteral("layer"), layer);
    centre(w, x, y);
    w.writeTextElement(QStringLiteral("Radius"), number(radius));
    w.writeStartElement(QStringLiteral("Angle"));
    w.writeAttribute(QStringLiteral("a1"), radians(startAngle));
    w.writeAttribute(QStringLiteral("a2"), radians(endAngle));
    w.writeEndElement();
    writeProperty(w, style, colour, scale);
    w.writeEndElement();
}

void MakeDwg::writeCircle(QXmlStreamWriter& w, double x, double y, double radius, int style, int colour,
                          double scale) {
    w.writeStartElement(QStringLiteral("circle"));
    if (!layer.isEmpty())
        w.writeAttribute(QStringLiteral("layer"), layer);
    centre(w, x, y);
    w.writeTextElement(QStringLiteral("Radius"), number(radius));
    writeProperty(w, style, colour, scale);
    w.writeEndElement();
}

void MakeDwg::writeLine(QXmlStreamWriter& w, double x1, double y1, double x2, double y2, int style,
                        int colour, double scale) {
    w.writeStartElement(QStringLiteral("line"));
    if (!layer.isEmpty())
        w.writeAttribute(QStringLiteral("layer"), layer);
    point(w, x1, y1);
    point(w, x2, y2);
    writeProperty(w, style, colour, scale);
    w.writeEndElement();
}

void MakeDwg::writeCross(QXmlStreamWriter& w, double x, double y, int R) {
    XmlSink sink(*this, w);
    CadDrawing::cross(sink, x, y, R);
}

void MakeDwg::writePolyline(QXmlStreamWriter& w, const QVector<QPointF>& vertices, int style, double scale) {
    writePolyline(w, vertices, style, scale, CadDrawing::ZoneColour);
}

void MakeDwg::writePolyline(QXmlStreamWriter& w, const QVector<QPointF>& vertices, int style, double scale,
                            int colour) {
    w.writeStartElement(QStringLiteral("polyline"));
    if (!layer.isEmpty())
        w.writeAttribute(QStringLiteral("layer"), layer);
    for (const QPointF& p : vertices)
        point(w, p.x(), p.y());
    writeProperty(w, style, style == CadDrawing::Dashed ? int(CadDrawing::ZoneColour) : colour, scale);
    w.writeEndElement();
}

void MakeDwg::writeText(QXmlStreamWriter& w, double x, double y, double height, const QString& text,
                        int hAlign, int vAlign, double rotation) {
    w.writeStartElement(QStringLiteral("text"));
    if (!layer.isEmpty())
        w.writeAttribute(QStringLiteral("layer"), layer);
    point(w, x, y);
    w.writeTextElement(QStringLiteral("Txt"), CadDrawing::drawableText(text));
    w.writeTextElement(QStringLiteral("Height"), number(height));
    w.writeStartElement(QStringLiteral("Align"));
    w.writeAttribute(QStringLiteral("H"), QString::number(hAlign));
    w.writeAttribute(QStringLiteral("V"), QString::number(vAlign));
    w.writeAttribute(QStringLiteral("rotate"), radians(rotation));
    w.writeEndElement();
    w.writeEndElement();
}

bool MakeDwg::checkDotNet() {
    return DwgBinding::checkDotNet();
}

bool MakeDwg::callWriteDwg(const QString& path) {
    return DwgBinding::callWriteDwg(path);
}

void XmlSink::circle(double cx, double cy, double radius, int style, int colour, double scale) {
    w.writeCircle(x, cx, cy, radius, style, colour, scale);
}

void XmlSink::arc(double cx, double cy, double radius, double startAngle, double endAngle, int style,
                  int colour, double scale) {
    w.writeArc(x, cx, cy, radius, startAngle, endAngle, style, colour, scale);
}

void XmlSink::line(double x1, double y1, double x2, double y2, int style, int colour, double scale) {
    w.writeLine(x, x1, y1, x2, y2, style, colour, scale);
}

void XmlSink::polyline(const QVector<QPointF>& vertices, int style, int colour, double scale) {
    w.writePolyline(x, vertices, style, scale, colour);
}

void XmlSink::text(double px, double py, double height, const QString& text, int hAlign, int vAlign,
                   double rotation) {
    w.writeText(x, px, py, height, text, hAlign, vAlign, rotation);
}

void XmlSink::setLayer(const QString& name) {
    w.layer = name == QLatin1String(CadDrawing::DrawingLayer) ? QString() : name;
}
