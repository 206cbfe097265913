// The range of every factor-of-safety input, and no verdict from a working
// that is not finite.
#include "model/datacenter.h"
#include "model/factors/stabilityproblems.h"
#include "tests/common/testplanes.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>

class TestStabilityInputs : public QObject {
    Q_OBJECT
private slots:
    void everyBoundIsNamed();
    void notFiniteWorkingGetsAReason();
};

void TestStabilityInputs::everyBoundIsNamed() {
    using Set = std::function<void(StabilityParams&, double)>;
    const double inf = std::numeric_limits<double>::infinity(),
                 nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        const char* attribute;
        Set set;
        QList<double> inside, outside;
    };
    const QList<Row> rows = {
        {"height",
         [](StabilityParams& p, double v) { p.height = v; },
         {1e-6, 2000},
         {0, -1, 2000.001, inf, nan}},
        {"upperDip", [](StabilityParams& p, double v) { p.upperDip = v; }, {0, 59.99}, {-1e-9, 60, nan}},
        {"unitWeight",
         [](StabilityParams& p, double v) { p.unitWeight = v; },
         {9.82, 50},
         {9.81, 50.01, inf}},
        {"waterWeight", [](StabilityParams& p, double v) { p.waterWeight = v; }, {1e-3, 15}, {0, 15.01, nan}},
        {"crackDistance",
         [](StabilityParams& p, double v) { p.crackDistance = v; },
         {0, 10000},
         {-1e-9, 1e4 + 1}},
        {"crackWater",
         [](StabilityParams& p, double v) { p.crackWater = v; },
         {0, 1},
         {-1e-9, 1.0000001, nan}},
        {"seismic", [](StabilityParams& p, double v) { p.seismic = v; }, {0, 0.5}, {0.51, -0.01, inf}},
        {"safetyClass", [](StabilityParams& p, double v) { p.safetyClass = int(v); }, {1, 3}, {0, 4}},
        {"cohesion",
         [](StabilityParams& p, double v) { p.planes[7].cohesion = v; },
         {0, 50000},
         {-1, 5e4 + 1, nan}},
        {"friction",
         [](StabilityParams& p, double v) { p.planes[7].friction = v; },
         {0, 89.9},
         {90, -1, nan}},
    };
    StabilityParams good;
    good.upperDip = 10;
    good.planes[7] = PlaneStrength{10, 30};
    QVERIFY(stabilityParamProblems(good, 60).isEmpty());
    for (const Row& row : rows) {
        for (double v : row.inside) {
            StabilityParams p = good;
            row.set(p, v);
            QVERIFY2(stabilityParamProblems(p, 60).isEmpty(),
                     qPrintable(QStringLiteral("%1 %2").arg(row.attribute).arg(v)));
        }
        for (double v : row.outside) {
            StabilityParams p = good;
            row.set(p, v);
            const QList<ParamProblem> problems = stabilityParamProblems(p, 60);
            QVERIFY2(problems.size() == 1 && problems.at(0).attribute == QLatin1String(row.attribute),
                     qPrintable(QStringLiteral("%1 %2").arg(row.attribute).arg(v)));
            const QString text = paramProblemText(problems.at(0));
            QVERIFY(text.contains(QLatin1String(row.attribute)) && text.contains(problems.at(0).range) &&
                    !problems.at(0).label.isEmpty());
            if (problems.at(0).element == QLatin1String("Plane"))
                QVERIFY(problems.at(0).planeId == 7 && text.contains(QStringLiteral("id=\"7\"")));
        }
    }
    // A face dip that is not a number leaves no upper dip acceptable.
    QCOMPARE(stabilityParamProblems(good, nan).size(), 1);
    // Several problems come in the order of the element's attributes.
    StabilityParams bad = good;
    bad.seismic = 0.6;
    bad.height = 0;
    const QList<ParamProblem> both = stabilityParamProblems(bad, 60);
    QCOMPARE(both.size(), 2);
    QCOMPARE(both.at(0).attribute, QStringLiteral("height"));
    QVERIFY(paramProblemsText(both).contains(paramProblemText(both.at(1))));
}

void TestStabilityInputs::notFiniteWorkingGetsAReason() {
    // Every working value that is not finite withdraws the verdict.
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    PlanarFactor good;
    good.hasBlock = true;
    good.fs = 1.2;
    PlanarFactor kept = good;
    QVERIFY(keepFiniteBlock(kept) && kept.hasBlock && kept.reason.isEmpty());
    for (double PlanarFactor::*field : {&PlanarFactor::fs, &PlanarFactor::weight, &PlanarFactor::length,
                                        &PlanarFactor::crackDepth, &PlanarFactor::normalForce}) {
        for (double v : {nan, inf, -inf}) {
            PlanarFactor f = good;
            f.*field = v;
            QVERIFY(!keepFiniteBlock(f) && !f.hasBlock && !f.reason.isEmpty());
        }
    }
    WedgeFactor wedge;
    wedge.hasBlock = true;
    wedge.fs = 0.9;
    WedgeFactor w = wedge;
    QVERIFY(keepFiniteBlock(w) && w.hasBlock);
    for (double WedgeFactor::*field : {&WedgeFactor::fs, &WedgeFactor::volume, &WedgeFactor::wedgeHeight,
                                       &WedgeFactor::normalB, &WedgeFactor::drivingForce}) {
        WedgeFactor f = wedge;
        f.*field = nan;
        QVERIFY(!keepFiniteBlock(f) && !f.hasBlock && !f.reason.isEmpty());
    }
    // A block already without one keeps its own reason.
    WedgeFactor none;
    none.reason = QStringLiteral("x");
    none.fs = nan;
    QVERIFY(!keepFiniteBlock(none) && none.reason == QLatin1String("x"));

    // The largest inputs in range still give finite working everywhere.
    DataCenter dc;
    dc.slope = makePlane(0, 180, 89.9, SlopeFace);
    dc.planes = {makePlane(1, 180, 20), makePlane(2, 140, 30), makePlane(3, 220, 25), makePlane(4, 175, 1)};
    StabilityParams& s = dc.stability;
    s.enabled = true;
    s.height = StabilityBounds::MaxHeight;
    s.unitWeight = StabilityBounds::MaxUnitWeight;
    s.waterWeight = 1e-9;
    s.upperDip = 89.8;
    s.crackWater = 1;
    s.seismic = StabilityBounds::MaxSeismic;
    s.wedgeSaturated = true;
    dc.FrictionAnglePlanar = 0;
    dc.updateSlopeGeometry();
    dc.updatePlanesGeometry();
    dc.analysisOff = false;
    dc.analyse();
    for (bool critical : {true, false}) {
        s.crackCritical = critical;
        s.crackDistance = StabilityBounds::MaxCrackDistance;
        const StabilityFactors factors = computeStabilityFactors(dc);
        QVERIFY(!factors.planes.isEmpty());
        for (const PlanarFactor& f : factors.planes)
            QVERIFY(!f.hasBlock || std::isfinite(f.fs));
        for (const WedgeFactor& f : factors.wedges)
            QVERIFY(!f.hasBlock || std::isfinite(f.fs));
    }
}

QTEST_GUILESS_MAIN(TestStabilityInputs)
#include "test_stabilityinputs.moc"
