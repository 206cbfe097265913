// Anchored blocks and the anchor force that brings a block to Fst: the
// published bolted example, the closed form against a plain search, the
// least-force inclination against its closed form, and the wedge's solved
// force against its own equilibrium.
#include "model/factors/anchorforce.h"
#include "model/factors/planarsliding.h"
#include "model/factors/wedgesliding.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

namespace {
constexpr double kDeg = 0.017453292519943295;

// Hoek & Bray's block (Rock Slope Engineering, 3rd ed., 1981, ch. 7,
// pp. 150-154): H 30 m, ψf 60°, ψp 30°, horizontal top, crack 9 m behind the
// crest, γ 25.5, γw 9.81, c 48 kPa, φ 30°.
const PlanarSection kBlock{60, 30, 0, 30};
PlanarLoads blockLoads(double crackWater, double anchor, double inclination) {
    PlanarLoads l{25.5, 9.81, 48, 30, crackWater, 0};
    l.anchorForce = anchor;
    l.anchorInclination = inclination;
    return l;
}

// The force that gives `required`, by bisection on the factor itself.
double bisectPlanar(const PlanarSection& s, PlanarLoads l, double b, double required) {
    double lo = 0, hi = 1;
    const auto meets = [&](double t) {
        l.anchorForce = t;
        const PlanarResult r = planarFactorAt(s, l, b);
        return r.status == PlanarStatus::NoDrivingForce ||
               (r.status == PlanarStatus::Block && r.fs >= required);
    };
    while (!meets(hi))
        hi *= 2;
    for (int i = 0; i < 200; ++i)
        (meets(0.5 * (lo + hi)) ? hi : lo) = 0.5 * (lo + hi);
    return hi;
}

double uniform(QRandomGenerator& g, double lo, double hi) {
    return lo + (hi - lo) * g.generateDouble();
}
} // namespace

class TestAnchorForce : public QObject {
    Q_OBJECT
private slots:
    void publishedBoltedBlock();
    void planarRequiredForceAgainstBisection();
    void planarLeastForceInclination();
    void planarCriticalCrackWithAnchor();
    void liftedBlockNeedsTheAnchorToPressIt();
    void wedgeRequiredForceMeetsFst();
    void wedgeLeastForceInclination();
};

void TestAnchorForce::publishedBoltedBlock() {
    // The same block reinforced with T = 1000 kN/m, the bolts dipping 24°
    // (ψT; Hoek & Bray 1981, ch. 7, pp. 150-154, as reproduced in the
    // MatterCliff 1 help of CREALP, "Plane failure model (2D)", example
    // "idem with brb = 24°, T = 1000"): printed F = 1.000 with the crack
    // full. (The same reproduction prints 1.695 for the drained block; the
    // anchored equation gives 1.642 there at ψT = 24°, and no inclination
    // gives both printed values at once, so only the full crack is checked.)
    const PlanarResult full = planarFactorAt(kBlock, blockLoads(1, 1000, 24), 9);
    QCOMPARE(full.status, PlanarStatus::Block);
    QVERIFY2(std::fabs(full.fs - 1.000) < 5e-4, qPrintable(QString::number(full.fs, 'f', 5)));
    // Without the bolts the printed 0.794 (full) and 1.347 (drained) stand.
    QVERIFY(std::fabs(planarFactorAt(kBlock, blockLoads(1, 0, 24), 9).fs - 0.794) < 5e-4);
    QVERIFY(std::fabs(planarFactorAt(kBlock, blockLoads(0, 0, 24), 9).fs - 1.347) < 5e-4);
}

void TestAnchorForce::planarRequiredForceAgainstBisection() {
    // Closed form against a bisection on the factor, on random blocks.
    QRandomGenerator g(4);
    int checked = 0;
    for (int i = 0; i < 400; ++i) {
        const double face = uniform(g, 40, 85);
        const PlanarSection s{face, uniform(g, 15, face - 5), uniform(g, 0, 10), uniform(g, 5, 60)};
        PlanarLoads l{uniform(g, 20, 27), 9.81,
                      uniform(g, 0, 40),  uniform(g, 10, 40),
                      uniform(g, 0, 1),   g.bounded(2) ? 0.0 : uniform(g, 0, 0.2)};
        l.anchorInclination = uniform(g, -10, 45);
        const double b = uniform(g, 0, 0.9) * planarCrackLimit(s);
        const double required = uniform(g, 1.05, 1.5);
        const RequiredAnchor a = planarRequiredAnchorAt(s, l, b, required);
        const PlanarResult r = planarFactorAt(s, l, b);
        if (r.status != PlanarStatus::Block)
            continue;
        if (!a.reachable) {
            // Only an anchor pushing the block down the plane (ψp + ψT past
            // the angle where it stops helping) or lifting it reaches nothing.
            const double x = (s.planeDip + l.anchorInclination) * kDeg;
            QVERIFY(required * std::cos(x) + std::tan(l.friction * kDeg) * std::sin(x) <= 0 || x < 0);
            continue;
        }
        const double expected = r.fs >= required ? 0 : bisectPlanar(s, l, b, required);
        QVERIFY2(std::fabs(a.force - expected) < 1e-6 * std::max(1.0, expected),
                 qPrintable(QStringLiteral("%1: %2 vs %3").arg(i).arg(a.force).arg(expected)));
        if (a.force > 0) {
            // Fst exactly, unless the force is set by pressing a lifted
            // block back on (then the factor is higher and N is nil).
            l.anchorForce = a.force;
            const PlanarResult held = planarFactorAt(s, l, b);
            QVERIFY(held.fs >= required - 1e-6);
            QVERIFY(std::fabs(held.fs - required) < 1e-6 || held.normalForce < 1e-6 * held.weight);
        }
        ++checked;
    }
    QVERIFY(checked > 200);
}

void TestAnchorForce::planarLeastForceInclination() {
    // Without lifting the force T = (Fst·D − cA − N·tanφ)/(Fst·cos x +
    // tanφ·sin x) is least where the denominator is largest: tan x =
    // tanφ/Fst, i.e. ψT = arctan(tanφ/Fst) − ψp, whatever the block.
    for (double fst : {1.15, 1.30, 1.5}) {
        const PlanarLoads l = blockLoads(1, 0, 0);
        double psiT = 0, force = 0;
        QVERIFY(planarLeastAnchor(kBlock, l, fst, false, 9, psiT, force));
        const double expected = std::atan(std::tan(30 * kDeg) / fst) / kDeg - 30;
        QVERIFY2(std::fabs(psiT - expected) < 1e-3, qPrintable(QString::number(psiT)));
        PlanarLoads at = l;
        at.anchorInclination = expected;
        QVERIFY(std::fabs(force - planarRequiredAnchorAt(kBlock, at, 9, fst).force) < 1e-6 * force);
        for (double off : {-5.0, 5.0}) {
            at.anchorInclination = expected + off;
            QVERIFY(planarRequiredAnchorAt(kBlock, at, 9, fst).force > force);
        }
        // No inclination asks for less, at the crack given or the critical one.
        for (int deg = -80; deg <= 80; deg += 2) {
            at.anchorInclination = deg;
            const RequiredAnchor a = planarRequiredAnchorAt(kBlock, at, 9, fst);
            QVERIFY(!a.reachable || a.force >= force * (1 - 1e-9));
        }
        double critical = 0, criticalForce = 0;
        QVERIFY(planarLeastAnchor(kBlock, l, fst, true, 0, critical, criticalForce));
        QVERIFY(std::fabs(critical - expected) < 1e-9);
        for (int deg = -80; deg <= 80; deg += 2) {
            at.anchorInclination = deg;
            const RequiredAnchor a = planarRequiredAnchor(kBlock, at, fst, true, 0);
            QVERIFY(!a.reachable || a.force >= criticalForce * (1 - 1e-9));
        }
    }
}

void TestAnchorForce::planarCriticalCrackWithAnchor() {
    // With the crack at the critical position the anchor must hold every
    // block the crack can cut off: the force is the largest over b, and the
    // anchored block's lowest factor over b is then Fst.
    const PlanarSection s{60, 35, 0, 20};
    PlanarLoads l{25, 9.81, 10, 30, 1, 0.1};
    l.anchorInclination = 15;
    const RequiredAnchor a = planarRequiredAnchor(s, l, 1.3, true, 0);
    QVERIFY(a.reachable && a.force > 0);
    for (int i = 0; i <= 50; ++i) {
        const double b = planarCrackLimit(s) * i / 51;
        QVERIFY(planarRequiredAnchorAt(s, l, b, 1.3).force <= a.force * (1 + 1e-9));
    }
    l.anchorForce = a.force;
    QVERIFY2(std::fabs(planarFactorCritical(s, l).fs - 1.3) < 1e-6,
             qPrintable(QString::number(planarFactorCritical(s, l).fs, 'f', 9)));
}

void TestAnchorForce::liftedBlockNeedsTheAnchorToPressIt() {
    // A thin block at the crest with the crack full and a seismic load: the
    // water lifts it off the plane. It then has no strength at all (Fs 0,
    // friction and cohesion both lost), and the anchor must at least press
    // it back on.
    const PlanarSection s{70, 40, 0, 10};
    PlanarLoads l{20, 9.81, 20, 30, 1, 0.2};
    const PlanarResult lifted = planarFactorAt(s, l, 0);
    QCOMPARE(lifted.status, PlanarStatus::Block);
    QVERIFY(lifted.lifted);
    QCOMPARE(lifted.fs, 0.0);
    QCOMPARE(lifted.normalForce, 0.0);
    l.anchorInclination = 20;
    const RequiredAnchor a = planarRequiredAnchorAt(s, l, 0, 1.2);
    QVERIFY(a.reachable);
    l.anchorForce = a.force;
    const PlanarResult held = planarFactorAt(s, l, 0);
    QVERIFY(!held.lifted && held.fs >= 1.2 - 1e-9);
    QVERIFY(std::fabs(a.force - bisectPlanar(s, l, 0, 1.2)) < 1e-6 * a.force);
    // Where water lifts the block the least force is searched for: no
    // sampled inclination asks for less.
    double psiT = 0, least = 0;
    QVERIFY(planarLeastAnchor(s, l, 1.2, false, 0, psiT, least));
    for (int deg = -80; deg <= 80; deg += 2) {
        l.anchorInclination = deg;
        const RequiredAnchor at = planarRequiredAnchorAt(s, l, 0, 1.2);
        QVERIFY(!at.reachable || at.force >= least * (1 - 1e-9));
    }
    // An anchor pointing up off the plane's normal only lifts it more.
    l.anchorInclination = -60;
    QVERIFY(!planarRequiredAnchorAt(s, l, 0, 1.2).reachable);
}

void TestAnchorForce::wedgeRequiredForceMeetsFst() {
    // The solved force gives Fst within the bisection's tolerance, and a
    // slightly smaller force does not, on random wedges and anchors.
    QRandomGenerator g(7);
    int solved = 0;
    for (int i = 0; i < 300 && solved < 60; ++i) {
        const double faceDip = uniform(g, 50, 80);
        const WedgeGeometry geometry{upwardNormal(uniform(g, 120, 170), uniform(g, 35, 75)),
                                     upwardNormal(uniform(g, 190, 240), uniform(g, 35, 75)),
                                     upwardNormal(180, faceDip), upwardNormal(180, uniform(g, 0, 10)),
                                     uniform(g, 10, 40)};
        WedgeLoads l{25,
                     9.81,
                     uniform(g, 0, 20),
                     uniform(g, 15, 35),
                     uniform(g, 0, 20),
                     uniform(g, 15, 35),
                     g.bounded(2) == 1,
                     g.bounded(2) ? 0.0 : 0.1};
        l.anchorInclination = uniform(g, -10, 40);
        const WedgeResult bare = wedgeFactor(geometry, l);
        if (bare.status != WedgeStatus::Wedge || bare.fs >= 1.3)
            continue;
        const RequiredAnchor a = wedgeRequiredAnchor(geometry, l, 1.3);
        if (!a.reachable) {
            // Only when even a force ten thousand times the weight at this
            // inclination leaves the wedge below Fst.
            l.anchorForce = 1e4 * bare.weight;
            QVERIFY(wedgeFactor(geometry, l).fs < 1.3);
            continue;
        }
        l.anchorForce = a.force;
        const WedgeResult held = wedgeFactor(geometry, l);
        QVERIFY(held.status == WedgeStatus::NoDrivingForce || held.fs >= 1.3);
        if (held.status == WedgeStatus::Wedge && held.mode == bare.mode)
            QVERIFY2(std::fabs(held.fs - 1.3) < 1e-6, qPrintable(QString::number(held.fs, 'f', 9)));
        l.anchorForce = a.force * (1 - 1e-6);
        QVERIFY(wedgeFactor(geometry, l).fs < 1.3);
        ++solved;
    }
    QVERIFY(solved >= 30);
}

void TestAnchorForce::wedgeLeastForceInclination() {
    // The least force over the inclinations is no more than at any sampled
    // inclination, and the bearing defaults to the line's trend: for a
    // symmetric wedge (line 180), an anchor bearing 180 is the default.
    const WedgeGeometry geometry{upwardNormal(140, 55), upwardNormal(220, 55), upwardNormal(180, 65),
                                 upwardNormal(180, 0), 20};
    WedgeLoads l{25, 9.81, 5, 25, 5, 25, true, 0};
    const WedgeResult bare = wedgeFactor(geometry, l);
    QVERIFY(std::fabs(bare.anchorBearing - 180) < 1e-9);
    double psiT = 0, least = 0;
    QVERIFY(wedgeLeastAnchor(geometry, l, 1.3, psiT, least));
    for (int deg = -80; deg <= 80; deg += 4) {
        l.anchorInclination = deg;
        const RequiredAnchor a = wedgeRequiredAnchor(geometry, l, 1.3);
        QVERIFY2(!a.reachable || a.force >= least * (1 - 1e-6),
                 qPrintable(QStringLiteral("%1: %2 < %3 at %4").arg(deg).arg(a.force).arg(least).arg(psiT)));
    }
    // A symmetric wedge sliding on both planes is a planar block on a plane
    // of the line's plunge with friction k·tanφ, k = √(2/(1 + nA·nB)) the
    // wedge factor (Hoek & Bray 1981, ch. 8): the anchor in the line's
    // vertical plane needs the least force where tan(plunge + ψT) =
    // k·tanφ/Fst, as for the planar block.
    const double plunge = -std::asin(bare.line[2]) / kDeg;
    const double m = bare.inA[0] * bare.inB[0] + bare.inA[1] * bare.inB[1] + bare.inA[2] * bare.inB[2];
    const double k = std::sqrt(2 / (1 + m));
    const double expected = std::atan(k * std::tan(25 * kDeg) / 1.3) / kDeg - plunge;
    QVERIFY2(std::fabs(psiT - expected) < 1e-3,
             qPrintable(QStringLiteral("%1 vs %2").arg(psiT).arg(expected)));
    l.anchorBearingGiven = true;
    l.anchorBearing = 180;
    l.anchorInclination = psiT;
    QVERIFY(std::fabs(wedgeRequiredAnchor(geometry, l, 1.3).force - least) < 1e-6 * least);
}

QTEST_GUILESS_MAIN(TestAnchorForce)
#include "test_anchorforce.moc"
