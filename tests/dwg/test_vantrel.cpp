// Vantrel's reader rules (one small interchange document each), the
// document preparation, ClassCad::write with the clipboard, and the
// exported writeDwg resolved by name from the shared library.
#include "vantrel/caddoc.h"
#include "vantrel/classcad.h"
#include "vantrel/dwg_writer.h"
#include "vantrel/interchange.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLibrary>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

using namespace vantrel;

namespace {

QString doc(const QString& body, const QString& version = "1.0")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<entities version=\"" + version + "\">\n" + body +
           "\n</entities>\n";
}

const QString kLine = "<line><Point x=\"1\" y=\"2\"/><Point x=\"3\" y=\"4\"/>"
                      "<Property type=\"0\" color=\"1\" scale=\"1\"/></line>";

// Parse into a fresh prepared document; null when refused.
std::unique_ptr<CadDocument> parse(const QString& xml)
{
    auto d = std::make_unique<CadDocument>();
    if (!initCadDocument(*d))
        return nullptr;
    const QByteArray u = xml.toUtf8();
    if (!parseInterchangeXml(std::string(u.constData(), size_t(u.size())), *d))
        return nullptr;
    return d;
}

const std::vector<Entity>& entities(const CadDocument& d) { return d.modelSpace().entities; }

QString lineTypeName(CadDocument& d, const Entity& e)
{
    if (e.ltypeRef != LineTypeRef::Handle)
        return "BYLAYER";
    for (const auto& lt : d.lineTypes)
        if (lt.handle == e.lineType)
            return QString::fromStdString(lt.name);
    return "?";
}

}  // namespace

class TestVantrel : public QObject {
    Q_OBJECT
private slots:
    void initDocument();
    void initKeepsExistingIsoLineType();
    void versionRule_data();
    void versionRule();
    void rootWithoutChildren();
    void lineAndPolyline();
    void styleCodesPerElement_data();
    void styleCodesPerElement();
    void textRules();
    void missingPieces_data();
    void missingPieces();
    void formatLimits_data();
    void formatLimits();
    void writerRefusesWhatTheFormatCannotHold();
    void writeThroughClipboard();
    void exportedEntryPoint();
};

void TestVantrel::initDocument()
{
    CadDocument d;
    QVERIFY(initCadDocument(d));
    QCOMPARE(d.header.insUnits, 4);
    QCOMPARE(d.header.angBase, 0.0);
    QCOMPARE(d.header.angDir, 0);
    QVERIFY(d.header.worldView && d.header.showModelSpace);
    QCOMPARE(d.header.codePage, std::string("ANSI_936"));
    QCOMPARE(d.header.ucsXAxis.x, 1.0);
    QCOMPARE(d.header.ucsYAxis.y, 1.0);

    const TextStyle* standard = d.findStyle("Standard");
    QVERIFY(standard);
    QCOMPARE(standard->fontFile, std::string("Arial.ttf"));
    QVERIFY(standard->bigFontFile.empty());
    const TextStyle* zt = d.findStyle("QXTWZT");
    QVERIFY(zt);
    QCOMPARE(zt->fontFile, std::string("SimSun.ttf"));
    QVERIFY(zt->bigFontFile.empty());
    QCOMPARE(zt->height, 0.0);
    QCOMPARE(zt->lastHeight, 0.0);
    QCOMPARE(zt->widthFactor, 1.0);

    const LineType* bp = d.findLineType("QXTWBP");
    QVERIFY(bp);
    QCOMPARE(bp->description, std::string("qxtw line __|__|__|__|__|__|__|__|__|__|__|__"));
    QCOMPARE(bp->segments.size(), size_t(3));
    const LineTypeSegment& shape = bp->segments[1];
    QCOMPARE(shape.flags, 4);
    QCOMPARE(shape.shapeNumber, 130);
    QCOMPARE(shape.scale, 0.5);
    QCOMPARE(shape.offset.y, 0.5);
    QCOMPARE(bp->segments[0].length, 1.0);
    QCOMPARE(bp->segments[2].length, 1.0);
    // The shape segment points at the shape-file style ltypeshp.shx.
    const TextStyle* px = nullptr;
    for (const auto& s : d.styles)
        if (s.handle == shape.style)
            px = &s;
    QVERIFY(px);
    QCOMPARE(px->fontFile, std::string("ltypeshp.shx"));
    QCOMPARE(px->flags & 1, 1);
    QCOMPARE(px->widthFactor, 1.0);

    const LineType* iso = d.findLineType("ACAD_ISO02W100");
    QVERIFY(iso);
    QCOMPARE(iso->description, std::string("ISO dash __ __ __ __ __ __ __ __ __ __ __ __ __"));
    QCOMPARE(iso->segments.size(), size_t(2));
    QCOMPARE(iso->segments[0].length, 12.0);
    QCOMPARE(iso->segments[1].length, -3.0);

    const Layer* layer = d.findLayer("KVQXTW");
    QVERIFY(layer);
    QCOMPARE(layer->color, 7);
}

void TestVantrel::initKeepsExistingIsoLineType()
{
    CadDocument d;
    LineType mine;
    mine.name = "ACAD_ISO02W100";
    mine.description = "mine";
    d.addLineType(mine);
    QVERIFY(initCadDocument(d));
    QCOMPARE(d.findLineType("ACAD_ISO02W100")->description, std::string("mine"));
    // A second preparation clashes with the names it added: false.
    QVERIFY(!initCadDocument(d));
}

void TestVantrel::versionRule_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("1.0") << "1.0" << true;
    QTest::newRow("1.01") << "1.01" << true;
    QTest::newRow("0.5") << "0.5" << true;
    QTest::newRow("1.02") << "1.02" << false;
    QTest::newRow("1.5") << "1.5" << false;
    QTest::newRow("2") << "2" << false;
    QTest::newRow("not a number") << "v1" << false;
}

void TestVantrel::versionRule()
{
    QFETCH(QString, version);
    QFETCH(bool, accepted);
    QCOMPARE(parse(doc(kLine, version)) != nullptr, accepted);
}

void TestVantrel::rootWithoutChildren()
{
    QVERIFY(!parse("<entities version=\"1.0\"/>"));
    QVERIFY(!parse("<entities version=\"1.0\">\n    \n</entities>"));
    QVERIFY(!parse("<entities/>"));                                  // no version
    QVERIFY(!parse("<entities version=\"1.0\"><line>"));             // malformed
    // Children with other names are skipped: accepted, nothing drawn.
    auto d = parse(doc("<hatch/><Line><Point x=\"0\" y=\"0\"/></Line>"));
    QVERIFY(d);
    QVERIFY(entities(*d).empty());
}

void TestVantrel::lineAndPolyline()
{
    // A line becomes a 2-D polyline of two vertices on layer KVQXTW.
    auto d = parse(doc(kLine));
    QVERIFY(d);
    QCOMPARE(entities(*d).size(), size_t(1));
    const Entity& e = entities(*d)[0];
    QCOMPARE(int(e.kind), int(EntityKind::Polyline2D));
    QCOMPARE(e.vertices.size(), size_t(2));
    QCOMPARE(e.vertices[1].x, 3.0);
    QCOMPARE(e.vertices[1].y, 4.0);
    QCOMPARE(e.color, 1);
    QCOMPARE(e.layer, d->findLayer("KVQXTW")->handle);
    QVERIFY(!e.closed);

    // Without Property: style 0, colour 256, scale 1 — continuous by layer.
    d = parse(doc("<line><Point x=\"0\" y=\"0\"/><Point x=\"1e-05\" y=\"47.5\"/></line>"));
    QVERIFY(d);
    const Entity& plain = entities(*d)[0];
    QCOMPARE(plain.color, 256);
    QCOMPARE(plain.ltScale, 1.0);
    QCOMPARE(plain.vertices[1].x, 1e-05);
    QCOMPARE(lineTypeName(*d, plain), QString("BYLAYER"));

    // polyline: one vertex per Point in document order, Property anywhere.
    d = parse(doc("<polyline><Point x=\"0\" y=\"0\"/><Property type=\"6\" color=\"150\" scale=\"2\"/>"
                  "<Point x=\"1\" y=\"1\"/><Point x=\"2\" y=\"0\"/></polyline>"));
    QVERIFY(d);
    const Entity& pl = entities(*d)[0];
    QCOMPARE(pl.vertices.size(), size_t(3));
    QCOMPARE(pl.vertices[2].x, 2.0);
    QCOMPARE(pl.color, 150);
    QCOMPARE(pl.ltScale, 2.0);
    QCOMPARE(lineTypeName(*d, pl), QString("ACAD_ISO02W100"));
    QCOMPARE(pl.vertexHandles.size(), size_t(3));
    QVERIFY(pl.seqend != 0);
}

void TestVantrel::styleCodesPerElement_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("lineType");
    const QString c = "<circle><Center x0=\"0\" y0=\"0\"/><Radius>5</Radius>"
                      "<Property type=\"%1\" color=\"256\" scale=\"2\"/></circle>";
    const QString a = "<arc><Center x0=\"0\" y0=\"0\"/><Radius>5</Radius><Angle a1=\"5.23599\" a2=\"0.523599\"/>"
                      "<Property type=\"%1\" color=\"256\" scale=\"2\"/></arc>";
    const QString l = "<line><Point x=\"0\" y=\"0\"/><Point x=\"1\" y=\"0\"/>"
                      "<Property type=\"%1\" color=\"256\" scale=\"2\"/></line>";
    for (int t : {0, 1, 2, 3, 4, 5, 6, 7}) {
        QTest::addRow("circle %d", t) << c.arg(t) << t << (t == 6 ? "ACAD_ISO02W100" : "BYLAYER");
        QTest::addRow("arc %d", t) << a.arg(t) << t << (t == 1 ? "QXTWBP" : "BYLAYER");
        QTest::addRow("line %d", t) << l.arg(t) << t << (t == 6 ? "ACAD_ISO02W100" : "BYLAYER");
    }
}

void TestVantrel::styleCodesPerElement()
{
    QFETCH(QString, element);
    QFETCH(QString, lineType);
    auto d = parse(doc(element));
    QVERIFY(d);
    QCOMPARE(lineTypeName(*d, entities(*d)[0]), lineType);
    QCOMPARE(entities(*d)[0].ltScale, 2.0);
}

void TestVantrel::textRules()
{
    // Text: style QXTWZT, colour always by layer, alignment point = the
    // insertion point, angles in radians as given, Chinese kept.
    auto d = parse(doc("<text><Point x=\"10\" y=\"-5.5\"/><Txt>节理 J1 &lt;45∠30&gt;</Txt>"
                       "<Height>2.5</Height><Align H=\"4\" V=\"2\" rotate=\"5.23599\"/>"
                       "<Property type=\"6\" color=\"1\" scale=\"3\"/></text>"));
    QVERIFY(d);
    const Entity& t = entities(*d)[0];
    QCOMPARE(int(t.kind), int(EntityKind::Text));
    QCOMPARE(QString::fromStdString(t.text), QString("节理 J1 <45∠30>"));
    QCOMPARE(t.color, 256);
    QCOMPARE(t.ltScale, 1.0);
    QCOMPARE(t.hAlign, 4);
    QCOMPARE(t.vAlign, 2);
    QCOMPARE(t.rotation, 5.23599);
    QCOMPARE(t.height, 2.5);
    QCOMPARE(t.insert.x, 10.0);
    QCOMPARE(t.alignment.y, -5.5);
    QCOMPARE(t.style, d->findStyle("QXTWZT")->handle);
    QCOMPARE(t.layer, d->findLayer("KVQXTW")->handle);

    // The first child of each name counts.
    d = parse(doc("<text><Point x=\"1\" y=\"2\"/><Point x=\"9\" y=\"9\"/><Txt>a</Txt><Txt>b</Txt>"
                  "<Height>1</Height><Align H=\"0\" V=\"0\" rotate=\"0\"/></text>"));
    QVERIFY(d);
    QCOMPARE(entities(*d)[0].insert.x, 1.0);
    QCOMPARE(entities(*d)[0].text, std::string("a"));
    // Empty text content is a valid (empty) string.
    QVERIFY(parse(doc("<text><Point x=\"1\" y=\"2\"/><Txt/><Height>1</Height>"
                      "<Align H=\"0\" V=\"0\" rotate=\"0\"/></text>")));
}

void TestVantrel::missingPieces_data()
{
    QTest::addColumn<QString>("element");
    const QString circle = "<circle><Center x0=\"0\" y0=\"0\"/><Radius>5</Radius>"
                           "<Property type=\"0\" color=\"7\" scale=\"1\"/></circle>";
    QTest::newRow("circle without Radius") << QString(circle).replace("<Radius>5</Radius>", "");
    QTest::newRow("circle without Property") << QString(circle).replace("<Property type=\"0\" color=\"7\" scale=\"1\"/>", "");
    QTest::newRow("circle without y0") << QString(circle).replace(" y0=\"0\"", "");
    QTest::newRow("radius not a number") << QString(circle).replace(">5<", ">five<");
    QTest::newRow("colour not an integer") << QString(circle).replace("color=\"7\"", "color=\"7.5\"");
    QTest::newRow("colour out of range") << QString(circle).replace("color=\"7\"", "color=\"300\"");
    QTest::newRow("arc without Angle") << "<arc><Center x0=\"0\" y0=\"0\"/><Radius>5</Radius>"
                                          "<Property type=\"1\" color=\"7\" scale=\"1\"/></arc>";
    QTest::newRow("arc without a2") << "<arc><Center x0=\"0\" y0=\"0\"/><Radius>5</Radius><Angle a1=\"1\"/>"
                                       "<Property type=\"1\" color=\"7\" scale=\"1\"/></arc>";
    QTest::newRow("text without Height") << "<text><Point x=\"1\" y=\"2\"/><Txt>a</Txt>"
                                            "<Align H=\"0\" V=\"0\" rotate=\"0\"/></text>";
    QTest::newRow("text without rotate") << "<text><Point x=\"1\" y=\"2\"/><Txt>a</Txt><Height>1</Height>"
                                            "<Align H=\"0\" V=\"0\"/></text>";
    QTest::newRow("text without Txt") << "<text><Point x=\"1\" y=\"2\"/><Height>1</Height>"
                                         "<Align H=\"0\" V=\"0\" rotate=\"0\"/></text>";
    QTest::newRow("line point without y") << "<line><Point x=\"1\"/><Point x=\"1\" y=\"2\"/></line>";
    QTest::newRow("line property without scale") << "<line><Point x=\"1\" y=\"1\"/><Point x=\"1\" y=\"2\"/>"
                                                    "<Property type=\"0\" color=\"7\"/></line>";
    QTest::newRow("infinite coordinate") << "<line><Point x=\"1e999\" y=\"1\"/><Point x=\"1\" y=\"2\"/></line>";
}

void TestVantrel::missingPieces()
{
    // One bad element fails the whole document, even after good ones.
    QFETCH(QString, element);
    QVERIFY(!parse(doc(kLine + "\n" + element)));
}

void TestVantrel::formatLimits_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<bool>("accepted");
    const QString circle = "<circle><Center x0=\"0\" y0=\"0\"/><Radius>%1</Radius>"
                           "<Property type=\"0\" color=\"7\" scale=\"1\"/></circle>";
    const QString arc = "<arc><Center x0=\"0\" y0=\"0\"/><Radius>%1</Radius><Angle a1=\"0\" a2=\"1\"/>"
                        "<Property type=\"1\" color=\"7\" scale=\"1\"/></arc>";
    const QString text = "<text><Point x=\"0\" y=\"0\"/><Txt>%1</Txt><Height>%2</Height>"
                         "<Align H=\"0\" V=\"0\" rotate=\"0\"/></text>";
    QTest::newRow("polyline of one vertex") << "<polyline><Point x=\"1\" y=\"1\"/></polyline>" << false;
    QTest::newRow("line without points") << "<line><Property type=\"0\" color=\"1\" scale=\"1\"/></line>"
                                         << false;
    QTest::newRow("circle radius 0") << circle.arg("0") << false;
    QTest::newRow("circle radius -1") << circle.arg("-1") << false;
    QTest::newRow("circle radius 1e-300") << circle.arg("1e-300") << true;
    QTest::newRow("arc radius 0") << arc.arg("-0") << false;
    QTest::newRow("text height 0") << text.arg("a", "0") << false;
    QTest::newRow("text height -2.5") << text.arg("a", "-2.5") << false;
    // A text value holds at most 65534 code-page bytes (16-bit length with
    // the terminating NUL); Chinese characters take two bytes in GBK.
    QTest::newRow("65534 ASCII bytes") << text.arg(QString(65534, 'x'), "1") << true;
    QTest::newRow("65535 ASCII bytes") << text.arg(QString(65535, 'x'), "1") << false;
    QTest::newRow("32767 Chinese characters") << text.arg(QString(32767, QChar(0x8282)), "1") << true;
    QTest::newRow("32768 Chinese characters") << text.arg(QString(32768, QChar(0x8282)), "1") << false;
}

void TestVantrel::formatLimits()
{
    // Refused like the reader rules: the whole document, even after a good
    // element; what is accepted must also write.
    QFETCH(QString, element);
    QFETCH(bool, accepted);
    auto d = parse(doc(kLine + element));
    QCOMPARE(d != nullptr, accepted);
    if (d)
        QVERIFY(writeDwg(*d, 0).size() > 0x100);
}

void TestVantrel::writerRefusesWhatTheFormatCannotHold()
{
    // Documents built without the reader meet the same limits in the writer.
    auto refused = [](auto build) {
        CadDocument d;
        initCadDocument(d);
        build(d);
        try {
            writeDwg(d, 0);
        } catch (const std::exception&) {
            return true;
        }
        return false;
    };
    QVERIFY(!refused([](CadDocument& d) { addPolyline(d, {{0, 0}, {1, 1}}, 0, 7, 1); }));
    QVERIFY(refused([](CadDocument& d) { addPolyline(d, {{0, 0}}, 0, 7, 1); }));
    QVERIFY(refused([](CadDocument& d) { addCircle(d, {0, 0}, 0.0, 0, 7, 1); }));
    QVERIFY(refused([](CadDocument& d) { addText(d, {0, 0}, "a", -1.0, 0, 0, 0); }));
    QVERIFY(refused([](CadDocument& d) { addText(d, {0, 0}, std::string(70000, 'a'), 1.0, 0, 0, 0); }));

    // Through the clipboard: false, and an existing file stays as it was.
    QTemporaryDir dir;
    const QString out = dir.path() + "/limits.dwg";
    ClassCad cad;
    QGuiApplication::clipboard()->setText(doc(kLine));
    QVERIFY(cad.write(out));
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    QGuiApplication::clipboard()->setText(doc(kLine + "<circle><Center x0=\"0\" y0=\"0\"/><Radius>0</Radius>"
                                                      "<Property type=\"0\" color=\"7\" scale=\"1\"/></circle>"));
    QVERIFY(!cad.write(out));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void TestVantrel::writeThroughClipboard()
{
    QTemporaryDir dir;
    const QString out = dir.path() + "/Karven_NYjdsF.dwg";
    QClipboard* cb = QGuiApplication::clipboard();
    ClassCad cad;

    cb->clear();
    QVERIFY(!cad.write(out));                          // no text on the clipboard
    cb->setImage(QImage(4, 4, QImage::Format_RGB32));
    QVERIFY(!cad.write(out));                          // only a picture
    cb->setText(doc(kLine, "1.5"));
    QVERIFY(!cad.write(out));                          // refused version
    QVERIFY(!QFile::exists(out));

    cb->setText(doc(kLine + "<text><Point x=\"0\" y=\"0\"/><Txt>中望CAD</Txt><Height>2.5</Height>"
                            "<Align H=\"1\" V=\"2\" rotate=\"0\"/></text>"));
    QVERIFY(cad.write(out));
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.read(6), QByteArray("AC1018"));
    f.close();

    // A refused document leaves an existing file as it was.
    const QByteArray before = [&] { QFile g(out); g.open(QIODevice::ReadOnly); return g.readAll(); }();
    cb->setText(doc(kLine + "<circle/>"));
    QVERIFY(!cad.write(out));
    QFile g(out);
    QVERIFY(g.open(QIODevice::ReadOnly));
    QCOMPARE(g.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    QVERIFY(!cad.write(dir.path() + "/no/such/folder/x.dwg"));
}

void TestVantrel::exportedEntryPoint()
{
    // Resolved by its plain name, as Karven does at run time.
    QLibrary lib(QStringLiteral(VANTREL_LIBRARY));
    QVERIFY2(lib.load(), qPrintable(lib.errorString()));
    using WriteDwg = bool (*)(const char16_t*);
    auto fn = reinterpret_cast<WriteDwg>(lib.resolve("writeDwg"));
    QVERIFY(fn);
    QTemporaryDir dir;
    const QString out = dir.path() + "/路径 with space.dwg";
    std::u16string path = out.toStdU16String();
    QGuiApplication::clipboard()->setText(doc(kLine));
    QVERIFY(fn(path.c_str()));
    path.assign(path.size(), u'x');                    // the caller's buffer is its own
    QVERIFY(QFile::exists(out));
    QVERIFY(!fn(nullptr));
    QGuiApplication::clipboard()->setText("not xml");
    QVERIFY(!fn((dir.path() + "/b.dwg").toStdU16String().c_str()));
}

QTEST_MAIN(TestVantrel)
#include "test_vantrel.moc"
