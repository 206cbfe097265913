#pragma once

#include "cad/caddrawing.h"

#include <QObject>

class QXmlStreamWriter;

// Writes the drawing as interchange XML (root "entities", version "1.0"),
// the document the DWG library reads from the clipboard. Numbers are written
// with six significant digits (%g style), angles in radians.
class MakeDwg : public QObject {
    Q_OBJECT
public:
    explicit MakeDwg(QObject* parent = nullptr);

    void writeNet(QXmlStreamWriter& w, int R, double T);
    void writeArc(QXmlStreamWriter& w, double x, double y, double radius, double startAngle, double endAngle,
                  int style, int colour, double scale);
    void writeCircle(QXmlStreamWriter& w, double x, double y, double radius, int style, int colour,
                     double scale);
    void writeLine(QXmlStreamWriter& w, double x1, double y1, double x2, double y2, int style, int colour,
                   double scale);
    void writeCross(QXmlStreamWriter& w, double x, double y, int R);
    void writePolyline(QXmlStreamWriter& w, const QVector<QPointF>& vertices, int style, double scale);
    void writeText(QXmlStreamWriter& w, double x, double y, double height, const QString& text, int hAlign,
                   int vAlign, double rotation);

    // True when the runtime the DWG library needs is present (warns if not).
    bool checkDotNet();
    // Loads the DWG library and lets it write the clipboard's drawing to path.
    bool callWriteDwg(const QString& path);

    // A continuous polyline takes `colour`; a dashed one is always colour 150.
    void writePolyline(QXmlStreamWriter& writer, const QVector<QPointF>& vertices, int style, double scale,
                       int colour);

    static QString number(double value);
    static QString radians(double degrees);

    // Layer of the elements written next ("layer" attribute); empty: the
    // drawing's layer, written without the attribute.
    QString layer;
};

// Sink that writes each primitive as one interchange-XML element.
class XmlSink : public CadSink {
public:
    XmlSink(MakeDwg& writer, QXmlStreamWriter& xml) : w(writer), x(xml) {}

    void circle(double cx, double cy, double radius, int style, int colour, double scale) override;
    void arc(double cx, double cy, double radius, double startAngle, double endAngle, int style, int colour,
             double scale) override;
    void line(double x1, double y1, double x2, double y2, int style, int colour, double scale) override;
    void polyline(const QVector<QPointF>& vertices, int style, int colour, double scale) override;
    void text(double px, double py, double height, const QString& text, int hAlign, int vAlign,
              double rotation) override;
    void setLayer(const QString& name) override;

private:
    MakeDwg& w;
    QXmlStreamWriter& x;
};
