// Wedge contact: the mode the forces allow (both planes, one plane, none),
// on the issue's example, a geometry for each mode and many random wedges
// checked against a second, plainer formulation of each mode.
#include "model/datacenter.h"
#include "model/factors/stabilityfactors.h"
#include "model/factors/wedgesliding.h"
#include "tests/common/testplanes.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

namespace {
constexpr double kDeg = 0.017453292519943295;

Vec3 add(const Vec3& a, const Vec3& b) {
    return {{a[0] + b[0], a[1] + b[1], a[2] + b[2]}};
}
Vec3 mul(const Vec3& a, double k) {
    return {{a[0] * k, a[1] * k, a[2] * k}};
}
double dotOf(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec3 crossOf(const Vec3& a, const Vec3& b) {
    return {{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}};
}
double norm(const Vec3& a) {
    return std::sqrt(dotOf(a, a));
}

// A plainer formulation of each mode, from the free-body of the wedge:
// - both planes: solve R + NA·nA + NB·nB − S·l = 0 for NA, NB and the shear
//   S along the line l as a 3×3 system (Cramer), possible when NA, NB ≥ 0;
// - one plane n: the part of R lying in it is n × (R × n); the reaction is
//   what is left, possible when it pushes the wedge onto n and the motion
//   does not run into the other plane m (motion·m ≥ 0, m pointing into the
//   wedge).
struct Plain {
    bool possible = false;
    double fs = 0;
};

double det3(const Vec3& a, const Vec3& b, const Vec3& c) {
    return dotOf(a, crossOf(b, c));
}

Plain plainBoth(const WedgeResult& w, const WedgeLoads& l) {
    const Vec3 rhs = mul(w.resultant, -1);
    const Vec3 minusLine = mul(w.line, -1);
    const double d = det3(w.inA, w.inB, minusLine);
    const double na = det3(rhs, w.inB, minusLine) / d;
    const double nb = det3(w.inA, rhs, minusLine) / d;
    const double shear = det3(w.inA, w.inB, rhs) / d;
    Plain p;
    p.possible = na >= -1e-9 * w.weight && nb >= -1e-9 * w.weight;
    p.fs = (na * std::tan(l.frictionA * kDeg) + nb * std::tan(l.frictionB * kDeg) + l.cohesionA * w.areaA +
            l.cohesionB * w.areaB) /
           shear;
    return p;
}

Plain plainSingle(const WedgeResult& w, const WedgeLoads& l, bool onA) {
    const Vec3& n = onA ? w.inA : w.inB;
    const Vec3& m = onA ? w.inB : w.inA;
    const Vec3 inPlane = crossOf(n, crossOf(w.resultant, n));
    const Vec3 pressing = add(w.resultant, mul(inPlane, -1)); // the part of R along n
    const double normal = -dotOf(pressing, n);
    Plain p;
    p.possible = normal > 1e-9 * w.weight && dotOf(inPlane, m) >= -1e-9 * w.weight;
    p.fs = ((onA ? l.cohesionA * w.areaA : l.cohesionB * w.areaB) +
            normal * std::tan((onA ? l.frictionA : l.frictionB) * kDeg)) /
           norm(inPlane);
    return p;
}

double uniform(QRandomGenerator& g, double lo, double hi) {
    return lo + (hi - lo) * g.generateDouble();
}

// The issue's slope: face 180∠62, plane 1 182∠50, plane 2 233∠34, H 20 m,
// horizontal top, dry, no seismic load, equal strengths on both planes.
WedgeFactor issueWedge(double cohesion) {
    DataCenter dc;
    dc.slope.direction = 180;
    dc.slope.angle = 62;
    dc.slope.calculated = false;
    dc.updateSlopeGeometry();
    dc.IncludedAnglePlanar = 30;
    dc.FrictionAnglePlanar = 30;
    dc.planes = {makePlane(1, 182, 50), makePlane(2, 233, 34)};
    dc.analysisOff = false;
    dc.stability.present = dc.stability.enabled = true;
    dc.stability.height = 20;
    dc.stability.planes[1] = {cohesion, 30};
    dc.stability.planes[2] = {cohesion, 30};
    dc.analyse();
    const StabilityFactors f = computeStabilityFactors(dc);
    return f.wedges.size() == 1 ? f.wedges.first() : WedgeFactor();
}
} // namespace

class TestWedgeContact : public QObject {
    Q_OBJECT
private slots:
    void issueExampleSlidesOnPlaneOne();
    void oneGeometryForEachMode();
    void randomWedgesTakeTheModeTheForcesAllow();
};

void TestWedgeContact::issueExampleSlidesOnPlaneOne() {
    // Both reactions of the two-plane solution are negative, yet the weight
    // presses the wedge onto plane 1, and sliding straight down plane 1
    // (dip 50°) leaves plane 2 behind: Fs = tan30°/tan50° = 0.484 without
    // cohesion, and about 2.47 with c = 50 kPa on both planes.
    const WedgeFactor dry = issueWedge(0);
    QVERIFY(dry.hasBlock);
    QCOMPARE(dry.mode, WedgeMode::OnA);
    QCOMPARE(dry.planeA, 1);
    QVERIFY(std::fabs(dry.fs - std::tan(30 * kDeg) / std::tan(50 * kDeg)) < 1e-9);
    QCOMPARE(QString::number(dry.fs, 'f', 2), QStringLiteral("0.48"));
    QCOMPARE(factorStateWord(dry.fs, 1.30), QStringLiteral("不稳定"));
    QCOMPARE(dry.normalB, 0.0);
    QVERIFY(std::fabs(dry.normalA - dry.weight * std::cos(50 * kDeg)) < 1e-9 * dry.weight);

    const WedgeFactor cohesive = issueWedge(50);
    QCOMPARE(cohesive.mode, WedgeMode::OnA);
    QVERIFY2(std::fabs(cohesive.fs - 2.47) < 0.005, qPrintable(QString::number(cohesive.fs)));
    QVERIFY(std::fabs(cohesive.fs -
                      (50 * cohesive.areaA + cohesive.weight * std::cos(50 * kDeg) * std::tan(30 * kDeg)) /
                          (cohesive.weight * std::sin(50 * kDeg))) < 1e-9);
    QCOMPARE(factorStateWord(cohesive.fs, 1.30), QStringLiteral("稳定"));
}

void TestWedgeContact::oneGeometryForEachMode() {
    const Vec3 face = upwardNormal(180, 60), top = upwardNormal(180, 0);
    const WedgeLoads dry{25, 9.81, 10, 30, 10, 30, false, 0};
    // A symmetric wedge rests on both planes.
    const WedgeResult both = wedgeFactor({upwardNormal(140, 55), upwardNormal(220, 55), face, top, 20}, dry);
    QCOMPARE(both.mode, WedgeMode::Both);
    QVERIFY(both.normalA > 0 && both.normalB > 0);
    QVERIFY(std::fabs(both.normalA - both.normalB) < 1e-9 * both.weight);
    // The issue's pair, either way round: on the steeper plane alone.
    const Vec3 steep = upwardNormal(182, 50), flat = upwardNormal(233, 34);
    const WedgeResult onA = wedgeFactor({steep, flat, upwardNormal(180, 62), top, 20}, dry);
    const WedgeResult onB = wedgeFactor({flat, steep, upwardNormal(180, 62), top, 20}, dry);
    QCOMPARE(onA.mode, WedgeMode::OnA);
    QCOMPARE(onB.mode, WedgeMode::OnB);
    QVERIFY(std::fabs(onA.fs - onB.fs) < 1e-12);
    // An anchor without a bearing holds the wedge back along its motion:
    // the line's trend on both planes, the dip direction of the one plane.
    QVERIFY(std::fabs(both.anchorBearing - 180) < 1e-9);
    QVERIFY(std::fabs(onA.anchorBearing - 182) < 1e-9 && std::fabs(onB.anchorBearing - 182) < 1e-9);
    // Water lifting the wedge off both planes: none, Fs = 0.
    const WedgeResult none = wedgeFactor({upwardNormal(140, 55), upwardNormal(220, 55), face, top, 20},
                                         WedgeLoads{2, 1.9, 10, 30, 10, 30, true, 0});
    QCOMPARE(none.mode, WedgeMode::NoContact);
    QCOMPARE(none.fs, 0.0);
    QVERIFY(!wedgeModeFactor(none, dry, WedgeMode::Both).consistent);
    QVERIFY(wedgeModeFactor(none, dry, WedgeMode::NoContact).consistent);
    // Each mode's check agrees with the mode chosen.
    QVERIFY(wedgeModeFactor(both, dry, WedgeMode::Both).consistent);
    QVERIFY(!wedgeModeFactor(both, dry, WedgeMode::NoContact).consistent);
    QVERIFY(wedgeModeFactor(onA, dry, WedgeMode::OnA).consistent);
    QVERIFY(!wedgeModeFactor(onA, dry, WedgeMode::Both).consistent);
}

void TestWedgeContact::randomWedgesTakeTheModeTheForcesAllow() {
    QRandomGenerator g(19);
    int counted[4] = {0, 0, 0, 0};
    int twoSingles = 0;
    for (int i = 0; i < 20000; ++i) {
        const double faceDip = uniform(g, 35, 85);
        WedgeGeometry geometry{upwardNormal(uniform(g, 0, 360), uniform(g, 5, 89)),
                               upwardNormal(uniform(g, 0, 360), uniform(g, 5, 89)),
                               upwardNormal(180, faceDip), upwardNormal(180, uniform(g, 0, faceDip - 5)),
                               uniform(g, 5, 50)};
        WedgeLoads l;
        l.unitWeight = uniform(g, 20, 28);
        l.waterWeight = 9.81;
        l.cohesionA = g.bounded(3) == 0 ? 0 : uniform(g, 0, 80);
        l.cohesionB = g.bounded(3) == 0 ? 0 : uniform(g, 0, 80);
        l.frictionA = uniform(g, 0, 50);
        l.frictionB = uniform(g, 0, 50);
        l.saturated = g.bounded(2) == 1;
        l.seismic = g.bounded(2) == 1 ? uniform(g, 0, 0.3) : 0;
        if (g.bounded(3) == 0) {
            l.anchorForce = uniform(g, 0, 3000);
            l.anchorInclination = uniform(g, -30, 60);
        }
        const WedgeResult r = wedgeFactor(geometry, l);
        if (r.status != WedgeStatus::Wedge)
            continue;
        ++counted[int(r.mode)];
        const Plain both = plainBoth(r, l), onA = plainSingle(r, l, true), onB = plainSingle(r, l, false);
        const QString where = QStringLiteral("case %1").arg(i);
        switch (r.mode) {
        case WedgeMode::Both:
            QVERIFY2(both.possible, qPrintable(where));
            QVERIFY2(std::fabs(r.fs - both.fs) < 1e-7 * std::max(1.0, both.fs), qPrintable(where));
            break;
        case WedgeMode::OnA:
        case WedgeMode::OnB: {
            const Plain& chosen = r.mode == WedgeMode::OnA ? onA : onB;
            const Plain& other = r.mode == WedgeMode::OnA ? onB : onA;
            QVERIFY2(chosen.possible && !both.possible, qPrintable(where));
            QVERIFY2(std::fabs(r.fs - chosen.fs) < 1e-7 * std::max(1.0, chosen.fs), qPrintable(where));
            // No possible mode gives a lower factor; in fact the other
            // plane alone is never possible as well: with NA, NB ≤ 0 and R
            // pressing on both, NA + m·NB > 0 and NB + m·NA > 0 would need
            // |m| > 1 (m = nA·nB). The modes partition the forces.
            QVERIFY2(!other.possible || r.fs <= other.fs + 1e-9, qPrintable(where));
            twoSingles += other.possible;
            break;
        }
        case WedgeMode::NoContact:
            QVERIFY2(!both.possible && !onA.possible && !onB.possible, qPrintable(where));
            QCOMPARE(r.fs, 0.0);
            break;
        }
        // Equilibrium of the chosen mode: reactions, resultant and the
        // mobilised shear add up to nothing.
        if (r.mode != WedgeMode::NoContact) {
            const WedgeModeCheck c = wedgeModeFactor(r, l, r.mode);
            const Vec3 rest = add(add(r.resultant, add(mul(r.inA, r.normalA), mul(r.inB, r.normalB))),
                                  mul(c.direction, -r.drivingForce));
            QVERIFY2(norm(rest) < 1e-8 * std::max(1.0, r.weight), qPrintable(where));
        }
    }
    // The sample reaches every mode.
    for (int n : counted)
        QVERIFY2(n > 50, qPrintable(QString::number(n)));
    QCOMPARE(twoSingles, 0);
}

QTEST_GUILESS_MAIN(TestWedgeContact)
#include "test_wedgecontact.moc"
