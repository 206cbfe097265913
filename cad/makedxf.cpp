#include "cad/makedxf.h"

#include <QFile>
#include <QTextCodec>
#include <QTextStream>

namespace {
const QLatin1String kEol("\r\n");
const QLatin1String kLayer("KVQXTW");
const QLatin1String kTextStyle("QXTWZT");
const QLatin1String kDashed("ACAD_ISO02W100");
const QLatin1String kSlopeLine("QXTWBP");
const QLatin1String kZero("0.0");

// One group: the code line as it stands (" 0", " 100", ...), then the value.
void group(QTextStream& s, const char* code, const QString& value) {
    s << code << kEol << value << kEol;
}
void group(QTextStream& s, const char* code, QLatin1String value) {
    s << code << kEol << value << kEol;
}
void group(QTextStream& s, const char* code, double value) {
    group(s, code, MakeDxf::number(value));
}
void group(QTextStream& s, const char* code, int value) {
    group(s, code, QString::number(value));
}

void entityHead(QTextStream& s, const char* type, int handle, const QString& layer) {
    group(s, " 0", QLatin1String(type));
    group(s, " 5", MakeDxf::handleText(handle));
    group(s, " 100", QLatin1String("AcDbEntity"));
    if (layer.isEmpty())
        group(s, " 8", kLayer);
    else
        group(s, " 8", layer);
}

// Copies a template resource line by line with CR LF line ends; lineFilter
// may replace a line (by its number counted from 0). Stops after maxLines.
template <typename Filter>
bool copyTemplate(QTextStream& out, const QString& resource, int maxLines, Filter lineFilter) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    int number = 0;
    while (number < maxLines && !file.atEnd()) {
        QByteArray raw = file.readLine();
        while (raw.endsWith('\n') || raw.endsWith('\r'))
            raw.chop(1);
        out << lineFilter(number, QString::fromLatin1(raw)) << kEol;
        ++number;
    }
    return true;
}
} // namespace

// The templates live in the resource library; naming its initialiser keeps
// the linker from dropping it from static builds.
static void initDxfTemplates() {
    Q_INIT_RESOURCE(dxf);
}

MakeDxf::MakeDxf(QObject* parent) : QObject(parent) {
    static const bool once = (initDxfTemplates(), true);
    Q_UNUSED(once);
}

QString MakeDxf::number(double value) {
    return QString::number(value, 'g', 6);
}

QString MakeDxf::handleText(int handle) {
    return QString::number(handle, 16);
}

int MakeDxf::nextHandle(int counter) {
    // The prefix's view port keeps EA; a drawing long enough to reach it
    // (more planes than the data dialog allows) steps over it.
    return counter + 1 == ViewportHandle ? counter + 2 : counter + 1;
}

QTextCodec* MakeDxf::dxfCodec() {
    static QTextCodec* codec = QTextCodec::codecForName("GBK");
    return codec;
}

QString MakeDxf::encodableText(const QString& text) {
    QTextCodec* codec = dxfCodec();
    QString result;
    result.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() || c.isLowSurrogate()) {
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
            result += QLatin1Char('?');
        } else if (c.unicode() < 0x80 || (codec && codec->canEncode(c))) {
            result += c;
        } else {
            result += QLatin1String("\\U+") +
                      QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
        }
    }
    return result;
}

bool MakeDxf::writeHead(QTextStream& stream) {
    return copyTemplate(stream, QStringLiteral(":/dxf/head.dxf"), INT_MAX,
                        [](int, const QString& line) { return line; });
}

int MakeDxf::writeHead(QTextStream& stream, const QStringList& layers) {
    if (layers.isEmpty())
        return writeHead(stream) ? FirstHandle : -1;
    // The layer table of the template declares "0" and the drawing's layer;
    // the further layers take the first handles after the template's, so
    // the entities follow them.
    int handle = FirstHandle;
    QStringList records;
    for (const QString& name : layers) {
        handle = nextHandle(handle);
        records << QStringLiteral("  0") << QStringLiteral("LAYER") << QStringLiteral("  5")
                << handleText(handle) << QStringLiteral("330") << QStringLiteral("2") << QStringLiteral("100")
                << QStringLiteral("AcDbSymbolTableRecord") << QStringLiteral("100")
                << QStringLiteral("AcDbLayerTableRecord") << QStringLiteral("  2") << name
                << QStringLiteral(" 70") << QStringLiteral("0") << QStringLiteral(" 62")
                << QStringLiteral("7") << QStringLiteral("  6") << QStringLiteral("Continuous")
                << QStringLiteral("370") << QStringLiteral("-3") << QStringLiteral("390")
                << QStringLiteral("F");
    }
    // Lines of the template: the layer table starts at "LAYER" after
    // "TABLE"; its count is the " 70" value after the table's subclass
    // marker; the records end at its "ENDTAB".
    int state = 0; // 0 before the table, 1 in its head, 2 in its records, 3 after
    QString previous;
    const bool copied = copyTemplate(
        stream, QStringLiteral(":/dxf/head.dxf"), INT_MAX, [&](int, const QString& line) -> QString {
            QString out = line;
            if (state == 0 && previous == QLatin1String("  2") && line == QLatin1String("LAYER")) {
                state = 1;
            } else if (state == 1 && previous == QLatin1String(" 70")) {
                out = QString::number(line.toInt() + layers.size());
                state = 2;
            } else if (state == 2 && line == QLatin1String("ENDTAB")) {
                // "  0" of ENDTAB was written already: the records
                // go before it.
                out = records.mid(1).join(QLatin1String("\r\n")) + QLatin1String("\r\n  0\r\nENDTAB");
                state = 3;
            }
            previous = line;
            return out;
        });
    return copied && state == 3 ? handle : -1;
}

int MakeDxf::writeNet(QTextStream& stream, int handle, int R, double T) {
    DxfSink sink(*this, stream, handle);
    CadDrawing::net(sink, R, T);
    return sink.handle;
}

int MakeDxf::writeArc(QTextStream& s, int handle, double x, double y, double radius, double startAngle,
                      double endAngle, int style, int colour, double scale) {
    handle = MakeDxf::nextHandle(handle);
    entityHead(s, "ARC", handle, layer);
    group(s, " 62", colour);
    group(s, " 370", -1);
    if (style == CadDrawing::SlopeLine) {
        group(s, " 48", scale);
        group(s, " 6", kSlopeLine);
    }
    group(s, " 100", QLatin1String("AcDbCircle"));
    group(s, " 10", x);
    group(s, " 20", y);
    group(s, " 30", kZero);
    group(s, " 40", radius);
    group(s, " 100", QLatin1String("AcDbArc"));
    group(s, " 50", startAngle);
    group(s, " 51", endAngle);
    return handle;
}

int MakeDxf::writeCircle(QTextStream& s, int handle, double x, double y, double radius, int style, int colour,
                         double scale) {
    handle = MakeDxf::nextHandle(handle);
    entityHead(s, "CIRCLE", handle, layer);
    if (style == CadDrawing::Dashed) {
        group(s, " 6", kDashed);
        group(s, " 48", scale);
    }
    group(s, " 62", colour);
    group(s, " 100", QLatin1String("AcDbCircle"));
    group(s, " 10", x);
    group(s, " 20", y);
    group(s, " 30", kZero);
    group(s, " 40", radius);
    return handle;
}

int MakeDxf::writeColouredLine(QTextStream& s, int handle, double x1, double y1, double x2, double y2,
                               int style, int colour, double scale) {
    handle = MakeDxf::nextHandle(handle);
    entityHead(s, "LINE", handle, layer);
    group(s, " 62", colour);
    group(s, " 370", -1);
    if (style == CadDrawing::Dashed) {
        group(s, " 6", kDashed);
        group(s, " 48", scale);
    }
    group(s, " 100", QLatin1String("AcDbLine"));
    group(s, " 10", x1);
    group(s, " 20", y1);
    group(s, " 30", kZero);
    group(s, " 11", x2);
    group(s, " 21", y2);
    group(s, " 31", kZero);
    return handle;
}

int MakeDxf::writeLine(QTextStream& s, int handle, double x1, double y1, double x2, double y2, int style,
                       double scale) {
    const int colour = style == CadDrawing::Dashed ? int(CadDrawing::ZoneColour) : int(CadDrawing::ByLayer);
    return writeColouredLine(s, handle, x1, y1, x2, y2, style, colour, scale);
}

int MakeDxf::writeCross(QTextStream& stream, int handle, double x, double y, int R) {
    DxfSink sink(*this, stream, handle);
    CadDrawing::cross(sink, x, y, R);
    return sink.handle;
}

int MakeDxf::writePolylineHead(QTextStream& s, int handle, int vertexCount, int style, double scale) {
    return writePolylineHead(s, handle, vertexCount, style, scale, CadDrawing::ByLayer);
}

int MakeDxf::writePolylineHead(QTextStream& s, int handle, int vertexCount, int style, double scale,
                               int colour) {
    handle = MakeDxf::nextHandle(handle);
    entityHead(s, "LWPOLYLINE", handle, layer);
    if (style == CadDrawing::Dashed) {
        group(s, " 62", int(CadDrawing::ZoneColour));
        group(s, " 6", kDashed);
        group(s, " 48", scale);
    } else {
        group(s, " 62", colour);
    }
    group(s, " 100", QLatin1String("AcDbPolyline"));
    group(s, " 90", vertexCount);
    group(s, " 70", 0);
    return handle;
}

void MakeDxf::writeVertex(QTextStream& s, double x, double y) {
    group(s, " 10", x);
    group(s, " 20", y);
}

int MakeDxf::writeText(QTextStream& s, int handle, double x, double y, double height, const QString& text,
                       int hAlign, int vAlign, double rotation) {
    handle = MakeDxf::nextHandle(handle);
    entityHead(s, "TEXT", handle, layer);
    group(s, " 62", int(CadDrawing::ByLayer));
    group(s, " 370", -1);
    group(s, " 100", QLatin1String("AcDbText"));
    group(s, " 10", x);
    group(s, " 20", y);
    group(s, " 30", kZero);
    group(s, " 40", height);
    group(s, " 1", encodableText(CadDrawing::drawableText(text)));
    group(s, " 50", rotation);
    group(s, " 7", kTextStyle);
    group(s, " 72", hAlign);
    group(s, " 11", x);
    group(s, " 21", y);
    group(s, " 31", kZero);
    group(s, " 100", QLatin1String("AcDbText"));
    group(s, " 73", vAlign);
    return handle;
}

bool MakeDxf::writeEnd(QTextStream& stream, int handle) {
    // The suffix's own handles for the variable dictionary and its two
    // variables follow the last entity. Besides the seven handle lines, the
    // two variables' owner lines (525, 535) name the moved dictionary, so
    // that no object points at the text style that keeps handle 36. The
    // root dictionary's MY_OBJECTS entry (43) names the empty dictionary at
    // the end of the suffix (543), so that no entry dangles.
    const int n1 = nextHandle(handle);
    const int n2 = nextHandle(n1);
    const int n3 = nextHandle(n2);
    const int n4 = nextHandle(n3);
    return copyTemplate(stream, QStringLiteral(":/dxf/end.dxf"), SuffixLines,
                        [=](int number, const QString& line) {
                            switch (number) {
                            case 39:
                            case 507:
                            case 525:
                            case 535:
                                return handleText(n1);
                            case 43:
                            case 543:
                                return handleText(n2);
                            case 519:
                            case 523:
                                return handleText(n3);
                            case 515:
                            case 533:
                                return handleText(n4);
                            default:
                                return line;
                            }
                        });
}

void DxfSink::circle(double x, double y, double radius, int style, int colour, double scale) {
    handle = w.writeCircle(s, handle, x, y, radius, style, colour, scale);
}

void DxfSink::arc(double x, double y, double radius, double startAngle, double endAngle, int style,
                  int colour, double scale) {
    handle = w.writeArc(s, handle, x, y, radius, startAngle, endAngle, style, colour, scale);
}

void DxfSink::line(double x1, double y1, double x2, double y2, int style, int colour, double scale) {
    handle = w.writeColouredLine(s, handle, x1, y1, x2, y2, style, colour, scale);
}

void DxfSink::polyline(const QVector<QPointF>& vertices, int style, int colour, double scale) {
    handle = w.writePolylineHead(s, handle, vertices.size(), style, scale, colour);
    for (const QPointF& p : vertices)
        w.writeVertex(s, p.x(), p.y());
}

void DxfSink::setLayer(const QString& name) {
    w.layer = name == QLatin1String(kLayer) ? QString() : name;
}

void DxfSink::text(double x, double y, double height, const QString& text, int hAlign, int vAlign,
                   double rotation) {
    handle = w.writeText(s, handle, x, y, height, text, hAlign, vAlign, rotation);
}
