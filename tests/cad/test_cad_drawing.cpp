// The CAD drawing and its two encodings: order, sizes, styles, label rules,
// the DXF groups and templates, the interchange XML.
#include "cad/cadexport.h"
#include "cad/makedwg.h"
#include "cad/makedxf.h"
#include "cadtestutil.h"
#include "model/displayoptions.h"
#include "model/labels.h"
#include "tests/common/testplanes.h"

#include <QBuffer>
#include <QDomDocument>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTextStream>
#include <QXmlStreamWriter>
#include <QtTest>

#include <cmath>

namespace {
bool near(double a, double b, double tol = 1e-9) {
    return std::fabs(a - b) <= tol;
}

// A bare project: no planes, labels off, R 50, H 5.
void bare(DataCenter& project) {
    project.ShowMark = 0;
    project.cadRadius = 50;
    project.cadTextPercent = 5;
}

// Two planes and their wedge, analysed, in the given representation.
void withPlanes(DataCenter& project, bool bigCircle, int showMark) {
    project.cadRadius = 50;
    project.cadTextPercent = 5;
    project.BigCircle = bigCircle;
    project.ShowMark = showMark;
    project.slope.direction = 90;
    project.slope.angle = 60;
    project.slope.calculated = false;
    project.planes = {makePlane(1, 60, 40, Joint), makePlane(2, 140, 50, Bedding, QStringLiteral("F2.05"))};
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    project.analysisOff = false;
    project.analyse();
}

QByteArray dxfOf(const DataCenter& project) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!CadExport::writeDxf(project, buffer))
        return QByteArray();
    return bytes;
}

QByteArray resource(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int lineCount(const QByteArray& bytes) {
    return bytes.count('\n');
}

QDomElement xmlRoot(const QByteArray& xml, QDomDocument& doc) {
    doc.setContent(xml);
    return doc.documentElement();
}

QList<QDomElement> childElements(const QDomElement& e) {
    QList<QDomElement> list;
    for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
        list << c;
    return list;
}
} // namespace

class TestCadDrawing : public QObject {
    Q_OBJECT
private slots:
    void netPrimitivesAndSizes();
    void arcEndAngleWraps();
    void kindColours();
    void labelsByModeAndRepresentation();
    void labelPlacement();
    void zonesRotatedAndMirrored();
    void degenerateZonesWriteNothing();
    void dxfBareProjectHandlesAndSuffix();
    void dxfEntityGroupSequences();
    void dxfTextEncoding();
    void dxfNumbersAndLineEnds();
    void templatesHaveTheirShape();
    void xmlNetAndAngles();
    void xmlFormatting();
    void bothEncodingsCarryTheSameDrawing();
    void exportDxfReplacesALinkInsteadOfFollowingIt();
    void exportDxfFailsOnUnwritableFolder();
};

void TestCadDrawing::netPrimitivesAndSizes() {
    RecordingSink sink;
    CadDrawing::net(sink, 50, CadDrawing::textHeight(50, 5));
    QCOMPARE(sink.items.size(), 52);
    QCOMPARE(sink.items[0].kind, QStringLiteral("circle"));
    QCOMPARE(sink.items[0].numbers, QVector<double>({0, 0, 50}));
    int lines = 0, texts = 0;
    for (const Primitive& p : sink.items) {
        lines += p.kind == QLatin1String("line");
        texts += p.kind == QLatin1String("text");
        QCOMPARE(p.style, 0);
        QCOMPARE(p.scale, 1.0);
        QCOMPARE(p.colour, 256);
    }
    QCOMPARE(lines, 38);
    QCOMPARE(texts, 13);
    // Ticks: long (from 47.5) every 30 degrees, short (from 48.75) between.
    for (int i = 0; i < 36; ++i) {
        const Primitive& tick = sink.items[1 + i];
        const double inner = std::hypot(tick.numbers[0], tick.numbers[1]);
        const double outer = std::hypot(tick.numbers[2], tick.numbers[3]);
        QVERIFY(near(inner, i % 3 == 0 ? 47.5 : 48.75));
        QVERIFY(near(outer, 50));
        QVERIFY(near(std::atan2(tick.numbers[3], tick.numbers[2]),
                     std::atan2(std::sin(i * M_PI / 18), std::cos(i * M_PI / 18)), 1e-12));
    }
    QCOMPARE(sink.items[37].numbers, QVector<double>({-5, 0, 5, 0}));
    QCOMPARE(sink.items[38].numbers, QVector<double>({0, -5, 0, 5}));
    // Letters 1.2 T = 3 high with their alignments; bearing labels T = 2.5.
    const char* letters = "OENWS";
    const int h[] = {0, 0, 1, 2, 1}, v[] = {1, 2, 1, 2, 3};
    for (int i = 0; i < 5; ++i) {
        const Primitive& t = sink.items[39 + i];
        QCOMPARE(t.text, QString(QLatin1Char(letters[i])));
        QCOMPARE(t.numbers[2], 3.0);
        QCOMPARE(t.h, h[i]);
        QCOMPARE(t.v, v[i]);
    }
    QVERIFY(near(sink.items[40].numbers[0], 50) && near(sink.items[42].numbers[0], -50));
    QVERIFY(near(sink.items[41].numbers[1], 50) && near(sink.items[43].numbers[1], -50));
    for (int i = 44; i < 52; ++i) {
        const Primitive& t = sink.items[i];
        const int bearing = t.text.toInt();
        QCOMPARE(t.numbers[2], 2.5);
        QCOMPARE(t.numbers[3], double(360 - bearing));
        QVERIFY(near(t.numbers[0], 50 * std::sin(bearing * M_PI / 180), 1e-9));
        QVERIFY(near(t.numbers[1], 50 * std::cos(bearing * M_PI / 180), 1e-9));
        QCOMPARE(t.h, 1);
        QCOMPARE(t.v, 1);
    }
}

void TestCadDrawing::arcEndAngleWraps() {
    QCOMPARE(CadDrawing::arcEndAngle(300, 90), 30.0);
    QCOMPARE(CadDrawing::arcEndAngle(270, 90), 0.0);
    QCOMPARE(CadDrawing::arcEndAngle(200, 90), 290.0);
}

void TestCadDrawing::kindColours() {
    const int screen[] = {Qt::red,     Qt::yellow, Qt::green, Qt::cyan,   Qt::blue,
                          Qt::magenta, Qt::black,  Qt::white, Qt::darkRed};
    const int cad[] = {1, 2, 3, 4, 5, 6, 7, 0, 0};
    for (int i = 0; i < 9; ++i)
        QCOMPARE(CadDrawing::cadColourOf(screen[i]), cad[i]);

    DataCenter project;
    const DisplayOptions saved = displayOptions();
    CadDrawing::updateCadColours(project);
    QCOMPARE(project.cadColourJoint, 5);
    QCOMPARE(project.cadColourBedding, 6);
    QCOMPARE(project.cadColourFault, 1);
    displayOptions().jointColor = Qt::green;
    displayOptions().faultColor = Qt::gray;
    CadDrawing::updateCadColours(project);
    displayOptions() = saved;
    QCOMPARE(project.cadColourJoint, 3);
    QCOMPARE(project.cadColourFault, 0);
    QCOMPARE(CadDrawing::kindColour(project, Bedding), 6);
    QCOMPARE(CadDrawing::kindColour(project, 9), 256);
}

void TestCadDrawing::labelsByModeAndRepresentation() {
    for (const bool big : {true, false}) {
        for (int mode = 0; mode <= 3; ++mode) {
            DataCenter project;
            withPlanes(project, big, mode);
            QCOMPARE(project.wedges.size(), 1);
            RecordingSink sink;
            CadDrawing::drawing(sink, project);
            QStringList texts;
            for (int i = 52; i < sink.items.size(); ++i)
                if (sink.items[i].kind == QLatin1String("text"))
                    texts << sink.items[i].text;
            const QString slope = QStringLiteral("边坡:90°∠60°");
            const QString wedge = project.wedges[0].id == 102 ? QStringLiteral("1×2") : QString();
            QVERIFY(!wedge.isEmpty());
            const QString wedgeFull = Labels::wedgeLabel(project.wedges[0], 3);
            QVERIFY(wedgeFull.startsWith(wedge + QLatin1Char(':')));
            QStringList expected;
            if (big) {
                if (mode == 2 || mode == 3)
                    expected << slope << QStringLiteral("1(节理):60°∠40°")
                             << QStringLiteral("2(F25):140°∠50°");
                else if (mode == 1)
                    expected << QStringLiteral("1") << QStringLiteral("2");
                expected << (mode == 1 ? wedge : mode == 3 ? wedgeFull : QString());
            } else {
                if (mode == 2 || mode == 3)
                    expected << slope;
                if (mode == 1)
                    expected << QStringLiteral("1") << QStringLiteral("2");
                else if (mode == 3)
                    expected << QStringLiteral("1:60°∠40°") << QStringLiteral("2:140°∠50°");
                else
                    expected << QString() << QString();
                expected << (mode == 1 ? wedge : mode == 3 ? wedgeFull : QString());
            }
            QCOMPARE(texts, expected);
        }
    }
}

void TestCadDrawing::labelPlacement() {
    DataCenter project;
    withPlanes(project, true, 2);
    RecordingSink sink;
    CadDrawing::drawing(sink, project);
    // After the net: slope arc, slope label, then per plane arc, dot, label.
    const Primitive& arc = sink.items[52];
    QCOMPARE(arc.kind, QStringLiteral("arc"));
    QCOMPARE(arc.style, 1);
    QCOMPARE(arc.colour, 256);
    QCOMPARE(arc.scale, 2.0);
    const PlaneRecord& s = project.slope;
    QVERIFY(near(arc.numbers[2], 50 * s.CircleRadius));
    const QPointF east = s.StartPoint.x() < s.EndPoint.x() ? s.EndPoint : s.StartPoint;
    const Primitive& label = sink.items[53];
    QVERIFY(near(label.numbers[0], 50 * (east.x() + 0.08)));
    QVERIFY(near(label.numbers[1], 50 * east.y()));
    QCOMPARE(label.v, east.y() < 0 ? 3 : 1);
    QCOMPARE(label.h, 0);

    const Primitive& dot = sink.items[58];
    QCOMPARE(dot.kind, QStringLiteral("circle"));
    QCOMPARE(dot.numbers[2], 0.5);
    QCOMPARE(dot.style, int(Bedding));
    QCOMPARE(dot.colour, 6);
    // Wedge: a cross of colour 1, half size 0.02 R, then its text.
    const PlaneRecord& w = project.wedges[0];
    const Primitive& c1 = sink.items[60];
    const Primitive& c2 = sink.items[61];
    QCOMPARE(c1.colour, 1);
    QVERIFY(near(c1.numbers[0], 50 * w.MidPoint.x() - 1) && near(c1.numbers[1], 50 * w.MidPoint.y() + 1));
    QVERIFY(near(c1.numbers[2], 50 * w.MidPoint.x() + 1) && near(c1.numbers[3], 50 * w.MidPoint.y() - 1));
    QVERIFY(near(c2.numbers[0], 50 * w.MidPoint.x() + 1) && near(c2.numbers[3], 50 * w.MidPoint.y() - 1));
    QVERIFY(near(c2.numbers[2], 50 * w.MidPoint.x() - 1) && near(c2.numbers[1], 50 * w.MidPoint.y() + 1));
    QCOMPARE(sink.items[62].kind, QStringLiteral("text"));
    QVERIFY(near(sink.items[62].numbers[0], 50 * (w.MidPoint.x() + 0.02)));
}

void TestCadDrawing::zonesRotatedAndMirrored() {
    JudgeZone zone;
    zone.upper = true;
    zone.bigCircle = false;
    zone.frictionRadius = 0.5;
    zone.limitPoint1 = QPointF(0.3, 0.4);
    zone.limitPoint2 = QPointF(-0.3, 0.4);
    for (int i = 0; i < 91; ++i)
        zone.envelope << QPointF(i / 100.0, 0.2 + i / 200.0);
    zone.topplingZone = {QPointF(0, 0.9), QPointF(0.1, 0.8), QPointF(0.2, 0.95)};
    RecordingSink sink;
    CadDrawing::zones(sink, zone, 40, 30);
    QCOMPARE(sink.items.size(), 5);
    for (const Primitive& p : sink.items) {
        QCOMPARE(p.style, 6);
        QCOMPARE(p.colour, 150);
        QCOMPARE(p.scale, 0.2);
    }
    QCOMPARE(sink.items[0].numbers, QVector<double>({0, 0, 20}));
    // Upper hemisphere: theta = 180 - 30 = 150 degrees, y mirrored first.
    const double th = 150 * M_PI / 180;
    auto rot = [&](double u, double v, double t) {
        return QPointF(u * std::cos(t) - v * std::sin(t), u * std::sin(t) + v * std::cos(t));
    };
    const QPointF a = rot(12, -16, th);
    QVERIFY(near(sink.items[1].numbers[2], a.x()) && near(sink.items[1].numbers[3], a.y()));
    QCOMPARE(sink.items[1].numbers[0], 0.0);
    const QVector<QPointF>& env = sink.items[3].vertices;
    QCOMPARE(env.size(), 181);
    for (int j = 0; j < 90; ++j) {
        // Vertex 90 + k is the mirror image of vertex 90 - k about the
        // rotated axis: same distance from the centre.
        QVERIFY(near(std::hypot(env[j].x(), env[j].y()), std::hypot(env[180 - j].x(), env[180 - j].y())));
    }
    const QPointF last = rot(0, -40 * 0.2, th);
    QVERIFY(near(env[180].x(), rot(-0.0, -8, th).x()) && near(env[180].y(), last.y()));
    QCOMPARE(sink.items[4].vertices.size(), 5);
    // Toppling zone in pole mode: phi = -dir, upper: theta = phi.
    const QPointF t0 = rot(0, -36, -30 * M_PI / 180);
    QVERIFY(near(sink.items[4].vertices[0].x(), t0.x()) && near(sink.items[4].vertices[0].y(), t0.y()));

    // Lower hemisphere, great circles: lines with theta = -dir, toppling
    // zone with phi + 180 where phi = 180 - dir; no envelope.
    zone.upper = false;
    zone.bigCircle = true;
    RecordingSink lower;
    CadDrawing::zones(lower, zone, 40, 30);
    QCOMPARE(lower.items.size(), 4);
    const QPointF b = rot(12, -16, -30 * M_PI / 180);
    QVERIFY(near(lower.items[1].numbers[2], b.x()) && near(lower.items[1].numbers[3], b.y()));
    const QPointF t1 = rot(0, -36, (180 - 30 + 180) * M_PI / 180);
    QVERIFY(near(lower.items[3].vertices[0].x(), t1.x()) && near(lower.items[3].vertices[0].y(), t1.y()));
}

void TestCadDrawing::degenerateZonesWriteNothing() {
    JudgeZone zone;
    zone.bigCircle = false;
    zone.frictionRadius = 1.0;
    zone.limitPoint1 = QPointF(0.5, 0.000009);
    zone.topplingZone = {QPointF(0, 1)};
    RecordingSink sink;
    CadDrawing::zones(sink, zone, 50, 0);
    QVERIFY(sink.items.isEmpty());
    zone.frictionRadius = 0.99998;
    CadDrawing::zones(sink, zone, 50, 0);
    QCOMPARE(sink.items.size(), 1);
}

void TestCadDrawing::dxfBareProjectHandlesAndSuffix() {
    DataCenter project;
    bare(project);
    const QByteArray dxf = dxfOf(project);
    const QByteArray head = resource(QStringLiteral(":/dxf/head.dxf"));
    const int headLines = lineCount(head);
    QList<QByteArray> lines = dxf.split('\n');
    QCOMPARE(lines[headLines], QByteArray(" 0\r"));
    QCOMPARE(lines[headLines + 1], QByteArray("CIRCLE\r"));
    QCOMPARE(lines[headLines + 2], QByteArray(" 5\r"));
    QCOMPARE(lines[headLines + 3], QByteArray("37\r"));

    const QList<QList<Group>> entities = dxfEntities(dxf);
    // Net 37..6a, slope arc 6b; the zones of a project never analysed are
    // empty (friction radius 1, no included-angle limit).
    QCOMPARE(entities.size(), 53);
    for (int i = 0; i < entities.size(); ++i)
        QCOMPARE(groupValue(entities[i], 5), QByteArray::number(0x37 + i, 16));
    QCOMPARE(groupValue(entities[51], 5), QByteArray("6a"));
    QCOMPARE(groupValue(entities[52], 0), QByteArray("ARC"));
    QCOMPARE(groupValue(entities[52], 5), QByteArray("6b"));

    // Suffix: its lines follow the last entity, with the seven handles.
    const int suffixStart = lines.size() - 1 - MakeDxf::SuffixLines;
    QCOMPARE(lines[suffixStart], QByteArray("  0\r"));
    QCOMPARE(lines[suffixStart + 1], QByteArray("ENDSEC\r"));
    auto at = [&](int n) { return lines[suffixStart + n].chopped(1); };
    QCOMPARE(at(39), QByteArray("6c"));
    QCOMPARE(at(43), QByteArray("6d"));
    QCOMPARE(at(507), QByteArray("6c"));
    QCOMPARE(at(515), QByteArray("6f"));
    QCOMPARE(at(519), QByteArray("6e"));
    QCOMPARE(at(523), QByteArray("6e"));
    QCOMPARE(at(533), QByteArray("6f"));
    QCOMPARE(at(525), QByteArray("6c"));
    QCOMPARE(at(535), QByteArray("6c"));
    QCOMPARE(at(37), QByteArray("AcDbVariableDictionary"));
    QCOMPARE(at(41), QByteArray("MY_OBJECTS"));
    QCOMPARE(at(513), QByteArray("DIMASSOC"));
    QCOMPARE(at(517), QByteArray("HIDETEXT"));
    // The MY_OBJECTS entry names an object of the file: an empty
    // dictionary owned by the root dictionary C, the last object.
    QCOMPARE(at(540), QByteArray("  0"));
    QCOMPARE(at(541), QByteArray("DICTIONARY"));
    QCOMPARE(at(542), QByteArray("  5"));
    QCOMPARE(at(543), at(43));
    QCOMPARE(at(550), QByteArray("330"));
    QCOMPARE(at(551), QByteArray("C"));
    QCOMPARE(at(557), QByteArray("ENDSEC"));
    QCOMPARE(at(559), QByteArray("EOF"));
    int myObjects = 0;
    for (int n = 0; n + 1 < MakeDxf::SuffixLines; ++n)
        myObjects += at(n) == QByteArray("  5") && at(n + 1) == QByteArray("6d");
    QCOMPARE(myObjects, 1);
    // The rest of the suffix is the template unchanged.
    const QList<QByteArray> templ = resource(QStringLiteral(":/dxf/end.dxf")).split('\n');
    for (int n = 0; n < MakeDxf::SuffixLines; ++n)
        if (n != 39 && n != 43 && n != 507 && n != 515 && n != 519 && n != 523 && n != 533 && n != 525 &&
            n != 535 && n != 543)
            QCOMPARE(at(n), templ[n]);
}

void TestCadDrawing::dxfEntityGroupSequences() {
    QByteArray bytes;
    QTextStream s(&bytes);
    s.setCodec(MakeDxf::dxfCodec());
    MakeDxf dxf;
    int h = 54;
    h = dxf.writeArc(s, h, 1, 2, 3, 300, 30, 1, 256, 2);
    h = dxf.writeArc(s, h, 1, 2, 3, 10, 20, 2, 5, 1);
    h = dxf.writeCircle(s, h, 0, 0, 20, 6, 150, 0.25);
    h = dxf.writeCircle(s, h, 1, 1, 0.5, 3, 6, 1);
    h = dxf.writeLine(s, h, 0, 0, 1, 1, 6, 0.25);
    h = dxf.writeLine(s, h, 0, 0, 1, 1, 0, 1);
    h = dxf.writeCross(s, h, 10, 10, 50);
    h = dxf.writePolylineHead(s, h, 2, 6, 0.25);
    dxf.writeVertex(s, 1, 2);
    dxf.writeVertex(s, 3, 4);
    h = dxf.writeText(s, h, 5, 6, 2.5, QStringLiteral("A"), 0, 3, 300);
    QCOMPARE(h, 54 + 10);
    s.flush();
    QString text = QString::fromLatin1(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("|"));
    const QStringList expected = {
        " 0|ARC| 5|37| 100|AcDbEntity| 8|KVQXTW| 62|256| 370|-1| 48|2| 6|QXTWBP| 100|AcDbCircle| 10|1| 20|2| "
        "30|0.0| 40|3| 100|AcDbArc| 50|300| 51|30|",
        " 0|ARC| 5|38| 100|AcDbEntity| 8|KVQXTW| 62|5| 370|-1| 100|AcDbCircle| 10|1| 20|2| 30|0.0| 40|3| "
        "100|AcDbArc| 50|10| 51|20|",
        " 0|CIRCLE| 5|39| 100|AcDbEntity| 8|KVQXTW| 6|ACAD_ISO02W100| 48|0.25| 62|150| 100|AcDbCircle| 10|0| "
        "20|0| 30|0.0| 40|20|",
        " 0|CIRCLE| 5|3a| 100|AcDbEntity| 8|KVQXTW| 62|6| 100|AcDbCircle| 10|1| 20|1| 30|0.0| 40|0.5|",
        " 0|LINE| 5|3b| 100|AcDbEntity| 8|KVQXTW| 62|150| 370|-1| 6|ACAD_ISO02W100| 48|0.25| 100|AcDbLine| "
        "10|0| 20|0| 30|0.0| 11|1| 21|1| 31|0.0|",
        " 0|LINE| 5|3c| 100|AcDbEntity| 8|KVQXTW| 62|256| 370|-1| 100|AcDbLine| 10|0| 20|0| 30|0.0| 11|1| "
        "21|1| 31|0.0|",
        " 0|LINE| 5|3d| 100|AcDbEntity| 8|KVQXTW| 62|1| 370|-1| 100|AcDbLine| 10|9| 20|11| 30|0.0| 11|11| "
        "21|9| 31|0.0|",
        " 0|LINE| 5|3e| 100|AcDbEntity| 8|KVQXTW| 62|1| 370|-1| 100|AcDbLine| 10|11| 20|11| 30|0.0| 11|9| "
        "21|9| 31|0.0|",
        " 0|LWPOLYLINE| 5|3f| 100|AcDbEntity| 8|KVQXTW| 62|150| 6|ACAD_ISO02W100| 48|0.25| 100|AcDbPolyline| "
        "90|2| 70|0| 10|1| 20|2| 10|3| 20|4|",
        " 0|TEXT| 5|40| 100|AcDbEntity| 8|KVQXTW| 62|256| 370|-1| 100|AcDbText| 10|5| 20|6| 30|0.0| 40|2.5| "
        "1|A| 50|300| 7|QXTWZT| 72|0| 11|5| 21|6| 31|0.0| 100|AcDbText| 73|3|",
    };
    QCOMPARE(text, expected.join(QString()));
}

void TestCadDrawing::dxfTextEncoding() {
    DataCenter project;
    withPlanes(project, true, 2);
    project.planes[0].notes = QStringLiteral("裂隙\tก\n€😀");
    const QByteArray dxf = dxfOf(project);
    QTextCodec* gbk = QTextCodec::codecForName("GBK");
    QVERIFY(gbk);
    // The slope label in GBK bytes, not UTF-8.
    QVERIFY(dxf.contains(gbk->fromUnicode(QStringLiteral("边坡:90°∠60°"))));
    QVERIFY(!dxf.contains(QStringLiteral("边坡").toUtf8()));
    // Tab and line break become spaces, Thai gets an escape, the emoji
    // (beyond what the escape can name) a question mark.
    const QByteArray label = gbk->fromUnicode(QStringLiteral("1(裂隙 ")) + "\\U+0E01 " +
                             gbk->fromUnicode(QStringLiteral("€")) + "?):60";
    QVERIFY2(dxf.contains(label), dxf.mid(dxf.indexOf("1(") - 5, 60).toHex().constData());
    QCOMPARE(MakeDxf::encodableText(QStringLiteral("ก")), QStringLiteral("\\U+0E01"));
}

void TestCadDrawing::dxfNumbersAndLineEnds() {
    QCOMPARE(MakeDxf::number(47.5), QStringLiteral("47.5"));
    QCOMPARE(MakeDxf::number(0.00001), QStringLiteral("1e-05"));
    QCOMPARE(MakeDxf::number(0), QStringLiteral("0"));
    QCOMPARE(MakeDxf::number(123456789), QStringLiteral("1.23457e+08"));
    QCOMPARE(MakeDxf::number(1.0 / 3), QStringLiteral("0.333333"));
    QCOMPARE(MakeDxf::handleText(0xab), QStringLiteral("ab"));
    QCOMPARE(MakeDwg::radians(300), QStringLiteral("5.23599"));
    QCOMPARE(MakeDwg::radians(30), QStringLiteral("0.523599"));

    DataCenter project;
    withPlanes(project, false, 3);
    const QByteArray dxf = dxfOf(project);
    QVERIFY(!dxf.isEmpty());
    QCOMPARE(dxf.count('\n'), dxf.count("\r\n"));
    QCOMPARE(dxf.count('\r'), dxf.count("\r\n"));
    QVERIFY(dxf.endsWith("EOF\r\n"));
}

void TestCadDrawing::templatesHaveTheirShape() {
    const QByteArray head = resource(QStringLiteral(":/dxf/head.dxf"));
    const QByteArray end = resource(QStringLiteral(":/dxf/end.dxf"));
    QCOMPARE(lineCount(end), 560);
    QVERIFY(!head.contains('\r') && !end.contains('\r'));
    const QList<Group> groups = dxfGroups(head);
    QCOMPARE(groups.size() * 2, lineCount(head));
    int variables = 0;
    QStringList names;
    for (const Group& g : groups)
        if (g.code == 9) {
            ++variables;
            names << QString::fromLatin1(g.value);
        }
    QCOMPARE(variables, 199);
    QCOMPARE(names.first(), QStringLiteral("$ACADVER"));
    QCOMPARE(names.last(), QStringLiteral("$OLESTARTUP"));
    QCOMPARE(groups[groups.size() - 1].value, QByteArray("ENTITIES"));
    QCOMPARE(groups[groups.size() - 2].value, QByteArray("SECTION"));
    auto valueAfter = [&](const QByteArray& name) {
        for (int i = 0; i + 1 < groups.size(); ++i)
            if (groups[i].code == 9 && groups[i].value == name)
                return groups[i + 1].value;
        return QByteArray();
    };
    QCOMPARE(valueAfter("$DWGCODEPAGE"), QByteArray("ANSI_936"));
    QCOMPARE(valueAfter("$ACADVER"), QByteArray("AC1015"));
    QCOMPARE(valueAfter("$HANDSEED"), QByteArray("233"));
    QCOMPARE(valueAfter("$INSUNITS"), QByteArray("4"));
    // The template handles stay below the first entity handle, except the
    // view port's.
    for (int i = 0; i < groups.size(); ++i)
        if ((groups[i].code == 5 || groups[i].code == 105) && groups[i - 1].code != 9) {
            const int handle = groups[i].value.toInt(nullptr, 16);
            QVERIFY2(handle < 0x37 || handle == 0xea, groups[i].value.constData());
        }
}

void TestCadDrawing::xmlNetAndAngles() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter w(&buffer);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("entities"));
    MakeDwg dwg;
    dwg.writeNet(w, 50, 2.5);
    dwg.writeArc(w, 0, 0, 10, 300, 30, 1, 256, 2);
    w.writeEndElement();
    w.writeEndDocument();
    QDomDocument doc;
    const QList<QDomElement> kids = childElements(xmlRoot(bytes, doc));
    QCOMPARE(kids.size(), 53);
    int circles = 0, lines = 0, texts = 0;
    for (int i = 0; i < 52; ++i) {
        circles += kids[i].tagName() == QLatin1String("circle");
        lines += kids[i].tagName() == QLatin1String("line");
        texts += kids[i].tagName() == QLatin1String("text");
    }
    QCOMPARE(circles, 1);
    QCOMPARE(lines, 38);
    QCOMPARE(texts, 13);
    const QDomElement angle = kids[52].firstChildElement(QStringLiteral("Angle"));
    QCOMPARE(angle.attribute(QStringLiteral("a1")), QStringLiteral("5.23599"));
    QCOMPARE(angle.attribute(QStringLiteral("a2")), QStringLiteral("0.523599"));
    // The "60" bearing label is rotated 300 degrees.
    const QDomElement sixty = kids[44];
    QCOMPARE(sixty.firstChildElement(QStringLiteral("Txt")).text(), QStringLiteral("60"));
    QCOMPARE(sixty.firstChildElement(QStringLiteral("Align")).attribute(QStringLiteral("rotate")),
             QStringLiteral("5.23599"));
    QCOMPARE(sixty.firstChildElement(QStringLiteral("Height")).text(), QStringLiteral("2.5"));
}

void TestCadDrawing::xmlFormatting() {
    DataCenter project;
    withPlanes(project, false, 3);
    project.planes[0].notes = QStringLiteral("<甲&乙>\n");
    const QByteArray xml = CadExport::drawingXml(project);
    QVERIFY(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<entities version=\"1.0\">\n    "
                           "<circle>\n        <Center x0=\"0\" y0=\"0\"/>\n        <Radius>50</Radius>\n     "
                           "   <Property type=\"0\" color=\"256\" scale=\"1\"/>\n    </circle>\n"));
    QVERIFY(xml.contains("    <text>\n        <Point x=\"0\" y=\"0\"/>\n        <Txt>O</Txt>\n        "
                         "<Height>3</Height>\n        <Align H=\"0\" V=\"1\" rotate=\"0\"/>\n    </text>\n"));
    QVERIFY(xml.contains("<Property type=\"6\" color=\"150\" scale=\"0.25\"/>"));
    QDomDocument doc;
    QString error;
    QVERIFY2(doc.setContent(xml, &error), qPrintable(error));
    QCOMPARE(doc.documentElement().attribute(QStringLiteral("version")), QStringLiteral("1.0"));
}

void TestCadDrawing::bothEncodingsCarryTheSameDrawing() {
    for (const bool big : {true, false}) {
        for (int mode = 0; mode <= 3; ++mode) {
            DataCenter project;
            withPlanes(project, big, mode);
            project.Topple = true;
            project.analyse();
            const QList<QList<Group>> entities = dxfEntities(dxfOf(project));
            QDomDocument doc;
            const QList<QDomElement> elements = childElements(xmlRoot(CadExport::drawingXml(project), doc));
            QCOMPARE(entities.size(), elements.size());
            for (int i = 0; i < elements.size(); ++i) {
                const QByteArray type = groupValue(entities[i], 0);
                const QString tag = elements[i].tagName();
                const QString expectedTag =
                    type == "LWPOLYLINE" ? QStringLiteral("polyline") : QString::fromLatin1(type).toLower();
                QCOMPARE(tag, expectedTag);
                const QDomElement first = elements[i].firstChildElement();
                if (tag == QLatin1String("text")) {
                    QCOMPARE(QString::fromLatin1(groupValue(entities[i], 10)),
                             first.attribute(QStringLiteral("x")));
                    QCOMPARE(MakeDxf::dxfCodec()->toUnicode(groupValue(entities[i], 1)),
                             elements[i].firstChildElement(QStringLiteral("Txt")).text());
                } else if (tag == QLatin1String("circle") || tag == QLatin1String("arc")) {
                    QCOMPARE(QString::fromLatin1(groupValue(entities[i], 40)),
                             elements[i].firstChildElement(QStringLiteral("Radius")).text());
                } else {
                    QCOMPARE(QString::fromLatin1(groupValue(entities[i], 10)),
                             first.attribute(QStringLiteral("x")));
                }
            }
        }
    }
}

void TestCadDrawing::exportDxfReplacesALinkInsteadOfFollowingIt() {
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim.txt"));
    const QString path = dir.filePath(QStringLiteral("Karven_NYjdsF.dxf"));
    {
        QFile f(victim);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    QVERIFY(QFile::link(victim, path));
    DataCenter project;
    bare(project);
    QVERIFY(CadExport::exportDxf(project, path));
    QFile f(victim);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("keep me"));
    QVERIFY(!QFileInfo(path).isSymLink());
    QCOMPARE(QFileInfo(path).size(), qint64(dxfOf(project).size()));
    // No temporary files left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

void TestCadDrawing::exportDxfFailsOnUnwritableFolder() {
    DataCenter project;
    bare(project);
    QVERIFY(!CadExport::exportDxf(project, QStringLiteral("/nonexistent-folder/x/Karven_NYjdsF.dxf")));
    QVERIFY(!CadExport::exportDxf(project, QString()));
}

QTEST_GUILESS_MAIN(TestCadDrawing)
#include "test_cad_drawing.moc"
