#include "model/datacenter.h"

#include <QBuffer>
#include <QFile>
#include <QtTest>

class TestProjectFile : public QObject {
    Q_OBJECT
private slots:
    void writesFixtureLineByLine();
    void roundTrip();
    void versionRules_data();
    void versionRules();
    void readingRules();
    void foreignRootReadsNothing();
    void planeCounts();
    void hostileAndBrokenInput();
    void uncalculatedPlanesGetGeometryAfterLoad();
    void nonFiniteNumbersReadAsZero();
    void showMarkOutsideItsModesReadsAsZero();
};

namespace {
DataCenter* fixtureProject() {
    auto* dc = new DataCenter;
    dc->ProjectName = QStringLiteral("测试工程<A&B>");
    dc->ShowMark = 3;
    dc->Topple = true;
    PlaneRecord p;
    p.id = 1;
    p.direction = 120;
    p.angle = 45.5;
    p.type = Fault;
    p.notes = QStringLiteral("F2");
    PlaneRecord q;
    q.id = 2;
    q.direction = 359.9;
    q.angle = 89.95; // too steep to draw: stays uncalculated
    q.type = Bedding;
    dc->planes << p << q;
    dc->updatePlanesGeometry();
    return dc;
}

QByteArray written(DataCenter& dc) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!dc.writeProject(&buffer))
        return {};
    return buffer.data();
}

bool readInto(DataCenter& dc, const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return dc.readProject(&buffer);
}

QByteArray wrap(const QByteArray& body, const QByteArray& version = "2.0") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DipData><FileVer version=\"" + version + "\"/>" + body +
           "</DipData>\n";
}
} // namespace

void TestProjectFile::writesFixtureLineByLine() {
    QScopedPointer<DataCenter> dc(fixtureProject());
    QFile expectedFile(QStringLiteral(KARVEN_TEST_DATA "/fixture.yty"));
    QVERIFY(expectedFile.open(QIODevice::ReadOnly));
    const QList<QByteArray> expected = expectedFile.readAll().split('\n');
    const QList<QByteArray> actual = written(*dc).split('\n');
    for (int i = 0; i < qMin(expected.size(), actual.size()); ++i)
        QCOMPARE(QString::fromUtf8(actual[i]), QString::fromUtf8(expected[i]));
    QCOMPARE(actual.size(), expected.size());
}

void TestProjectFile::roundTrip() {
    QScopedPointer<DataCenter> original(fixtureProject());
    original->UpperMode = false;
    original->BigCircle = false;
    original->IncludedAnglePlanar = 90;
    original->FrictionAnglePlanar = 0;
    original->IncludedAngleTopple = 12.345678;
    original->planes[0].notes = QStringLiteral("断层 \"F2\" & <x>");
    const QByteArray bytes = written(*original);

    DataCenter copy;
    QVERIFY(readInto(copy, bytes));
    QCOMPARE(copy.ProjectName, original->ProjectName);
    QCOMPARE(copy.UpperMode, false);
    QCOMPARE(copy.BigCircle, false);
    QCOMPARE(copy.ShowMark, qint16(3));
    QCOMPARE(copy.IncludedAnglePlanar, 90.0);
    QCOMPARE(copy.FrictionAnglePlanar, 0.0);
    QCOMPARE(copy.Topple, true);
    QCOMPARE(copy.IncludedAngleTopple, 12.3457); // six significant digits
    QCOMPARE(copy.planes.size(), 2);
    const PlaneRecord& p = copy.planes[0];
    QCOMPARE(p.id, 1);
    QCOMPARE(p.type, int(Fault));
    QCOMPARE(p.notes, original->planes[0].notes);
    QCOMPARE(p.direction, 120.0);
    QCOMPARE(p.angle, 45.5);
    QVERIFY(p.calculated);
    QCOMPARE(p.MidPoint.x(), -0.3543);
    QCOMPARE(p.CircleRadius, 1.42672);
    QVERIFY(!copy.planes[1].calculated);
    // Fields that the file does not carry come back as defaults.
    QCOMPARE(p.state, 1);
    QCOMPARE(p.directionDelta, 360.0);
    QCOMPARE(copy.slope.id, 0);
    QCOMPARE(copy.slope.type, int(SlopeFace));
    // Writing what was read gives the same bytes.
    QCOMPARE(written(copy), bytes);
}

void TestProjectFile::versionRules_data() {
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("2.0") << wrap("<BaseInfo><ShowMark>2</ShowMark></BaseInfo>") << true;
    QTest::newRow("2.001") << wrap("<BaseInfo><ShowMark>2</ShowMark></BaseInfo>", "2.001") << true;
    QTest::newRow("2.002") << wrap("<BaseInfo><ShowMark>2</ShowMark></BaseInfo>", "2.002") << false;
    QTest::newRow("3") << wrap("<BaseInfo><ShowMark>2</ShowMark></BaseInfo>", "3") << false;
    QTest::newRow("malformed") << wrap("<BaseInfo><ShowMark>2</ShowMark></BaseInfo>", "abc") << true;
    QTest::newRow("missing") << QByteArray("<DipData><FileVer/><BaseInfo><ShowMark>2</ShowMark></BaseInfo></DipData>")
                             << true;
}

void TestProjectFile::versionRules() {
    QFETCH(QByteArray, document);
    QFETCH(bool, accepted);
    DataCenter dc;
    QCOMPARE(readInto(dc, document), accepted);
    // A refused version stops before anything after it is read.
    QCOMPARE(dc.ShowMark, qint16(accepted ? 2 : 1));
}

void TestProjectFile::readingRules() {
    DataCenter dc;
    dc.ProjectName = QStringLiteral("kept");
    PlaneRecord old;
    old.direction = 10;
    old.angle = 10;
    dc.planes << old;
    const QByteArray doc = wrap("<Unknown><Dip id=\"9\"/></Unknown>"
                                "<BaseInfo><UpperMode>True</UpperMode><BigCircle>false</BigCircle>"
                                "<Other>x</Other><FrictionAnglePlanar>abc</FrictionAnglePlanar></BaseInfo>"
                                "<Slopes><Dip id=\"5\" direction=\"1\" angle=\"1\"/>"
                                "<Slope direction=\"90\" angle=\"30\"><Calculate calculated=\"TRUE\"/>"
                                "<Bogus/><CircleRadius radius=\"2\"/></Slope></Slopes>"
                                "<Dips><Slope id=\"7\"/><Dip id=\"3\" direction=\"200\" angle=\"50\" type=\"3\">"
                                "<MidPoint x=\"0.5\"/></Dip></Dips>");
    QVERIFY(readInto(dc, doc));
    QCOMPARE(dc.ProjectName, QStringLiteral("kept"));   // absent element keeps its value
    QCOMPARE(dc.UpperMode, false);                      // "True" is not "true"
    QCOMPARE(dc.BigCircle, false);
    QCOMPARE(dc.FrictionAnglePlanar, 0.0);              // malformed number reads as 0
    QCOMPARE(dc.IncludedAnglePlanar, 30.0);
    QCOMPARE(dc.slope.direction, 90.0);                 // the misnamed child was skipped
    QCOMPARE(dc.slope.id, 0);                           // missing attribute reads as 0
    QCOMPARE(dc.slope.type, 0);
    QCOMPARE(dc.slope.CircleRadius, 2.0);
    QVERIFY(!dc.slope.calculated);
    QCOMPARE(dc.planes.size(), 1);                      // "Dips" empties the list first
    QCOMPARE(dc.planes[0].id, 3);
    QCOMPARE(dc.planes[0].type, int(Bedding));
    QCOMPARE(dc.planes[0].MidPoint, QPointF(0.5, 0));

    QVERIFY(readInto(dc, wrap("<Dips/>")));
    QVERIFY(dc.planes.isEmpty());
}

void TestProjectFile::foreignRootReadsNothing() {
    DataCenter dc;
    QVERIFY(readInto(dc, "<?xml version=\"1.0\"?><Other><BaseInfo><ShowMark>3</ShowMark></BaseInfo></Other>"));
    QCOMPARE(dc.ShowMark, qint16(1));
}

void TestProjectFile::planeCounts() {
    QByteArray dips;
    for (int i = 0; i < 11; ++i)
        dips += "<Dip id=\"" + QByteArray::number(i + 1) + "\" direction=\"10\" angle=\"20\"/>";
    DataCenter dc;
    QVERIFY(readInto(dc, wrap("<Dips>" + dips + "</Dips>")));
    QCOMPARE(dc.planes.size(), 11);

    QByteArray many;
    for (int i = 0; i <= DataCenter::MaxPlanesInFile; ++i)
        many += "<Dip direction=\"10\" angle=\"20\"/>";
    DataCenter flooded;
    QVERIFY(!readInto(flooded, wrap("<Dips>" + many + "</Dips>")));
}

void TestProjectFile::hostileAndBrokenInput() {
    QScopedPointer<DataCenter> good(fixtureProject());
    const QByteArray bytes = written(*good);
    // Every truncation of a real file is refused without a crash.
    for (int cut = 1; cut < bytes.size() - 2; cut += 7) {
        DataCenter dc;
        QVERIFY2(!readInto(dc, bytes.left(cut)), qPrintable(QString::number(cut)));
    }
    DataCenter dc;
    QVERIFY(!readInto(dc, QByteArray("\x00\x01\x02\xff\xfe binary", 12)));
    QVERIFY(!readInto(dc, "<DipData><Dips><Dip></Dips></DipData>"));
    QVERIFY(!readInto(dc, ""));

    // An oversized file is refused before it is parsed.
    QByteArray huge = wrap("<Pad>" + QByteArray(DataCenter::MaxProjectFileSize, 'x') + "</Pad>");
    QVERIFY(!readInto(dc, huge));
    // Deep nesting is skipped without recursion trouble.
    QVERIFY(readInto(dc, wrap(QByteArray("<a>").repeated(20000) + QByteArray("</a>").repeated(20000))));
}

void TestProjectFile::uncalculatedPlanesGetGeometryAfterLoad() {
    DataCenter dc;
    QVERIFY(readInto(dc, wrap("<Dips><Dip id=\"1\" direction=\"0\" angle=\"45\" type=\"2\">"
                              "<Calculate calculated=\"false\"/></Dip>"
                              "<Dip id=\"2\" direction=\"0\" angle=\"45\"><Calculate calculated=\"true\"/></Dip></Dips>")));
    dc.updateSlopeGeometry();
    dc.updatePlanesGeometry();
    QVERIFY(dc.planes[0].calculated);
    QVERIFY(qAbs(dc.planes[0].MidPoint.y() + 0.41421356) < 1e-7);
    QCOMPARE(dc.planes[1].MidPoint, QPointF(0, 0)); // trusted as stored
}

// The framework's parser takes "nan", "inf" and overflowing exponents; the
// reader treats them like any other malformed number.
void TestProjectFile::nonFiniteNumbersReadAsZero() {
    for (const QByteArray bad :
         {QByteArray("nan"), QByteArray("inf"), QByteArray("-inf"), QByteArray("1e999")}) {
        DataCenter dc;
        QVERIFY(readInto(dc, wrap("<BaseInfo><IncludedAnglePlanar>" + bad +
                                  "</IncludedAnglePlanar>"
                                  "<FrictionAnglePlanar>" +
                                  bad +
                                  "</FrictionAnglePlanar>"
                                  "<IncludedAngleTopple>" +
                                  bad +
                                  "</IncludedAngleTopple>"
                                  "<FrictionAngleTopple>" +
                                  bad +
                                  "</FrictionAngleTopple></BaseInfo>"
                                  "<Slopes><Slope direction=\"" +
                                  bad + "\" angle=\"" + bad +
                                  "\">"
                                  "<MidPoint x=\"" +
                                  bad + "\" y=\"" + bad + "\"/><CircleRadius radius=\"" + bad +
                                  "\"/><StartAngle angle=\"" + bad + "\"/><SpanRadius angle=\"" + bad +
                                  "\"/></Slope></Slopes><Dips><Dip id=\"1\" direction=\"" + bad +
                                  "\" angle=\"40\"/></Dips>")));
        QCOMPARE(dc.IncludedAnglePlanar, 0.0);
        QCOMPARE(dc.FrictionAnglePlanar, 0.0);
        QCOMPARE(dc.IncludedAngleTopple, 0.0);
        QCOMPARE(dc.FrictionAngleTopple, 0.0);
        QCOMPARE(dc.slope.direction, 0.0);
        QCOMPARE(dc.slope.angle, 0.0);
        QCOMPARE(dc.slope.MidPoint, QPointF(0, 0));
        QCOMPARE(dc.slope.CircleRadius, 0.0);
        QCOMPARE(dc.slope.StartAngle, 0.0);
        QCOMPARE(dc.slope.SpanRadius, 0.0);
        QCOMPARE(dc.planes.value(0).direction, 0.0);
    }
}

void TestProjectFile::showMarkOutsideItsModesReadsAsZero() {
    const QList<QPair<QByteArray, int>> cases{{"3", 3}, {"0", 0},  {"-1", 0},
                                              {"4", 0}, {"-5", 0}, {"65537", 0}};
    for (const auto& c : cases) {
        DataCenter dc;
        QVERIFY(readInto(dc, wrap("<BaseInfo><ShowMark>" + c.first + "</ShowMark></BaseInfo>")));
        QCOMPARE(int(dc.ShowMark), c.second);
    }
}

QTEST_GUILESS_MAIN(TestProjectFile)
#include "test_projectfile.moc"
