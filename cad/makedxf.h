#pragma once

#include "cad/caddrawing.h"

#include <QObject>

class QTextStream;
class QTextCodec;

// Writes the drawing as an ASCII DXF (AC1015) file: the prefix template, one
// entity per primitive with consecutive handles, the suffix template with
// its object handles moved behind the last entity. Every line ends with
// CR LF; the stream must carry the GBK codec (see dxfCodec()).
//
// Handle counter: each entity takes counter + 1 as its handle; the writers
// return the counter after their entities. The drawing starts at 54, so
// the first entity is 37 (hexadecimal).
class MakeDxf : public QObject {
    Q_OBJECT
public:
    static constexpr int FirstHandle = 54;
    static constexpr int SuffixLines = 560;
    // The one prefix handle above the first entity handle.
    static constexpr int ViewportHandle = 0xEA;

    explicit MakeDxf(QObject* parent = nullptr);

    bool writeHead(QTextStream& stream);
    // The head with further layers declared after the drawing's own; returns
    // the handle counter to start the entities from (FirstHandle when there
    // are none), or -1 when the template cannot be read.
    int writeHead(QTextStream& stream, const QStringList& layers);
    int writeNet(QTextStream& stream, int handle, int R, double T);
    int writeArc(QTextStream& stream, int handle, double x, double y, double radius, double startAngle,
                 double endAngle, int style, int colour, double scale);
    int writeCircle(QTextStream& stream, int handle, double x, double y, double radius, int style, int colour,
                    double scale);
    // The colour follows from the style: 150 for dashed lines, else by layer.
    int writeLine(QTextStream& stream, int handle, double x1, double y1, double x2, double y2, int style,
                  double scale);
    int writeCross(QTextStream& stream, int handle, double x, double y, int R);
    int writePolylineHead(QTextStream& stream, int handle, int vertexCount, int style, double scale);
    // A continuous polyline takes `colour`; a dashed one is always colour 150.
    int writePolylineHead(QTextStream& stream, int handle, int vertexCount, int style, double scale,
                          int colour);
    void writeVertex(QTextStream& stream, double x, double y);
    int writeText(QTextStream& stream, int handle, double x, double y, double height, const QString& text,
                  int hAlign, int vAlign, double rotation);
    bool writeEnd(QTextStream& stream, int handle);

    // LINE with an explicit colour (the crosses use colour 1).
    int writeColouredLine(QTextStream& stream, int handle, double x1, double y1, double x2, double y2,
                          int style, int colour, double scale);

    // Number as written into the file: six significant digits, %g style.
    static QString number(double value);
    // Handle as written into the file: lower-case hexadecimal.
    static QString handleText(int handle);
    // The handle after counter: counter + 1, stepping over ViewportHandle.
    static int nextHandle(int counter);
    // A text value in the form the GBK stream can hold: characters outside
    // GBK become \U+XXXX escapes (characters beyond the BMP, which the
    // escape cannot name, become '?').
    static QString encodableText(const QString& text);
    // The code page the header declares (936).
    static QTextCodec* dxfCodec();

    // Layer of the entities written next; empty: the drawing's layer.
    QString layer;
};

// Sink that writes each primitive as a DXF entity and counts the handles.
class DxfSink : public CadSink {
public:
    DxfSink(MakeDxf& writer, QTextStream& stream, int handle) : w(writer), s(stream), handle(handle) {}

    void circle(double x, double y, double radius, int style, int colour, double scale) override;
    void arc(double x, double y, double radius, double startAngle, double endAngle, int style, int colour,
             double scale) override;
    void line(double x1, double y1, double x2, double y2, int style, int colour, double scale) override;
    void polyline(const QVector<QPointF>& vertices, int style, int colour, double scale) override;
    void text(double x, double y, double height, const QString& text, int hAlign, int vAlign,
              double rotation) override;
    void setLayer(const QString& name) override;

private:
    MakeDxf& w;
    QTextStream& s;

public:
    int handle;
};
