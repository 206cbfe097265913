#include "model/datacenter.h"
#include "model/factors/loadcases.h"
#include "model/factors/stabilityfactors.h"
#include "model/factors/stabilityplanes.h"
#include "model/factors/stabilityproblems.h"
#include "tests/model/projectbytes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QtTest>

// The factor-of-safety inputs in the project file.
class TestStabilityFile : public QObject {
    Q_OBJECT
private slots:
    void elementInTheFilesStyle();
    void everyInputRoundTrips();
    void projectsWithoutTheElementKeepTheirBytes();
    void hostileValuesAreRefused_data();
    void hostileValuesAreRefused();
    void elementAnywhereInTheRoot();
    void strengthsFollowRenumberedPlanes();
    void casesAnchorsAndBenchAsChildren();
    void elementWithoutCasesIsOneCase();
    void anchorsFollowRenumberedPlanes();
};

namespace {
void addPlane(DataCenter& dc, int id, double direction, double angle) {
    PlaneRecord p;
    p.id = id;
    p.direction = direction;
    p.angle = angle;
    dc.planes << p;
}

// A slope dipping 60° with the given Stability element after Dips.
QByteArray document(const QByteArray& stability) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DipData><FileVer version=\"2.0\"/>"
           "<BaseInfo><FrictionAnglePlanar>27</FrictionAnglePlanar></BaseInfo>"
           "<Slopes><Slope id=\"0\" direction=\"120\" angle=\"60\" type=\"1\" notes=\"\"/></Slopes>"
           "<Dips><Dip id=\"1\" direction=\"120\" angle=\"35\" type=\"2\" notes=\"\"/></Dips>" +
           stability + "</DipData>\n";
}
} // namespace

void TestStabilityFile::elementInTheFilesStyle() {
    DataCenter dc;
    addPlane(dc, 1, 120, 35);
    addPlane(dc, 2, 200, 50);
    dc.FrictionAnglePlanar = 27.5;
    dc.stability.present = true;
    dc.stability.enabled = true;
    dc.stability.planes.insert(1, PlaneStrength{48, 30});
    const QString text = QString::fromUtf8(written(dc));
    // After Dips, before the root ends; plane 2 has no entry and is written
    // with the defaults (c = 0, φ = the planar friction angle).
    const QString expected = QStringLiteral(
        "    </Dips>\n"
        "    <Stability enabled=\"true\" height=\"30\" upperDip=\"0\" unitWeight=\"25\" waterWeight=\"9.81\" "
        "crack=\"critical\" crackDistance=\"0\" crackWater=\"0\" wedgeWater=\"dry\" seismic=\"0\" "
        "safetyClass=\"2\" permanent=\"true\">\n"
        "        <Plane id=\"1\" cohesion=\"48\" friction=\"30\"/>\n"
        "        <Plane id=\"2\" cohesion=\"0\" friction=\"27.5\"/>\n"
        "    </Stability>\n"
        "</DipData>\n");
    QVERIFY2(text.endsWith(expected), qPrintable(text.right(600)));
}

void TestStabilityFile::everyInputRoundTrips() {
    DataCenter dc;
    addPlane(dc, 1, 120, 35);
    addPlane(dc, 2, 200, 50);
    StabilityParams& s = dc.stability;
    s.present = true;
    s.enabled = false; // switched on once, off again: still written
    s.height = 42.5;
    s.upperDip = 12.25;
    s.unitWeight = 26.4;
    s.waterWeight = 10;
    s.crackCritical = false;
    s.crackDistance = 3.75;
    s.crackWater = 0.5;
    s.wedgeSaturated = true;
    s.seismic = 0.038;
    s.safetyClass = 3;
    s.permanent = false;
    s.planes.insert(1, PlaneStrength{48, 30});
    s.planes.insert(2, PlaneStrength{0.5, 0});
    const QByteArray bytes = written(dc);

    DataCenter copy;
    QVERIFY(readInto(copy, bytes));
    const StabilityParams& c = copy.stability;
    QVERIFY(c.present && !c.enabled && !c.crackCritical && c.wedgeSaturated && !c.permanent);
    const double values[] = {c.height,        c.upperDip,   c.unitWeight, c.waterWeight,
                             c.crackDistance, c.crackWater, c.seismic};
    const double expected[] = {42.5, 12.25, 26.4, 10, 3.75, 0.5, 0.038};
    for (int i = 0; i < 7; ++i)
        QCOMPARE(values[i], expected[i]);
    QCOMPARE(c.safetyClass, 3);
    QCOMPARE(c.planes.size(), 2);
    QCOMPARE(c.planes.value(1).cohesion, 48.0);
    QCOMPARE(c.planes.value(2).cohesion, 0.5);
    QCOMPARE(c.planes.value(2).friction, 0.0);
    QCOMPARE(written(copy), bytes);
}

void TestStabilityFile::projectsWithoutTheElementKeepTheirBytes() {
    // A project that never switched the calculation on writes what it wrote
    // before: the shipped examples and the golden fixture stay as they are.
    QStringList files{QStringLiteral(KARVEN_TEST_DATA "/fixture.yty")};
    const QDir examples(QStringLiteral(KARVEN_SOURCE_DIR "/examples"));
    for (const QString& name : examples.entryList({QStringLiteral("*.yty")}))
        files << examples.filePath(name);
    QVERIFY(files.size() > 1);
    for (const QString& path : files) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        DataCenter dc;
        QVERIFY(readInto(dc, bytes));
        QVERIFY(!dc.stability.present);
        QVERIFY(!dc.stability.enabled);
        QVERIFY(dc.stability.planes.isEmpty());
        QCOMPARE(written(dc), bytes);
    }
}

void TestStabilityFile::hostileValuesAreRefused_data() {
    QTest::addColumn<QByteArray>("attributes");
    QTest::addColumn<QByteArray>("plane");
    QTest::addColumn<QString>("attribute"); // the one named
    const char* const rows[][4] = {
        {"negative height", "height=\"-5\"", "", "height"},
        {"height 0", "height=\"0\"", "", "height"},
        {"height 1e308", "height=\"1e308\"", "", "height"},
        {"NaN height", "height=\"NaN\"", "", "height"},
        {"malformed height", "height=\"30m\"", "", "height"},
        {"infinite weight", "unitWeight=\"inf\"", "", "unitWeight"},
        {"upper dip = face dip", "upperDip=\"60\"", "", "upperDip"},
        {"rock lighter than water", "unitWeight=\"9\" waterWeight=\"9.81\"", "", "unitWeight"},
        {"water heavier than brine", "waterWeight=\"16\" unitWeight=\"20\"", "", "waterWeight"},
        {"crack water > 1", "crackWater=\"1.0000001\"", "", "crackWater"},
        {"crack before the crest", "crackDistance=\"-2\"", "", "crackDistance"},
        {"seismic 0.51", "seismic=\"0.51\"", "", "seismic"},
        {"safety class 4", "safetyClass=\"4\"", "", "safetyClass"},
        {"friction 90", "", "<Plane id=\"1\" cohesion=\"5\" friction=\"90\"/>", "friction"},
        {"friction NaN", "", "<Plane id=\"1\" friction=\"nan\"/>", "friction"},
        {"negative cohesion", "", "<Plane id=\"1\" cohesion=\"-3\"/>", "cohesion"},
        {"cohesion 1e9", "", "<Plane id=\"1\" cohesion=\"1e9\"/>", "cohesion"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QByteArray(row[1]) << QByteArray(row[2]) << QString::fromLatin1(row[3]);
}

void TestStabilityFile::hostileValuesAreRefused() {
    QFETCH(QByteArray, attributes);
    QFETCH(QByteArray, plane);
    QFETCH(QString, attribute);
    DataCenter dc;
    QVERIFY(
        readInto(dc, document("<Stability enabled=\"true\" " + attributes + ">" + plane + "</Stability>")));
    // The file opens and keeps the value as it stands, never a default in
    // its place; exactly that value is named, and nothing is calculated.
    const StabilityParams& s = dc.stability;
    QVERIFY(s.present && s.enabled);
    const QList<ParamProblem> problems = stabilityParamProblems(s, dc.slope.angle);
    QCOMPARE(problems.size(), 1);
    QCOMPARE(problems.at(0).attribute, attribute);
    QVERIFY(paramProblemText(problems.at(0)).contains(attribute));
    QVERIFY(!isValidStabilityParams(s, dc.slope.angle));
    dc.updateSlopeGeometry();
    dc.updatePlanesGeometry();
    dc.analysisOff = false;
    dc.analyse();
    QVERIFY(!dc.planes.isEmpty() && dc.planes.at(0).state / 10 == 3);
    const StabilityFactors factors = computeStabilityFactors(dc);
    QVERIFY(factors.planes.isEmpty() && factors.wedges.isEmpty());

    // Written back as read, so the file still shows what needs mending.
    DataCenter again;
    QVERIFY(readInto(again, written(dc)));
    const QList<ParamProblem> back = stabilityParamProblems(again.stability, again.slope.angle);
    QCOMPARE(back.size(), 1);
    QCOMPARE(back.at(0).attribute, attribute);
}

void TestStabilityFile::elementAnywhereInTheRoot() {
    // Unknown children are skipped, a malformed number is kept as not a
    // number (never a default in its place) and named, and reading goes on
    // after the element.
    DataCenter dc;
    const QByteArray body =
        "<?xml version=\"1.0\"?><DipData>"
        "<Stability height=\"12\" crackDistance=\"abc\" crack=\"given\" wedgeWater=\"wet\">"
        "<Note><Plane id=\"3\" cohesion=\"1\"/></Note><Plane id=\"2\" cohesion=\"7\"/>"
        "</Stability><BaseInfo><ShowMark>2</ShowMark></BaseInfo></DipData>";
    dc.stability.crackDistance = 5;
    QVERIFY(readInto(dc, body));
    QCOMPARE(dc.stability.height, 12.0);
    QVERIFY(std::isnan(dc.stability.crackDistance));
    const QList<ParamProblem> problems = stabilityParamProblems(dc.stability, 60);
    QCOMPARE(problems.size(), 1);
    QCOMPARE(problems.at(0).attribute, QStringLiteral("crackDistance"));
    QVERIFY(!dc.stability.crackCritical);
    QVERIFY(!dc.stability.wedgeSaturated);
    QVERIFY(!dc.stability.enabled);
    QCOMPARE(dc.stability.planes.keys(), QList<int>{2});
    QCOMPARE(dc.stability.planes.value(2).friction, 27.0); // the planar friction angle
    QCOMPARE(dc.ShowMark, qint16(2));
}

void TestStabilityFile::strengthsFollowRenumberedPlanes() {
    // As the data dialog hands planes back: renumbered 1..n, angles read
    // back from their one-decimal text in single precision.
    auto planes = [](std::initializer_list<std::pair<double, double>> attitudes) {
        DataCenter dc;
        int id = 1;
        for (const auto& a : attitudes)
            addPlane(dc, id++, a.first, a.second);
        return dc.planes;
    };
    const QList<PlaneRecord> before = planes({{120.04, 35.1}, {200, 50}, {60, 55}});
    StabilityParams p;
    for (int id = 1; id <= 3; ++id)
        p.planes.insert(id, PlaneStrength{10.0 * id, 30});
    auto cohesions = [](const StabilityParams& s) {
        QMap<int, double> out;
        for (auto it = s.planes.begin(); it != s.planes.end(); ++it)
            out.insert(it.key(), it.value().cohesion);
        return out;
    };
    // Plane 1 deleted, a new plane appended: the others keep theirs, the new
    // one takes the defaults.
    StabilityParams deleted = p;
    followRenumberedPlanes(deleted, before, planes({{200, 50}, {60, 55}, {10, 20}}));
    QCOMPARE(cohesions(deleted), (QMap<int, double>{{1, 20}, {2, 30}}));
    // Plane 2 edited in place, plane 1 shown rounded: nothing moves.
    StabilityParams edited = p;
    followRenumberedPlanes(edited, before, planes({{120, float(35.1)}, {201, 50}, {60, 55}}));
    QCOMPARE(cohesions(edited), (QMap<int, double>{{1, 10}, {2, 20}, {3, 30}}));
}

void TestStabilityFile::casesAnchorsAndBenchAsChildren() {
    DataCenter dc;
    addPlane(dc, 1, 120, 35);
    addPlane(dc, 2, 200, 50);
    StabilityParams& s = dc.stability;
    s.present = s.enabled = true;
    s.upperLength = 12.5;
    s.cases = defaultLoadCases(s);
    s.cases[1].requiredTyped = 1.4;
    mirrorFirstCase(s);
    s.planeAnchors.insert(1, BlockAnchor{120, 15, false, 0});
    s.planeAnchors.insert(7, BlockAnchor{99, 15, false, 0}); // no such plane: not written
    s.wedgeAnchors.insert(wedgeKey(2, 1), BlockAnchor{800, -5, true, 185.5});
    const QString text = QString::fromUtf8(written(dc));
    const QString expected = QStringLiteral(
        "safetyClass=\"2\" permanent=\"true\" upperLength=\"12.5\">\n"
        "        <Plane id=\"1\" cohesion=\"0\" friction=\"27\"/>\n"
        "        <Plane id=\"2\" cohesion=\"0\" friction=\"27\"/>\n"
        "        <Case name=\"天然工况\" crackWater=\"0\" wedgeWater=\"dry\" seismic=\"0\"/>\n"
        "        <Case name=\"暴雨工况\" crackWater=\"1\" wedgeWater=\"saturated\" seismic=\"0\" "
        "required=\"1.4\"/>\n"
        "        <Case name=\"地震工况\" crackWater=\"0\" wedgeWater=\"dry\" seismic=\"0.05\"/>\n"
        "        <Anchor plane=\"1\" force=\"120\" inclination=\"15\"/>\n"
        "        <Anchor planeA=\"1\" planeB=\"2\" force=\"800\" inclination=\"-5\" bearing=\"185.5\"/>\n"
        "    </Stability>\n");
    QVERIFY2(text.contains(expected), qPrintable(text.right(900)));
    DataCenter copy;
    QVERIFY(readInto(copy, written(dc)));
    const StabilityParams& c = copy.stability;
    QCOMPARE(c.upperLength, 12.5);
    QCOMPARE(c.cases.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(c.cases[i].name, s.cases[i].name);
        QCOMPARE(c.cases[i].crackWater, s.cases[i].crackWater);
        QCOMPARE(c.cases[i].wedgeSaturated, s.cases[i].wedgeSaturated);
        QCOMPARE(c.cases[i].seismic, s.cases[i].seismic);
        QCOMPARE(c.cases[i].requiredTyped, s.cases[i].requiredTyped);
    }
    QCOMPARE(c.planeAnchors.keys(), QList<int>{1});
    QCOMPARE(c.planeAnchors.value(1).force, 120.0);
    const BlockAnchor w = c.wedgeAnchors.value(wedgeKey(1, 2));
    QVERIFY(w.bearingGiven && w.bearing == 185.5 && w.force == 800 && w.inclination == -5);
    QCOMPARE(written(copy), written(dc));
    // Values out of range are kept as read, and the input check refuses them.
    QVERIFY(readInto(copy, document("<Stability enabled=\"true\" upperLength=\"-3\">"
                                    "<Case name=\"a\" crackWater=\"2\"/>"
                                    "<Anchor plane=\"1\" force=\"-10\" inclination=\"95\"/></Stability>")));
    QCOMPARE(copy.stability.upperLength, -3.0);
    QCOMPARE(copy.stability.cases.value(0).crackWater, 2.0);
    QCOMPARE(copy.stability.planeAnchors.value(1).inclination, 95.0);
    QVERIFY(!isValidStabilityParams(copy.stability, 60));
}

void TestStabilityFile::elementWithoutCasesIsOneCase() {
    // Today's element: no cases, no anchors, no bench; its own load is the
    // one case, and reading it over a project that had cases drops them.
    DataCenter dc;
    dc.stability.cases = defaultLoadCases(dc.stability);
    dc.stability.planeAnchors.insert(1, BlockAnchor{5, 15, false, 0});
    dc.stability.upperLength = 4;
    QVERIFY(readInto(dc, document("<Stability enabled=\"true\" crackWater=\"0.5\" seismic=\"0.1\"/>")));
    QVERIFY(dc.stability.cases.isEmpty() && dc.stability.planeAnchors.isEmpty());
    QCOMPARE(dc.stability.upperLength, 0.0);
    const QList<LoadCase> cases = loadCasesOf(dc.stability);
    QCOMPARE(cases.size(), 1);
    QVERIFY(cases.first().crackWater == 0.5 && cases.first().seismic == 0.1);
    // And it is written back without any of the new content.
    const QString text = QString::fromUtf8(written(dc));
    QVERIFY(!text.contains(QLatin1String("Case")) && !text.contains(QLatin1String("Anchor")) &&
            !text.contains(QLatin1String("upperLength")));
}

void TestStabilityFile::anchorsFollowRenumberedPlanes() {
    DataCenter a;
    addPlane(a, 1, 120, 35);
    addPlane(a, 2, 200, 50);
    addPlane(a, 3, 60, 55);
    DataCenter b; // plane 1 deleted: 2 → 1, 3 → 2
    addPlane(b, 1, 200, 50);
    addPlane(b, 2, 60, 55);
    StabilityParams p;
    p.planeAnchors.insert(1, BlockAnchor{10, 15, false, 0});
    p.planeAnchors.insert(3, BlockAnchor{30, 15, false, 0});
    p.wedgeAnchors.insert(wedgeKey(2, 3), BlockAnchor{23, 15, false, 0});
    p.wedgeAnchors.insert(wedgeKey(1, 2), BlockAnchor{12, 15, false, 0});
    followRenumberedPlanes(p, a.planes, b.planes);
    QCOMPARE(p.planeAnchors.keys(), QList<int>{2});
    QCOMPARE(p.planeAnchors.value(2).force, 30.0);
    QCOMPARE(p.wedgeAnchors.keys(), QList<WedgeKey>{wedgeKey(1, 2)});
    QCOMPARE(p.wedgeAnchors.value(wedgeKey(1, 2)).force, 23.0);
}

QTEST_GUILESS_MAIN(TestStabilityFile)
#include "test_stabilityfile.moc"
