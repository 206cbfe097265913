// Verdicts of analyse/judgeStability and the conclusion sentences built from them.
#include "tests/common/testplanes.h"
#include "model/datacenter.h"

#include <QRegularExpression>
#include <QtTest>

namespace {
// Slope 0∠60 with the default criteria i = 30, f = 27, analysis on.
void setUp(DataCenter& dc) {
    dc.slope.direction = 0;
    dc.slope.angle = 60;
    dc.slope.calculated = false;
    dc.updateSlopeGeometry();
    dc.IncludedAnglePlanar = 30;
    dc.FrictionAnglePlanar = 27;
    dc.Topple = false;
    dc.analysisOff = false;
}

int judge(DataCenter& dc, double direction, double angle) {
    dc.planes = {makePlane(1, direction, angle)};
    dc.analyse();
    return dc.planes.first().state;
}
} // namespace

class TestStability : public QObject {
    Q_OBJECT
private slots:
    void planeRules_data();
    void planeRules();
    void toppling();
    void boundariesUseTolerance();
    void wedgeRules();
    void analyseOffOnlyStamps();
    void analyseBuildsZonesForRepresentation();
    void conclusionExample();
    void conclusionEdgeCases();
    void nonFiniteAttitudeIsNotJudged();
};

void TestStability::planeRules_data() {
    QTest::addColumn<double>("included");
    QTest::addColumn<double>("friction");
    QTest::addColumn<double>("direction");
    QTest::addColumn<double>("angle");
    QTest::addColumn<int>("code");
    QTest::newRow("0∠40 inside, above friction") << 30.0 << 27.0 << 0.0 << 40.0 << 34;
    QTest::newRow("0∠70 steeper") << 30.0 << 27.0 << 0.0 << 70.0 << 11;
    QTest::newRow("0∠60 as steep as the face") << 30.0 << 27.0 << 0.0 << 60.0 << 11;
    QTest::newRow("0∠20 below friction") << 30.0 << 27.0 << 0.0 << 20.0 << 12;
    QTest::newRow("45∠40 outside included") << 30.0 << 27.0 << 45.0 << 40.0 << 14;
    QTest::newRow("315∠40 outside, other side") << 30.0 << 27.0 << 315.0 << 40.0 << 14;
    QTest::newRow("45∠40 friction off") << 30.0 << 0.0 << 45.0 << 40.0 << 13;
    QTest::newRow("180∠70 opposite") << 30.0 << 27.0 << 180.0 << 70.0 << 10;
    QTest::newRow("90∠40 along strike") << 30.0 << 27.0 << 90.0 << 40.0 << 11;
    QTest::newRow("0∠40 both off") << 90.0 << 0.0 << 0.0 << 40.0 << 31;
    QTest::newRow("0∠40 included off") << 90.0 << 27.0 << 0.0 << 40.0 << 32;
    QTest::newRow("0∠40 friction off") << 30.0 << 0.0 << 0.0 << 40.0 << 33;
    QTest::newRow("0∠0 friction off") << 30.0 << 0.0 << 0.0 << 0.0 << 33;
    // Included angle off: even a plane far round to the side is unstable
    // once it dips less than the face there.
    QTest::newRow("80∠10 included off") << 90.0 << 0.0 << 80.0 << 10.0 << 31;
    QTest::newRow("350∠28 inside across north") << 30.0 << 27.0 << 350.0 << 28.0 << 34;
}

void TestStability::planeRules() {
    QFETCH(double, included);
    QFETCH(double, friction);
    QFETCH(double, direction);
    QFETCH(double, angle);
    QFETCH(int, code);
    DataCenter dc;
    setUp(dc);
    dc.IncludedAnglePlanar = included;
    dc.FrictionAnglePlanar = friction;
    QCOMPARE(judge(dc, direction, angle), code);
    // Toppling never touches planes dipping towards the face.
    if (code != 10) {
        dc.Topple = true;
        QCOMPARE(judge(dc, direction, angle), code);
    }
}

void TestStability::toppling() {
    DataCenter dc;
    setUp(dc);
    QCOMPARE(judge(dc, 180, 70), 10); // toppling off
    dc.Topple = true;
    QCOMPARE(judge(dc, 180, 70), 40);
    // 170∠55: the face dips about 59.6° that way; 55 <= 90 + 30 - 59.6.
    QCOMPARE(judge(dc, 170, 55), 10);
    QCOMPARE(judge(dc, 170, 62), 40);
    // More than 20° off the opposite direction: never toppling.
    QCOMPARE(judge(dc, 155, 85), 10);
    QCOMPARE(judge(dc, 160, 85), 40); // 160 itself counts
    // The fixed 160° is used, not the toppling included angle.
    dc.IncludedAngleTopple = 60;
    QCOMPARE(judge(dc, 150, 85), 10);
    // The toppling friction angle does count.
    dc.FrictionAngleTopple = 45;
    QCOMPARE(judge(dc, 180, 70), 10); // 70 <= 45 + 90 - 60
    QCOMPARE(judge(dc, 180, 76), 40);
    // A face of 30° or less seen from behind never lets planes topple.
    dc.FrictionAngleTopple = 0;
    dc.slope.angle = 30;
    QCOMPARE(judge(dc, 180, 89), 10);
    dc.slope.angle = 31;
    QCOMPARE(judge(dc, 180, 89), 40);
}

// The rules compare with a tolerance of 1e-5 so that values equal to their
// criteria on screen decide the same way whatever the rounding.
void TestStability::boundariesUseTolerance() {
    DataCenter dc;
    setUp(dc);
    QCOMPARE(judge(dc, 0, 27), 34); // dip equal to friction: not below it
    QCOMPARE(judge(dc, 0, 27 - 2e-5), 12);
    QCOMPARE(judge(dc, 30, 40), 34); // exactly on the included angle: inside
    QCOMPARE(judge(dc, 30 + 0.5e-5, 40), 34);
    QCOMPARE(judge(dc, 30 + 2e-5, 40), 14);
    QCOMPARE(judge(dc, 0, 60 - 0.5e-5), 11); // within tolerance of the face dip
    dc.IncludedAnglePlanar = 89.999995;      // counts as off
    QCOMPARE(judge(dc, 0, 40), 32);
    dc.IncludedAnglePlanar = 30;
    dc.FrictionAnglePlanar = 0.5e-5; // counts as off
    QCOMPARE(judge(dc, 45, 40), 13);
}

void TestStability::wedgeRules() {
    DataCenter dc;
    setUp(dc);
    // Wedge 1×2 of 090∠60 and 180∠60: trend 135, plunge 50.77.
    dc.planes = {makePlane(1, 90, 60), makePlane(2, 180, 60)};
    auto wedgeState = [&](double slopeDirection, double slopeAngle, double friction) {
        dc.slope.direction = slopeDirection;
        dc.slope.angle = slopeAngle;
        dc.FrictionAnglePlanar = friction;
        dc.analyse();
        return dc.wedges.size() == 1 ? dc.wedges.first().state : -1;
    };
    QCOMPARE(wedgeState(135, 70, 27), 32);
    QCOMPARE(wedgeState(135, 70, 0), 31);
    QCOMPARE(wedgeState(135, 70, 60), 12);
    QCOMPARE(wedgeState(135, 45, 27), 11);
    // No included-angle test for wedges: 60° off the face direction, the face
    // still dips atan(tan80·cos60) = 70.6° along the trend.
    dc.IncludedAnglePlanar = 1;
    QCOMPARE(wedgeState(75, 80, 27), 32);
    // Trend more than 90° from the face direction: stable whatever the plunge.
    QCOMPARE(wedgeState(0, 60, 27), 10);
    dc.Topple = true;
    QCOMPARE(wedgeState(315, 89, 0), 10); // no toppling verdict for wedges
    // The planes keep their own verdicts next to the wedge's.
    QCOMPARE(dc.planes.at(0).state, 10);
}

void TestStability::analyseOffOnlyStamps() {
    DataCenter dc;
    setUp(dc);
    dc.planes = {makePlane(1, 0, 40), makePlane(2, 90, 50)};
    dc.analysisOff = true;
    dc.analyse();
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                .match(dc.analysisTime)
                .hasMatch());
    QVERIFY(dc.wedges.isEmpty());
    QCOMPARE(dc.planes.at(0).state, 1);
    QVERIFY(dc.judgeZone.slidingZone.isEmpty());

    dc.analysisOff = false;
    dc.analyse();
    QCOMPARE(dc.wedges.size(), 1);
    QCOMPARE(dc.planes.at(0).state, 34);
    // Off again: results stay as last computed even when the data changes.
    dc.analysisOff = true;
    dc.planes.append(makePlane(3, 200, 30));
    dc.analyse();
    QCOMPARE(dc.wedges.size(), 1);
    QCOMPARE(dc.planes.at(2).state, 1);
}

void TestStability::analyseBuildsZonesForRepresentation() {
    DataCenter dc;
    setUp(dc);
    dc.UpperMode = false;
    dc.Topple = true;
    dc.analyse();
    QVERIFY(!dc.judgeZone.upper);
    QVERIFY(dc.judgeZone.bigCircle);
    QVERIFY(dc.judgeZone.topple);
    QVERIFY(dc.judgeZone.envelope.isEmpty());
    QVERIFY(!dc.judgeZone.slidingZone.isEmpty());
    QVERIFY(!dc.judgeZone.topplingZone.isEmpty());
    QVERIFY(qAbs(dc.judgeZone.frictionRadius - std::tan(qDegreesToRadians(45 - 13.5))) < 1e-12);

    dc.BigCircle = false;
    dc.analyse();
    QVERIFY(!dc.judgeZone.bigCircle);
    QCOMPARE(dc.judgeZone.envelope.size(), 91);
    QVERIFY(qAbs(dc.judgeZone.frictionRadius - std::tan(qDegreesToRadians(13.5))) < 1e-12);
    // The toppling zone uses the toppling criteria: off when its friction
    // angle reaches the slope dip.
    dc.FrictionAngleTopple = 60;
    dc.analyse();
    QVERIFY(dc.judgeZone.topplingZone.isEmpty());
    QVERIFY(!dc.judgeZone.slidingZone.isEmpty());
}

void TestStability::conclusionExample() {
    DataCenter dc;
    dc.planes = {makePlane(1, 0, 0, Joint), makePlane(2, 0, 0, Fault), makePlane(3, 0, 0, Bedding)};
    dc.planes[0].state = 34;
    dc.planes[1].state = 11;
    dc.planes[2].state = 32;
    PlaneRecord w;
    w.id = 103;
    w.state = 32;
    dc.wedges = {w};
    dc.buildConclusion();
    QCOMPARE(dc.conclusion[0], QStringLiteral("边坡岩体中存在2组不稳定结构面，它们是：节理1、层理3；"));
    QCOMPARE(dc.conclusion[1], QStringLiteral("其结构面组合中存在1组不稳定楔形体，它们是：1×3组合；"));
    QCOMPARE(dc.conclusion[2], QString());
}

void TestStability::conclusionEdgeCases() {
    DataCenter dc;
    dc.conclusion[0] = QStringLiteral("old");
    dc.planes = {makePlane(1, 0, 0), makePlane(2, 0, 0, Fault), makePlane(4, 0, 0, Bedding, QStringLiteral("F")),
                 makePlane(5, 0, 0, 9)};
    // Nothing unstable: all three empty (old text cleared).
    dc.buildConclusion();
    for (const QString& s : dc.conclusion)
        QVERIFY(s.isEmpty());

    // Toppling planes left over while toppling is off: listed nowhere.
    dc.planes[0].state = 40;
    dc.planes[1].state = 40;
    dc.buildConclusion();
    for (const QString& s : dc.conclusion)
        QVERIFY(s.isEmpty());

    dc.Topple = true;
    dc.planes[2].state = 31;
    dc.planes[3].state = 39; // unknown kind counts as a joint; 39 still unstable
    dc.buildConclusion();
    QCOMPARE(dc.conclusion[0], QStringLiteral("边坡岩体中存在2组不稳定结构面，它们是：F4、节理5；"));
    QCOMPARE(dc.conclusion[2], QStringLiteral("边坡岩体中存在2组易倾倒破坏结构面，它们是：节理1、断层2；"));
    QVERIFY(dc.conclusion[1].isEmpty());

    // Wedges above 30 only; several in list order.
    PlaneRecord a, b, c;
    a.id = 102;
    a.state = 12;
    b.id = 204;
    b.state = 31;
    c.id = 405;
    c.state = 32;
    dc.wedges = {a, b, c};
    dc.buildConclusion();
    QCOMPARE(dc.conclusion[1], QStringLiteral("其结构面组合中存在2组不稳定楔形体，它们是：2×4、4×5组合；"));

    // Notes are copied as typed, placeholders included.
    dc.planes = {makePlane(7, 0, 0, Joint, QStringLiteral("%1层"))};
    dc.planes[0].state = 33;
    dc.wedges.clear();
    dc.buildConclusion();
    QCOMPARE(dc.conclusion[0], QStringLiteral("边坡岩体中存在1组不稳定结构面，它们是：%1层7；"));
}

// A record that is not a number in either attitude field is neither judged
// nor intersected, whatever path put it there.
void TestStability::nonFiniteAttitudeIsNotJudged() {
    DataCenter dc;
    setUp(dc);
    dc.planes = {makePlane(1, qQNaN(), 40), makePlane(2, 10, 40), makePlane(3, 60, qInf())};
    dc.analyse();
    QCOMPARE(dc.planes[0].state, int(StabilityState::NotJudged));
    QCOMPARE(dc.planes[2].state, int(StabilityState::NotJudged));
    QCOMPARE(dc.planes[1].state, int(StabilityState::UnstableAboveFrictionInsideIncluded));
    QVERIFY(dc.wedges.isEmpty());
    dc.buildConclusion();
    QVERIFY(!dc.conclusion[0].contains(QLatin1String("nan")));

    dc.slope.direction = qQNaN();
    dc.planes = {makePlane(1, 10, 40), makePlane(2, 60, 30)};
    dc.analyse();
    QCOMPARE(dc.planes[0].state, int(StabilityState::NotJudged));
    QCOMPARE(dc.wedges.size(), 1);
    QCOMPARE(dc.wedges[0].state, int(StabilityState::NotJudged));
}

QTEST_GUILESS_MAIN(TestStability)
#include "test_stability.moc"
