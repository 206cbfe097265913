// Factors of safety: the planar and wedge solvers against published examples
// and independent solutions, and the project-level gathering.
#include "model/datacenter.h"
#include "model/factors/planarsliding.h"
#include "model/factors/stabilityfactors.h"
#include "model/factors/wedgesliding.h"
#include "tests/common/testplanes.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <utility>

namespace {
constexpr double kDeg = 0.017453292519943295;

Vec3 crossOf(const Vec3& a, const Vec3& b) {
    return {{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}};
}
double dotOf(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec3 unit(const Vec3& a) {
    const double n = std::sqrt(dotOf(a, a));
    return {{a[0] / n, a[1] / n, a[2] / n}};
}
double sinBetween(const Vec3& a, const Vec3& b) {
    const Vec3 c = crossOf(unit(a), unit(b));
    return std::sqrt(dotOf(c, c));
}

// Hoek & Bray's short solution for a wedge of height H (Rock Slope
// Engineering, 3rd ed., 1981, ch. 8, "short solution"; also Wyllie & Mah,
// Rock Slope Engineering, 4th ed., 2004, ch. 7), its angles taken from the
// vectors of lines 1..5 = A∩face, B∩face, A∩upper, B∩upper, A∩B.
struct ShortSolution {
    double X, Y, A, B;
    double fs(double H, double gamma, double gammaW, double ca, double fa, double cb, double fb,
              bool saturated) const {
        const double w = saturated ? gammaW / (2 * gamma) : 0;
        return 3 / (gamma * H) * (ca * X + cb * Y) + (A - w * X) * std::tan(fa * kDeg) +
               (B - w * Y) * std::tan(fb * kDeg);
    }
};

ShortSolution shortSolution(const Vec3& nA, const Vec3& nB, const Vec3& nF, const Vec3& nU) {
    const Vec3 l1 = crossOf(nA, nF), l2 = crossOf(nB, nF), l3 = crossOf(nA, nU), l4 = crossOf(nB, nU),
               l5 = crossOf(nA, nB);
    ShortSolution s;
    s.X = sinBetween(l2, l4) / (sinBetween(l4, l5) * std::fabs(dotOf(unit(l2), nA)));
    s.Y = sinBetween(l1, l3) / (sinBetween(l3, l5) * std::fabs(dotOf(unit(l1), nB)));
    const double cosAB = dotOf(nA, nB), sin5 = std::fabs(unit(l5)[2]);
    const double d = sin5 * (1 - cosAB * cosAB);
    s.A = (nA[2] - nB[2] * cosAB) / d; // cos ψa = nA·up
    s.B = (nB[2] - nA[2] * cosAB) / d;
    return s;
}

// The wedge of the four planes scaled so that its height is H.
WedgeGeometry wedgeOfHeight(const Vec3& nA, const Vec3& nB, const Vec3& nF, const Vec3& nU, double H) {
    WedgeGeometry g{nA, nB, nF, nU, 1.0};
    const WedgeResult unitWedge = wedgeFactor(g, WedgeLoads());
    g.upperHeight = H / unitWedge.height;
    return g;
}

} // namespace

class TestStabilityFactors : public QObject {
    Q_OBJECT
private slots:
    void planarPublishedExample();
    void planarCriticalCrack();
    void planarSeismicTiltsGravity();
    void planarNoBlock();
    void wedgeAgreesWithShortSolution();
    void wedgeFrictionOnly();
    void wedgeLosesContact();
    void wedgeThatCannotForm();
    void statesAndRequiredFactors();
    void projectFactors();
    void hostileInputsNeverReachTheSolvers();
};

void TestStabilityFactors::planarPublishedExample() {
    // Hoek & Bray, Rock Slope Engineering, 3rd ed. (1981), ch. 7, pp. 150-154,
    // worked example in metric units (as reproduced in the MatterCliff 1 help
    // of CREALP, "Plane failure model (2D)", example): H = 30 m, crack 9 m
    // behind the crest, ψf = 60°, ψp = 30°, horizontal upper surface,
    // γ = 25.5, γw = 9.81 kN/m³, c = 48 kPa, φ = 30°. Stated: z = 14.804 m,
    // F = 1.347 drained, 0.794 with the crack full.
    const PlanarSection s{60, 30, 0, 30};
    PlanarLoads l{25.5, 9.81, 48, 30, 0, 0};
    const PlanarResult dry = planarFactorAt(s, l, 9);
    QCOMPARE(dry.status, PlanarStatus::Block);
    QVERIFY(std::fabs(dry.crackDepth - 14.804) < 5e-4);
    QVERIFY(std::fabs(dry.fs - 1.347) < 5e-4);
    // Weight by the horizontal-surface form W = ½γH²[(1 − (z/H)²)cotψp − cotψf] of the same chapter.
    const double z = dry.crackDepth;
    const double w = 0.5 * 25.5 * 900 * ((1 - z * z / 900) / std::tan(30 * kDeg) - 1 / std::tan(60 * kDeg));
    QVERIFY(std::fabs(dry.weight - w) < 1e-9 * w);
    l.crackWater = 1;
    QVERIFY(std::fabs(planarFactorAt(s, l, 9).fs - 0.794) < 5e-4);
}

void TestStabilityFactors::planarCriticalCrack() {
    // Dry slope, horizontal upper surface: Hoek & Bray (1981, ch. 7,
    // critical tension crack depth and location) give the critical crack z/H = 1 − √(cotψf·tanψp) at b/H =
    // √(cotψf·cotψp) − cotψf, whatever c and φ.
    const double cases[][2] = {{60, 30}, {50, 35}, {70, 45}, {80, 25}, {45, 40}};
    for (const auto& c : cases) {
        const PlanarResult r =
            planarFactorCritical(PlanarSection{c[0], c[1], 0, 20}, PlanarLoads{25, 9.81, 30, 25, 0, 0});
        QCOMPARE(r.status, PlanarStatus::Block);
        const double cotF = 1 / std::tan(c[0] * kDeg), tanP = std::tan(c[1] * kDeg);
        QVERIFY2(std::fabs(r.crackDepth / 20 - (1 - std::sqrt(cotF * tanP))) < 1e-5,
                 qPrintable(QString::number(c[0])));
        QVERIFY(std::fabs(r.crackDistance / 20 - (std::sqrt(cotF / tanP) - cotF)) < 1e-5);
    }
    // With water and an inclined upper surface no position gives a lower factor.
    const PlanarSection s{65, 38, 12, 25};
    const PlanarLoads l{25, 9.81, 40, 32, 0.7, 0.05};
    const PlanarResult best = planarFactorCritical(s, l);
    QCOMPARE(best.status, PlanarStatus::Block);
    const double limit = planarCrackLimit(s);
    for (int i = 0; i < 500; ++i) {
        const PlanarResult r = planarFactorAt(s, l, limit * i / 500.0);
        if (r.status == PlanarStatus::Block)
            QVERIFY(best.fs <= r.fs + 1e-9);
    }
}

void TestStabilityFactors::planarSeismicTiltsGravity() {
    // A horizontal kH·W acts like gravity tilted by atan kH: for a dry,
    // cohesionless plane FS = tanφ / tan(ψp + atan kH).
    for (double k : {0.025, 0.05, 0.1, 0.3}) {
        const PlanarResult r =
            planarFactorAt(PlanarSection{60, 30, 0, 30}, PlanarLoads{25, 9.81, 0, 35, 0, k}, 5);
        QVERIFY(std::fabs(r.fs - std::tan(35 * kDeg) / std::tan(30 * kDeg + std::atan(k))) < 1e-12);
    }
}

void TestStabilityFactors::planarNoBlock() {
    const PlanarLoads l{25, 9.81, 0, 30, 0, 0};
    QCOMPARE(planarFactorAt(PlanarSection{40, 40, 0, 30}, l, 5).status, PlanarStatus::PlaneTooSteep);
    // A 30° plane under a 60° face reaches the horizontal top H·(cot30° − cot60°) behind the crest.
    const PlanarSection s{60, 30, 0, 30};
    const double outcrop = planarCrackLimit(s);
    QVERIFY(std::fabs(outcrop - 30 * (1 / std::tan(30 * kDeg) - 1 / std::tan(60 * kDeg))) < 1e-9);
    QCOMPARE(planarFactorAt(s, l, outcrop + 0.1).status, PlanarStatus::CrackMissesPlane);
    QCOMPARE(planarFactorAt(s, l, outcrop - 0.1).status, PlanarStatus::Block);
    // A flat dry plane without seismic force is not pushed.
    QCOMPARE(planarFactorAt(PlanarSection{60, 0, 0, 30}, l, 5).status, PlanarStatus::NoDrivingForce);
    // Water that lifts the block leaves no friction, never a negative one.
    const PlanarResult floated =
        planarFactorCritical(PlanarSection{80, 10, 0, 30}, PlanarLoads{25, 24, 0, 30, 1, 0});
    QVERIFY(floated.normalForce >= 0 && floated.fs >= 0);
}

void TestStabilityFactors::wedgeAgreesWithShortSolution() {
    struct Case {
        double a[2], b[2], face[2], upper[2], H, ca, fa, cb, fb;
    };
    // The first is Hoek & Bray's wedge example (1981, ch. 8: planes 45/105 and
    // 70/235, face 65/185, upper surface 12/195, H = 40 m, cA = 24, φA = 20,
    // cB = 48 kPa, φB = 30°, γ = 25 kN/m³).
    const Case cases[] = {
        {{105, 45}, {235, 70}, {185, 65}, {195, 12}, 40, 24, 20, 48, 30},
        {{140, 40}, {220, 40}, {180, 60}, {180, 0}, 30, 20, 30, 20, 30},
        {{130, 50}, {215, 35}, {180, 70}, {180, 10}, 25, 0, 35, 30, 28},
        {{100, 60}, {250, 55}, {170, 75}, {170, 5}, 15, 10, 25, 5, 40},
    };
    for (const Case& c : cases) {
        const Vec3 nA = upwardNormal(c.a[0], c.a[1]), nB = upwardNormal(c.b[0], c.b[1]);
        const Vec3 nF = upwardNormal(c.face[0], c.face[1]), nU = upwardNormal(c.upper[0], c.upper[1]);
        const WedgeGeometry g = wedgeOfHeight(nA, nB, nF, nU, c.H);
        const ShortSolution s = shortSolution(nA, nB, nF, nU);
        for (bool saturated : {false, true}) {
            const WedgeResult r = wedgeFactor(g, WedgeLoads{25, 9.81, c.ca, c.fa, c.cb, c.fb, saturated, 0});
            QCOMPARE(r.status, WedgeStatus::Wedge);
            QCOMPARE(r.mode, WedgeMode::Both);
            QVERIFY(std::fabs(r.height - c.H) < 1e-9 * c.H);
            const double expected = s.fs(c.H, 25, 9.81, c.ca, c.fa, c.cb, c.fb, saturated);
            QVERIFY2(std::fabs(r.fs - expected) < 1e-9,
                     qPrintable(QStringLiteral("%1 vs %2").arg(r.fs, 0, 'g', 12).arg(expected, 0, 'g', 12)));
        }
    }
}

void TestStabilityFactors::wedgeFrictionOnly() {
    // Dry, cohesionless: FS = A·tanφa + B·tanφb, independent of size.
    const Vec3 nA = upwardNormal(105, 45), nB = upwardNormal(235, 70);
    const Vec3 nF = upwardNormal(185, 65), nU = upwardNormal(195, 12);
    const ShortSolution s = shortSolution(nA, nB, nF, nU);
    WedgeLoads l{25, 9.81, 0, 20, 0, 30, false, 0};
    for (double H : {1.0, 40.0, 300.0}) {
        const WedgeResult r = wedgeFactor(wedgeOfHeight(nA, nB, nF, nU, H), l);
        QVERIFY(std::fabs(r.fs - (s.A * std::tan(20 * kDeg) + s.B * std::tan(30 * kDeg))) < 1e-9);
    }
    // A horizontal k·W along the trend e tilts gravity by atan k towards e:
    // the same as the dry wedge with the whole scene turned so that the
    // tilted gravity points straight down (Rodrigues' rotation).
    for (double k : {0.05, 0.2}) {
        l.seismic = k;
        const WedgeResult r = wedgeFactor(wedgeOfHeight(nA, nB, nF, nU, 40), l);
        const Vec3 e = unit({{r.line[0], r.line[1], 0}});
        const Vec3 g = unit({{k * e[0], k * e[1], -1}});
        const Vec3 axis = unit(crossOf(g, {{0, 0, -1}}));
        const double c = -g[2], sn = std::sqrt(1 - c * c);
        const auto turn = [&](const Vec3& v) {
            const Vec3 kv = crossOf(axis, v);
            const double kd = dotOf(axis, v) * (1 - c);
            return Vec3{{v[0] * c + kv[0] * sn + axis[0] * kd, v[1] * c + kv[1] * sn + axis[1] * kd,
                         v[2] * c + kv[2] * sn + axis[2] * kd}};
        };
        const ShortSolution t = shortSolution(turn(nA), turn(nB), turn(nF), turn(nU));
        QVERIFY(std::fabs(r.fs - (t.A * std::tan(20 * kDeg) + t.B * std::tan(30 * kDeg))) < 1e-9);
    }
}

void TestStabilityFactors::wedgeLosesContact() {
    // A flat plane B and a steep plane A leaning over it: the short
    // solution's factor A is negative, the wedge rides on B alone and its
    // factor is that of a block on B: (cB·areaB + W·cosψb·tanφb)/(W·sinψb).
    const Vec3 nA = upwardNormal(150, 80), nB = upwardNormal(190, 35);
    const Vec3 nF = upwardNormal(180, 70), nU = upwardNormal(180, 0);
    QVERIFY(shortSolution(nA, nB, nF, nU).A < 0);
    WedgeLoads l{25, 9.81, 50, 30, 10, 25, false, 0};
    const WedgeResult r = wedgeFactor(wedgeOfHeight(nA, nB, nF, nU, 20), l);
    QCOMPARE(r.status, WedgeStatus::Wedge);
    QCOMPARE(r.mode, WedgeMode::OnB);
    QCOMPARE(r.normalA, 0.0);
    const double psi = 35 * kDeg; // no seismic force: the wedge slides straight down B
    QVERIFY(std::fabs(r.fs - (10 * r.areaB + r.weight * std::cos(psi) * std::tan(25 * kDeg)) /
                                 (r.weight * std::sin(psi))) < 1e-9);
    QCOMPARE(wedgeModeCode(r.mode), QStringLiteral("B"));
    // Swapping the planes gives the same wedge sliding on A.
    std::swap(l.cohesionA, l.cohesionB);
    std::swap(l.frictionA, l.frictionB);
    const WedgeResult swapped = wedgeFactor(wedgeOfHeight(nB, nA, nF, nU, 20), l);
    QCOMPARE(swapped.mode, WedgeMode::OnA);
    QVERIFY(std::fabs(swapped.fs - r.fs) < 1e-9);
    // Water heavy enough to lift it off both planes: no contact, FS 0.
    const WedgeResult floated =
        wedgeFactor(wedgeOfHeight(nA, nB, nF, nU, 20), WedgeLoads{2, 1.9, 50, 30, 10, 25, true, 0});
    QCOMPARE(floated.mode, WedgeMode::NoContact);
    QCOMPARE(floated.fs, 0.0);
    QCOMPARE(wedgeModeCode(floated.mode), QStringLiteral("none"));
}

void TestStabilityFactors::wedgeThatCannotForm() {
    const Vec3 nF = upwardNormal(180, 60);
    WedgeLoads l;
    // Planes 090∠60 and 180∠60 meet in a line plunging 50.8° to 135; a face
    // 135∠50 is flatter than that, so the line does not daylight.
    WedgeGeometry g{upwardNormal(90, 60), upwardNormal(180, 60), upwardNormal(135, 50), {{0, 0, 1}}, 10};
    QCOMPARE(wedgeFactor(g, l).status, WedgeStatus::NoDaylight);
    // A line flatter than the upper surface never reaches it.
    g = {upwardNormal(150, 25), upwardNormal(210, 25), nF, upwardNormal(180, 30), 10};
    QCOMPARE(wedgeFactor(g, l).status, WedgeStatus::NoUpperOutcrop);
    // Both planes dipping to the same side of the line, the flatter one
    // (180∠35) on the outside: the region above both has no back, no wedge.
    g = {upwardNormal(120, 75), upwardNormal(180, 35), upwardNormal(180, 70), {{0, 0, 1}}, 20};
    QCOMPARE(wedgeFactor(g, l).status, WedgeStatus::NotTetrahedron);
}

void TestStabilityFactors::statesAndRequiredFactors() {
    // GB 50330-2013 Table 5.3.2.
    StabilityParams p;
    const double table[3][3] = {{1.35, 1.30, 1.25}, {1.15, 1.10, 1.05}, {1.25, 1.20, 1.15}};
    for (int row = 0; row < 3; ++row)
        for (int cls = 1; cls <= 3; ++cls) {
            p.safetyClass = cls;
            p.permanent = row < 2;
            p.seismic = row == 1 ? 0.05 : 0;
            QCOMPARE(requiredFactor(p), table[row][cls - 1]);
        }
    // Table 5.3.1 with its boundaries.
    const QString words[] = {"不稳定", "欠稳定", "欠稳定", "基本稳定", "基本稳定", "稳定"};
    const double factors[] = {0.999, 1.00, 1.049, 1.05, 1.299, 1.30};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(factorStateWord(factors[i], 1.30), words[i]);
    QVERIFY(meetsRequiredFactor(1.30, 1.30) && !meetsRequiredFactor(1.2999, 1.30));
}

namespace {
// Slope 180∠60, plane 1 180∠35 (planar, unstable), planes 2 and 3 forming a
// wedge plunging towards the face; analysis on, factors enabled.
void setUpProject(DataCenter& dc) {
    dc.slope.direction = 180;
    dc.slope.angle = 60;
    dc.slope.calculated = false;
    dc.updateSlopeGeometry();
    dc.IncludedAnglePlanar = 30;
    dc.FrictionAnglePlanar = 27;
    dc.planes = {makePlane(1, 190, 35), makePlane(2, 140, 50), makePlane(3, 230, 45)};
    dc.analysisOff = false;
    dc.stability.present = dc.stability.enabled = true;
    dc.stability.height = 20;
    dc.stability.planes[1] = {25, 30};
    dc.analyse();
}
} // namespace

void TestStabilityFactors::projectFactors() {
    DataCenter dc;
    setUpProject(dc);
    StabilityFactors f = computeStabilityFactors(dc);
    QCOMPARE(f.required, 1.30);
    QCOMPARE(f.planes.size(), 1);
    const PlanarFactor& p = f.planes.first();
    QVERIFY(p.id == 1 && p.hasBlock && p.cohesion == 25);
    // The section along 190: the face's apparent dip, true dip of the plane;
    // the critical crack of the closed form.
    const double face = std::atan(std::tan(60 * kDeg) * std::cos(10 * kDeg));
    QVERIFY(std::fabs(p.faceDip - face / kDeg) < 1e-9);
    const double cotF = 1 / std::tan(face), tanP = std::tan(35 * kDeg);
    QVERIFY(std::fabs(p.crackDepth / 20 - (1 - std::sqrt(cotF * tanP))) < 1e-5);
    QVERIFY(std::fabs(p.crackDistance / 20 - (std::sqrt(cotF / tanP) - cotF)) < 1e-5);
    // A given crack: its depth checks by hand in the section.
    dc.stability.crackCritical = false;
    dc.stability.crackDistance = 3;
    f = computeStabilityFactors(dc);
    QVERIFY(std::fabs(f.planes.first().crackDepth - (20 - (3 + 20 * cotF) * tanP)) < 1e-9);

    // The wedge 2×3, on the default friction angle, with a horizontal top: its
    // height is the slope height.
    QCOMPARE(f.wedges.size(), 3); // 1×2, 1×3, 2×3
    const WedgeFactor& w = f.wedges.last();
    QVERIFY(w.id == 203 && w.planeA == 2 && w.planeB == 3 && w.hasBlock && w.frictionA == 27);
    QVERIFY(std::fabs(w.wedgeHeight - 20) < 1e-9);
    const ShortSolution s = shortSolution(upwardNormal(140, 50), upwardNormal(230, 45), upwardNormal(180, 60),
                                          upwardNormal(180, 0));
    QVERIFY(std::fabs(w.fs - (s.A + s.B) * std::tan(27 * kDeg)) < 1e-9);
    // An inclined top along the face's dip direction keeps the crest H above the daylight point.
    dc.stability.upperDip = 10;
    f = computeStabilityFactors(dc);
    QVERIFY(f.wedges.last().wedgeHeight > 20);

    // Off with the analysis or the switch.
    dc.analysisOff = true;
    QVERIFY(computeStabilityFactors(dc).planes.isEmpty());
    dc.analysisOff = false;
    dc.stability.enabled = false;
    QVERIFY(computeStabilityFactors(dc).wedges.isEmpty());
}

void TestStabilityFactors::hostileInputsNeverReachTheSolvers() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    DataCenter dc;
    setUpProject(dc);
    const StabilityParams good = dc.stability;
    QVERIFY(isValidStabilityParams(good, 60) && !computeStabilityFactors(dc).planes.isEmpty());
    const auto refused = [&](const StabilityParams& p) {
        dc.stability = p;
        return !isValidStabilityParams(p, 60) && computeStabilityFactors(dc).planes.isEmpty() &&
               computeStabilityFactors(dc).wedges.isEmpty();
    };
    using P = StabilityParams;
    const std::pair<double P::*, double> values[] = {
        {&P::height, -5},      {&P::height, 0},      {&P::height, nan},       {&P::unitWeight, inf},
        {&P::unitWeight, 9},   {&P::waterWeight, 0}, {&P::upperDip, 60},      {&P::upperDip, -1},
        {&P::crackWater, 1.5}, {&P::seismic, 0.6},   {&P::crackDistance, -1},
    };
    for (const auto& v : values) {
        P p = good;
        p.*v.first = v.second;
        QVERIFY(refused(p));
    }
    for (const PlaneStrength& strength :
         {PlaneStrength{0, 90}, PlaneStrength{-1, 30}, PlaneStrength{nan, 30}}) {
        P p = good;
        p.planes[2] = strength;
        QVERIFY(refused(p));
    }
    P p = good;
    p.safetyClass = 4;
    QVERIFY(refused(p));
    // A NaN face dip refuses everything.
    QVERIFY(!isValidStabilityParams(dc.stability, nan));
}

QTEST_GUILESS_MAIN(TestStabilityFactors)
#include "test_stabilityfactors.moc"
