// Load cases, candidate blocks, the required factor per case, the bounded
// crack search and the inputs' ranges.
#include "model/datacenter.h"
#include "model/factors/loadcases.h"
#include "model/factors/planarsliding.h"
#include "model/factors/stabilityfactors.h"
#include "model/factors/stabilityproblems.h"
#include "tests/common/testplanes.h"

#include <QtTest>

#include <cmath>

namespace {
constexpr double kDeg = 0.017453292519943295;

// Face 180∠60 and the given planes, analysis on, calculation on, H 30.
void setUp(DataCenter& dc, const QList<PlaneRecord>& planes, double kinematicFriction = 30) {
    dc.slope.direction = 180;
    dc.slope.angle = 60;
    dc.slope.calculated = false;
    dc.updateSlopeGeometry();
    dc.IncludedAnglePlanar = 30;
    dc.FrictionAnglePlanar = kinematicFriction;
    dc.planes = planes;
    dc.analysisOff = false;
    dc.stability.present = dc.stability.enabled = true;
    dc.stability.height = 30;
    dc.analyse();
}

LoadCase loadCase(const QString& name, double crackWater, bool saturated, double seismic, double typed = 0) {
    LoadCase c;
    c.name = name;
    c.crackWater = crackWater;
    c.wedgeSaturated = saturated;
    c.seismic = seismic;
    c.requiredTyped = typed;
    return c;
}
} // namespace

class TestLoadCases : public QObject {
    Q_OBJECT
private slots:
    void flatPlaneIsACandidate();
    void candidatesFollowTheKinematicCodes();
    void fileWithoutCasesIsOneCase();
    void everyCaseHasTheSameBlocks();
    void requiredFactorPerCase();
    void searchBoundedByTheBench();
    void anchorsOfTheProject();
    void rangesOfTheNewInputs();
};

void TestLoadCases::flatPlaneIsACandidate() {
    // Face 180∠60, plane 180∠25 flatter than the kinematic friction angle
    // (code 12), H 30, c 20 kPa, φ 30°: dry its critical crack gives about
    // 1.38, with the crack full about 0.27.
    DataCenter dc;
    setUp(dc, {makePlane(1, 180, 25)});
    QCOMPARE(dc.planes.first().state, int(StabilityState::BelowFriction));
    dc.stability.planes[1] = {20, 30};
    dc.stability.cases = {loadCase("天然工况", 0, false, 0), loadCase("暴雨工况", 1, true, 0)};
    const StabilityFactors f = computeStabilityFactors(dc);
    QCOMPARE(f.cases.size(), 2);
    const PlanarFactor& dry = f.cases[0].planes.value(0);
    const PlanarFactor& full = f.cases[1].planes.value(0);
    QVERIFY(dry.hasBlock && full.hasBlock);
    QVERIFY(!dry.kinematicUnstable && dry.index == 0);
    QVERIFY2(std::fabs(dry.fs - 1.38) < 0.005, qPrintable(QString::number(dry.fs, 'f', 4)));
    QVERIFY2(std::fabs(full.fs - 0.27) < 0.005, qPrintable(QString::number(full.fs, 'f', 4)));
    // The dry critical crack is Hoek & Bray's closed form.
    const double cotF = 1 / std::tan(60 * kDeg), tanP = std::tan(25 * kDeg);
    QVERIFY(std::fabs(dry.crackDepth / 30 - (1 - std::sqrt(cotF * tanP))) < 1e-5);
    // The first case is also the flat list of the older readers.
    QCOMPARE(f.planes.size(), 1);
    QCOMPARE(f.planes.first().fs, dry.fs);
}

void TestLoadCases::candidatesFollowTheKinematicCodes() {
    // Plane 1 steeper than the face (11), plane 2 outside the included angle
    // and flatter than φ (12 but not within the angle), plane 3 unstable
    // (3x), plane 4 flatter than φ within the angle (12), plane 5 dipping
    // into the slope (10).
    DataCenter dc;
    setUp(dc, {makePlane(1, 180, 70), makePlane(2, 240, 20), makePlane(3, 190, 40), makePlane(4, 170, 20),
               makePlane(5, 0, 40)});
    const StabilityFactors f = computeStabilityFactors(dc);
    QList<int> indices;
    for (const PlanarFactor& p : f.planes)
        indices << p.index;
    QCOMPARE(indices, (QList<int>{2, 3}));
    QVERIFY(f.planes[0].kinematicUnstable && !f.planes[1].kinematicUnstable);
    // Wedges: every one whose line daylights, unstable or flatter than φ.
    for (const WedgeFactor& w : f.wedges) {
        const PlaneRecord& record = dc.wedges.at(w.index);
        QVERIFY(record.state == StabilityState::BelowFriction || record.state / 10 == 3);
        QCOMPARE(w.kinematicUnstable, record.state / 10 == 3);
        QCOMPARE(dc.planes.at(w.indexA).id, w.planeA);
        QCOMPARE(dc.planes.at(w.indexB).id, w.planeB);
    }
    int candidates = 0;
    for (const PlaneRecord& w : dc.wedges)
        candidates += w.state == StabilityState::BelowFriction || w.state / 10 == 3;
    QCOMPARE(f.wedges.size(), candidates);
    QVERIFY(candidates > 0);
}

void TestLoadCases::fileWithoutCasesIsOneCase() {
    // Today's element: its own crack water, wedge water and αw make the one
    // case, named by its kind, with the table's Fst.
    DataCenter dc;
    setUp(dc, {makePlane(1, 190, 35), makePlane(2, 140, 50), makePlane(3, 230, 45)});
    dc.stability.crackWater = 0.5;
    dc.stability.seismic = 0.1;
    dc.stability.wedgeSaturated = true;
    const QList<LoadCase> cases = loadCasesOf(dc.stability);
    QCOMPARE(cases.size(), 1);
    QCOMPARE(cases.first().name, QStringLiteral("地震工况"));
    QVERIFY(cases.first().crackWater == 0.5 && cases.first().wedgeSaturated && cases.first().seismic == 0.1);
    const StabilityFactors f = computeStabilityFactors(dc);
    QCOMPARE(f.cases.size(), 1);
    QCOMPARE(f.required, 1.10);
    QVERIFY(f.seismicCase && f.cases.first().requiredFromTable && !f.cases.first().requiredMissing);
    // The same as the case written out.
    dc.stability.cases = {loadCase("x", 0.5, true, 0.1)};
    const StabilityFactors g = computeStabilityFactors(dc);
    QCOMPARE(g.planes.size(), f.planes.size());
    for (int i = 0; i < f.planes.size(); ++i)
        QCOMPARE(g.planes[i].fs, f.planes[i].fs);
    for (int i = 0; i < f.wedges.size(); ++i)
        QCOMPARE(g.wedges[i].fs, f.wedges[i].fs);
    QCOMPARE(loadCasesOf(StabilityParams()).first().name, QStringLiteral("天然工况"));
}

void TestLoadCases::everyCaseHasTheSameBlocks() {
    DataCenter dc;
    setUp(dc, {makePlane(1, 190, 35), makePlane(2, 140, 50), makePlane(3, 230, 45)}, 27);
    // The default cases: natural, rain (crack full, wedges saturated),
    // seismic (αw 0.05 while none is set).
    dc.stability.cases = defaultLoadCases(dc.stability);
    QCOMPARE(dc.stability.cases[2].seismic, 0.05);
    const StabilityFactors f = computeStabilityFactors(dc);
    QCOMPARE(f.cases.size(), 3);
    QCOMPARE(f.cases[1].loadCase.name, QStringLiteral("暴雨工况"));
    for (const CaseFactors& c : f.cases) {
        QCOMPARE(c.planes.size(), f.planes.size());
        QCOMPARE(c.wedges.size(), f.wedges.size());
        for (int i = 0; i < c.planes.size(); ++i)
            QCOMPARE(c.planes[i].index, f.planes[i].index);
        for (int i = 0; i < c.wedges.size(); ++i)
            QCOMPARE(c.wedges[i].index, f.wedges[i].index);
    }
    // Water and the seismic load lower every factor of the natural case.
    for (int i = 0; i < f.planes.size(); ++i) {
        QVERIFY(f.cases[1].planes[i].fs < f.cases[0].planes[i].fs);
        QVERIFY(f.cases[2].planes[i].fs < f.cases[0].planes[i].fs);
    }
    for (int i = 0; i < f.wedges.size(); ++i) {
        if (f.wedges[i].hasBlock) {
            QVERIFY(f.cases[1].wedges[i].fs <= f.cases[0].wedges[i].fs);
            QVERIFY(f.cases[1].wedges[i].peakWaterPressure > 0 &&
                    f.cases[0].wedges[i].peakWaterPressure == 0);
            // γw·h/2 with the wedge's own height.
            QVERIFY(std::fabs(f.cases[1].wedges[i].peakWaterPressure -
                              9.81 * f.cases[1].wedges[i].wedgeHeight / 2) < 1e-9);
        }
    }
    QCOMPARE(f.cases[0].required, 1.30);
    QCOMPARE(f.cases[1].required, 1.30);
    QCOMPARE(f.cases[2].required, 1.10);
}

void TestLoadCases::requiredFactorPerCase() {
    StabilityParams p;
    bool fromTable = false, missing = true;
    // GB 50330-2013 Table 5.3.2: the ordinary column for the natural and the
    // rain case, the seismic column for the seismic case.
    QCOMPARE(caseRequiredFactor(p, loadCase("天然工况", 0, false, 0), fromTable, missing), 1.30);
    QVERIFY(fromTable && !missing);
    QCOMPARE(caseRequiredFactor(p, loadCase("暴雨工况", 1, true, 0), fromTable, missing), 1.30);
    QCOMPARE(caseRequiredFactor(p, loadCase("地震工况", 0, false, 0.05), fromTable, missing), 1.10);
    // The engineer raises it: typed, not from the table.
    QCOMPARE(caseRequiredFactor(p, loadCase("暴雨工况", 1, true, 0, 1.4), fromTable, missing), 1.4);
    QVERIFY(!fromTable && !missing);
    // A temporary slope has no seismic value in the table: missing, never invented.
    p.permanent = false;
    p.safetyClass = 1;
    QCOMPARE(caseRequiredFactor(p, loadCase("天然工况", 0, false, 0), fromTable, missing), 1.25);
    QVERIFY(std::isnan(caseRequiredFactor(p, loadCase("地震工况", 0, false, 0.05), fromTable, missing)));
    QVERIFY(fromTable && missing);
    QCOMPARE(caseRequiredFactor(p, loadCase("地震工况", 0, false, 0.05, 1.2), fromTable, missing), 1.2);
    QVERIFY(!fromTable && !missing);
    p.seismic = 0.05;
    QVERIFY(std::isnan(requiredFactor(p)));
    // Such a case still gets its factors, but no state above 欠稳定 is
    // claimed as meeting Fst and no anchor force is asked for.
    DataCenter dc;
    setUp(dc, {makePlane(1, 190, 40)});
    dc.stability.permanent = false;
    dc.stability.cases = {loadCase("地震工况", 0, false, 0.1)};
    const StabilityFactors f = computeStabilityFactors(dc);
    QVERIFY(f.cases.first().requiredMissing && std::isnan(f.required));
    QVERIFY(f.planes.first().hasBlock && !f.planes.first().anchor.needed);
    QVERIFY(!meetsRequiredFactor(f.planes.first().fs, f.required));
    QCOMPARE(factorStateWord(1.2, f.required), QStringLiteral("未定（无Fst）"));
    QCOMPARE(factorStateWord(1.02, f.required), QStringLiteral("欠稳定"));
}

void TestLoadCases::searchBoundedByTheBench() {
    // H 20, ψf 60, ψp 20, ψs 25, c 20, φ 15: the upper surface is steeper
    // than the plane, which never reaches it. Without a bench the search
    // stops at the assumed ten slope heights (b = 200 m, Fs 0.836) and says so.
    const PlanarSection open{60, 20, 25, 20};
    const PlanarLoads l{25, 9.81, 20, 15, 0, 0};
    const PlanarResult unbounded = planarFactorCritical(open, l);
    QVERIFY(unbounded.limitAssumed);
    QVERIFY(std::fabs(unbounded.crackLimit - 200) < 1e-9);
    QVERIFY(std::fabs(unbounded.crackDistance - 200) < 1e-3);
    QVERIFY2(std::fabs(unbounded.fs - 0.836) < 5e-4, qPrintable(QString::number(unbounded.fs, 'f', 4)));
    // A bench 30 m behind the crest: the plane reaches it at
    // b = (H + L·tanψs)/tanψp − H·cotψf.
    PlanarSection bench = open;
    bench.upperLength = 30;
    bool assumed = true;
    const double limit = planarCrackLimit(bench, &assumed);
    QVERIFY(!assumed);
    const double expected = (20 + 30 * std::tan(25 * kDeg)) / std::tan(20 * kDeg) - 20 / std::tan(60 * kDeg);
    QVERIFY(std::fabs(limit - expected) < 1e-9);
    const PlanarResult bounded = planarFactorCritical(bench, l);
    QVERIFY(!bounded.limitAssumed && bounded.crackDistance <= limit);
    // Behind the bench the block loses the wedge of the upper slope above
    // the bench's level: W by the polygon toe–crest–bench edge–crack.
    const double b = 40;
    const PlanarResult at = planarFactorAt(bench, l, b);
    const double cotF = 1 / std::tan(60 * kDeg);
    const double xs[] = {0, 20 * cotF, 20 * cotF + 30, 20 * cotF + b, 20 * cotF + b};
    const double ys[] = {0, 20, 20 + 30 * std::tan(25 * kDeg), 20 + 30 * std::tan(25 * kDeg),
                         (20 * cotF + b) * std::tan(20 * kDeg)};
    double area = 0;
    for (int i = 0; i < 5; ++i)
        area += xs[i] * ys[(i + 1) % 5] - xs[(i + 1) % 5] * ys[i];
    QVERIFY(std::fabs(at.weight - 25 * std::fabs(area) / 2) < 1e-9 * at.weight);
    QVERIFY(std::fabs(at.crackDepth - (ys[3] - ys[4])) < 1e-9);
    // Before the bench nothing changes.
    QCOMPARE(planarFactorAt(bench, l, 10).fs, planarFactorAt(open, l, 10).fs);
}

void TestLoadCases::anchorsOfTheProject() {
    DataCenter dc;
    setUp(dc, {makePlane(1, 180, 40), makePlane(2, 140, 50), makePlane(3, 230, 45)}, 27);
    dc.stability.planes[1] = {10, 30};
    StabilityFactors f = computeStabilityFactors(dc);
    const PlanarFactor bare = f.planes.first();
    QVERIFY(bare.fs < 1.3 && bare.anchor.needed && bare.anchor.reachable && bare.anchor.required > 0);
    QCOMPARE(bare.anchor.inclination, 15.0); // the default inclination
    QVERIFY(bare.anchor.bestFound && bare.anchor.bestForce <= bare.anchor.required);
    // Giving that anchor brings the block to Fst and asks for nothing more.
    dc.stability.planeAnchors[1] = BlockAnchor{bare.anchor.required, 15, false, 0};
    f = computeStabilityFactors(dc);
    QVERIFY2(std::fabs(f.planes.first().fs - 1.3) < 1e-6,
             qPrintable(QString::number(f.planes.first().fs, 'f', 8)));
    QCOMPARE(f.planes.first().anchor.force, bare.anchor.required);
    // A wedge's anchor is found by its planes' ids, either way round.
    int w23 = -1;
    for (int i = 0; i < f.wedges.size(); ++i)
        if (f.wedges[i].planeA == 2 && f.wedges[i].planeB == 3)
            w23 = i;
    QVERIFY(w23 >= 0);
    const WedgeFactor wedge = f.wedges[w23];
    dc.stability.wedgeAnchors[wedgeKey(3, 2)] = BlockAnchor{500, 10, false, 0};
    f = computeStabilityFactors(dc);
    QCOMPARE(f.wedges[w23].anchor.force, 500.0);
    QVERIFY(f.wedges[w23].fs > wedge.fs);
    QVERIFY(std::fabs(f.wedges[w23].anchor.bearing - dc.wedges.at(wedge.index).direction) < 1e-6);
}

void TestLoadCases::rangesOfTheNewInputs() {
    DataCenter dc;
    setUp(dc, {makePlane(1, 190, 35)});
    const StabilityParams good = dc.stability;
    QVERIFY(isValidStabilityParams(good, 60));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto refused = [&](const StabilityParams& p) {
        dc.stability = p;
        return !isValidStabilityParams(p, 60) && computeStabilityFactors(dc).planes.isEmpty();
    };
    StabilityParams p = good;
    for (double v : {-1.0, 20000.0, nan}) {
        p = good;
        p.upperLength = v;
        QVERIFY(refused(p));
    }
    const LoadCase bad[] = {loadCase("a", 1.5, false, 0),    loadCase("a", -0.1, false, 0),
                            loadCase("a", 0, false, 0.6),    loadCase("a", nan, false, 0),
                            loadCase("a", 0, false, 0, 1.2), // below the table's 1.30
                            loadCase("a", 0, false, 0, 6),   loadCase(QString(50, QChar('x')), 0, false, 0)};
    for (const LoadCase& c : bad) {
        p = good;
        p.cases = {c};
        QVERIFY(refused(p));
    }
    p = good;
    p.cases = {loadCase("a", 0, false, 0, 1.4), loadCase("b", 1, true, 0.1, 1.1)};
    QVERIFY(isValidStabilityParams(p, 60));
    const BlockAnchor anchors[] = {{-1, 15, false, 0},
                                   {2e5, 15, false, 0},
                                   {10, 90, false, 0},
                                   {10, -90, false, 0},
                                   {10, nan, false, 0}};
    for (const BlockAnchor& a : anchors) {
        p = good;
        p.planeAnchors[1] = a;
        QVERIFY(refused(p));
    }
    p = good;
    p.wedgeAnchors[wedgeKey(1, 2)] = BlockAnchor{10, 15, true, 360};
    QVERIFY(refused(p));
    // The message names the anchor's field and its range.
    const QList<ParamProblem> problems = stabilityParamProblems(p, 60);
    QCOMPARE(problems.size(), 1);
    QVERIFY(problems.first().element == QLatin1String("Anchor") &&
            problems.first().attribute == QLatin1String("bearing"));
    p.wedgeAnchors[wedgeKey(1, 2)] = BlockAnchor{2e6, 15, false, 0};
    QVERIFY(refused(p));
    p.wedgeAnchors[wedgeKey(1, 2)] = BlockAnchor{9e5, -30, true, 359};
    QVERIFY(isValidStabilityParams(p, 60));
}

QTEST_GUILESS_MAIN(TestLoadCases)
#include "test_loadcases.moc"
