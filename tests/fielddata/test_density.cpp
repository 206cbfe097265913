// Density of poles on the sphere, Terzaghi's weights and the net's geometry,
// checked against facts that do not come from the code: a uniform sample is
// flat at its expected value, one pole draws the counting cone (a circle on
// the equal-angle net), turning the data turns the density, weights are
// copies, and the fast grid equals the definition summed pole by pole.
#include "model/datacenter.h"
#include "model/fielddata/density.h"
#include "model/fielddata/fieldpoles.h"
#include "model/fielddata/sphere.h"
#include "model/fielddata/terzaghi.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

class TestDensity : public QObject {
    Q_OBJECT
private slots:
    void netMatchesThePlanesPoles();
    void terzaghiKnownValues();
    void terzaghiMapsOntoTraverses();
    void kernelsFromTheirDefinitions();
    void uniformSampleIsFlat_data();
    void uniformSampleIsFlat();
    void meanOverTheHemisphereIsExpected();
    void onePoleDrawsTheCountingCone();
    void fisherKernelShape();
    void gridEqualsTheDefinition_data();
    void gridEqualsTheDefinition();
    void rotationTurnsTheDensity();
    void hemispheresAreMirrorImages();
    void weightsAreCopies();
    void maximumFindsTheCluster();
    void automaticLevels();
};

namespace {
constexpr double kDeg = M_PI / 180;

// N directions spread evenly over the whole sphere (Fibonacci lattice):
// as axes, a uniform sample of the hemisphere.
QVector<WeightedAxis> fibonacciSphere(int n) {
    QVector<WeightedAxis> out;
    const double golden = M_PI * (3 - std::sqrt(5.0));
    for (int i = 0; i < n; ++i) {
        const double z = 1 - (2 * i + 1.0) / n;
        const double r = std::sqrt(1 - z * z);
        out.append(WeightedAxis{Vec3{r * std::cos(golden * i), r * std::sin(golden * i), z}, 1});
    }
    return out;
}

Vec3 randomAxis(QRandomGenerator& random) {
    // Uniform on the sphere: z uniform in [−1, 1], azimuth uniform.
    const double z = random.generateDouble() * 2 - 1;
    const double phi = random.generateDouble() * 2 * M_PI;
    const double r = std::sqrt(1 - z * z);
    return Vec3{r * std::cos(phi), r * std::sin(phi), z};
}

// A cluster of n axes about `centre` with roughly `spread` degrees of scatter.
QVector<WeightedAxis> cluster(QRandomGenerator& random, double direction, double angle, double spread,
                              int n) {
    QVector<WeightedAxis> out;
    for (int i = 0; i < n; ++i) {
        const double d = direction + (random.generateDouble() - 0.5) * 2 * spread;
        const double a = std::clamp(angle + (random.generateDouble() - 0.5) * 2 * spread, 0.0, 90.0);
        out.append(WeightedAxis{planePole(d, a), 1});
    }
    return out;
}

Vec3 rotate(const Vec3& v, const Vec3& axis, double degrees) {
    // Rodrigues' rotation formula.
    const double c = std::cos(degrees * kDeg), s = std::sin(degrees * kDeg);
    const Vec3 k = axis;
    const Vec3 cross{k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2], k[0] * v[1] - k[1] * v[0]};
    const double kv = dot(k, v);
    return Vec3{v[0] * c + cross[0] * s + k[0] * kv * (1 - c), v[1] * c + cross[1] * s + k[1] * kv * (1 - c),
                v[2] * c + cross[2] * s + k[2] * kv * (1 - c)};
}

double angleBetweenAxes(const Vec3& a, const Vec3& b) {
    return std::acos(std::min(1.0, std::abs(dot(a, b)))) / kDeg;
}

bool insideCircle(const QPointF& p) {
    return p.x() * p.x() + p.y() * p.y() <= 1;
}

DensitySettings settingsOf(DensityMethod method, double area = 1) {
    DensitySettings s;
    s.method = method;
    s.countingArea = area;
    return s;
}
} // namespace

void TestDensity::netMatchesThePlanesPoles() {
    // The net's projection of a pole is where the stereonet draws the
    // plane's pole, on both hemispheres, and the inverse gives the pole back.
    QRandomGenerator random(1);
    for (int k = 0; k < 200; ++k) {
        for (bool upper : {true, false}) {
            DataCenter dc;
            dc.UpperMode = upper;
            PlaneRecord plane;
            plane.direction = random.bounded(3600) / 10.0;
            plane.angle = random.bounded(899) / 10.0;
            dc.computePlaneGeometry(plane);
            const Vec3 pole = planePole(plane.direction, plane.angle);
            const QPointF p = netPointOfAxis(pole, upper);
            QVERIFY(std::abs(p.x() - plane.PolePoint.x()) < 1e-12);
            QVERIFY(std::abs(p.y() - plane.PolePoint.y()) < 1e-12);
            QVERIFY(angleBetweenAxes(netDirection(p, upper), pole) < 1e-5);
            double direction = 0, angle = 0;
            planeOfAxis(netDirection(p, upper), direction, angle);
            QVERIFY(std::abs(angle - plane.angle) < 1e-9);
            if (plane.angle > 0.05)
                QVERIFY(std::abs(std::remainder(direction - plane.direction, 360)) < 1e-8);
        }
    }
    // Beyond the primitive: the other hemisphere, the antipode of the axis
    // plotting at p/|p|² on the far side.
    const QPointF outside(0.9, -1.3);
    const double r2 = outside.x() * outside.x() + outside.y() * outside.y();
    const Vec3 far = netDirection(outside, false), near = netDirection(-outside / r2, false);
    QVERIFY(far[2] > 0);
    QVERIFY(std::abs(dot(far, near) + 1) < 1e-12);
}

void TestDensity::terzaghiKnownValues() {
    // A plane perpendicular to the scanline: weight 1; at 30°: 1/sin 30° = 2;
    // at 60°: 2/√3; in the scanline's direction: capped at 1/sin 15° = 3.8637
    // (Dips' default minimum bias angle), or 1/sin 5° with a 5° cap.
    QCOMPARE(planeLineSine(90, 90, 90, 0), 1.0);
    QVERIFY(std::abs(terzaghiWeight(90, 90, 90, 0, 15) - 1) < 1e-12);
    QVERIFY(std::abs(terzaghiWeight(90, 60, 90, 0, 15) - 1 / std::sin(60 * kDeg)) < 1e-12);
    QVERIFY(std::abs(terzaghiWeight(90, 30, 90, 0, 15) - 2) < 1e-12);
    QVERIFY(std::abs(terzaghiWeight(0, 90, 90, 0, 15) - 3.8637033051562732) < 1e-12);
    QVERIFY(std::abs(terzaghiWeight(0, 90, 90, 0, 5) - 1 / std::sin(5 * kDeg)) < 1e-12);
    // A vertical borehole: a horizontal plane weighs 1, a plane dipping δ
    // 1/cos δ.
    QVERIFY(std::abs(terzaghiWeight(123, 0, 0, 90, 15) - 1) < 1e-12);
    QVERIFY(std::abs(terzaghiWeight(123, 45, 0, 90, 15) - std::sqrt(2.0)) < 1e-12);
    // A line and its reverse are the same traverse.
    QVERIFY(std::abs(terzaghiWeight(40, 70, 200, 10, 15) - terzaghiWeight(40, 70, 20, -10, 15)) < 1e-12);
}

void TestDensity::terzaghiMapsOntoTraverses() {
    FieldData f;
    f.traverses = {Traverse{1, QStringLiteral("SL1"), 90, 0}, Traverse{2, QStringLiteral("BH"), 0, 90}};
    f.measurements = {Measurement{90, 30, 2, 1, {}, {}, 1, {}}, // 30° to SL1: ×2
                      Measurement{90, 30, 2, 3, {}, {}, 1, {}}, // and its quantity 3
                      Measurement{10, 45, 2, 1, {}, {}, 2, {}}, // BH: ×√2
                      Measurement{0, 90, 2, 1, {}, {}, 0, {}},  // no traverse
                      Measurement{0, 90, 2, 1, {}, {}, 9, {}}}; // unknown traverse
    QCOMPARE(measurementWeights(f), QVector<double>({1, 3, 1, 1, 1}));
    f.terzaghi = true;
    const QVector<double> w = measurementWeights(f);
    QVERIFY(std::abs(w[0] - 2) < 1e-12);
    QVERIFY(std::abs(w[1] - 6) < 1e-12);
    QVERIFY(std::abs(w[2] - std::sqrt(2.0)) < 1e-12);
    QCOMPARE(w[3], 1.0);
    QCOMPARE(w[4], 1.0);
    // Weighting never moves a pole.
    const QVector<WeightedAxis> poles = measurementPoles(f);
    QCOMPARE(poles.size(), 5);
    QVERIFY(angleBetweenAxes(poles[0].axis, planePole(90, 30)) < 1e-12);
}

void TestDensity::kernelsFromTheirDefinitions() {
    // Schmidt 1 %: a cone of 1 % of the hemisphere, half-angle acos(0.99).
    const DensityKernel s = densityKernel(settingsOf(DensityMethod::Schmidt), 200);
    QVERIFY(std::abs(s.coneHalfAngle - 8.1096) < 1e-4);
    QCOMPARE(s.unit, QStringLiteral("%"));
    // One pole of 200 in the cone is 0.5 % of the poles in 1 % of the area.
    QVERIFY(std::abs(s.scale - 0.5) < 1e-12);
    // 2 %: per 1 % area, so the same pole counts half.
    QVERIFY(std::abs(densityKernel(settingsOf(DensityMethod::Schmidt, 2), 200).scale - 0.25) < 1e-12);
    QVERIFY(std::abs(densityKernel(settingsOf(DensityMethod::Schmidt, 5), 1).coneHalfAngle - 18.1949) < 1e-4);
    // Kamb, n = 100: A = 9/109, σ_N = √(100·A·(1 − A)), E = nA = 3σ_N.
    const DensityKernel k = densityKernel(settingsOf(DensityMethod::Kamb), 100);
    QVERIFY(std::abs(k.coneFraction - 9.0 / 109) < 1e-15);
    const double sigmaN = std::sqrt(100 * (9.0 / 109) * (100.0 / 109));
    QVERIFY(std::abs(100 * k.coneFraction - 3 * sigmaN) < 1e-12);
    QVERIFY(std::abs(k.scale - 1 / sigmaN) < 1e-12);
    QVERIFY(std::abs(k.coneHalfAngle - std::acos(100.0 / 109) / kDeg) < 1e-9);
    QCOMPARE(k.unit, QStringLiteral("sigma"));
    QCOMPARE(k.expectedUniform, 3.0);
    // Fisher: K = 2/a = 200 for 1 %.
    QCOMPARE(densityKernel(settingsOf(DensityMethod::Fisher), 10).fisherK, 200.0);
}

void TestDensity::uniformSampleIsFlat_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<double>("area");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("schmidt 1%") << int(DensityMethod::Schmidt) << 1.0 << 0.03;
    QTest::newRow("schmidt 0.5%") << int(DensityMethod::Schmidt) << 0.5 << 0.04;
    QTest::newRow("schmidt 5%") << int(DensityMethod::Schmidt) << 5.0 << 0.01;
    QTest::newRow("fisher 1%") << int(DensityMethod::Fisher) << 1.0 << 0.005;
    QTest::newRow("fisher 3%") << int(DensityMethod::Fisher) << 3.0 << 0.003;
}

void TestDensity::uniformSampleIsFlat() {
    // 200 000 evenly spread axes: every node within the circle shows the
    // expected density of a uniform sample, 1 % per 1 % area.
    QFETCH(int, method);
    QFETCH(double, area);
    QFETCH(double, tolerance);
    const QVector<WeightedAxis> poles = fibonacciSphere(200000);
    const DensitySettings s = settingsOf(DensityMethod(method), area);
    for (bool upper : {false, true}) {
        const DensityGrid g = densityGrid(poles, s, upper, 40);
        double lo = 1e9, hi = -1e9;
        for (int j = 0; j < g.nodes; ++j)
            for (int i = 0; i < g.nodes; ++i) {
                lo = std::min(lo, g.at(i, j));
                hi = std::max(hi, g.at(i, j));
            }
        QVERIFY2(std::abs(lo - 1) < tolerance && std::abs(hi - 1) < tolerance,
                 qPrintable(QStringLiteral("%1..%2").arg(lo).arg(hi)));
    }
}

void TestDensity::meanOverTheHemisphereIsExpected() {
    // Every pole's counting cone covers the same share of the hemisphere,
    // so for ANY sample the area average of the density is the uniform
    // value: integrate over the hemisphere numerically (equal-area cells in
    // z = cos θ and azimuth).
    QRandomGenerator random(7);
    QVector<WeightedAxis> poles = cluster(random, 120, 60, 10, 40);
    poles += cluster(random, 300, 85, 5, 25); // straddles the primitive
    for (int i = 0; i < 20; ++i)
        poles.append(WeightedAxis{randomAxis(random), 0.5 + random.generateDouble()});
    for (DensityMethod method : {DensityMethod::Schmidt, DensityMethod::Fisher, DensityMethod::Kamb}) {
        const DensitySettings s = settingsOf(method, 2);
        const int rings = 300, sectors = 600;
        double sum = 0;
        for (int a = 0; a < rings; ++a) {
            const double z = (a + 0.5) / rings; // uniform in z: equal areas
            const double r = std::sqrt(1 - z * z);
            for (int b = 0; b < sectors; ++b) {
                const double phi = (b + 0.5) * 2 * M_PI / sectors;
                sum += densityAt(poles, s, Vec3{r * std::cos(phi), r * std::sin(phi), z});
            }
        }
        const double mean = sum / (rings * sectors);
        const double expected = densityKernel(s, 0).expectedUniform;
        QVERIFY2(std::abs(mean / expected - 1) < 0.01, qPrintable(QString::number(mean)));
    }
}

void TestDensity::onePoleDrawsTheCountingCone() {
    // One pole: 100 % of the poles in the 1 % cone, i.e. 100 per 1 % area
    // within 8.11° of either end of the pole, 0 elsewhere. The cone is a
    // small circle, and small circles plot as circles on the equal-angle
    // net: through the projections of three of its points.
    for (bool upper : {false, true}) {
        for (const QPair<double, double>& plane :
             {qMakePair(135.0, 65.0), qMakePair(20.0, 10.0), qMakePair(250.0, 84.0), qMakePair(0.0, 0.0)}) {
            const Vec3 pole = planePole(plane.first, plane.second);
            const QVector<WeightedAxis> poles{WeightedAxis{pole, 1}};
            const DensityGrid g = densityGrid(poles, settingsOf(DensityMethod::Schmidt), upper, 200);
            // The end of the axis on this hemisphere, and three points of
            // the rim of its cone, projected as they are (a rim point on the
            // other hemisphere plots beyond the primitive).
            const double h = upper ? 1 : -1;
            const Vec3 p = pole[2] * h >= 0 ? pole : Vec3{-pole[0], -pole[1], -pole[2]};
            const Vec3 ref = std::abs(p[2]) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
            const Vec3 side{p[1] * ref[2] - p[2] * ref[1], p[2] * ref[0] - p[0] * ref[2],
                            p[0] * ref[1] - p[1] * ref[0]};
            const double norm = std::sqrt(dot(side, side));
            const Vec3 axis{side[0] / norm, side[1] / norm, side[2] / norm};
            const double half = std::acos(0.99) / kDeg;
            const Vec3 rim = rotate(p, axis, half);
            QPointF pts[3];
            for (int k = 0; k < 3; ++k) {
                const Vec3 v = rotate(rim, p, 120.0 * k);
                pts[k] = QPointF(v[0] / (1 + h * v[2]), v[1] / (1 + h * v[2]));
            }
            QPointF centre;
            double radius = 0;
            if (!DataCenter::circleThrough3(pts[0], pts[1], pts[2], centre, radius))
                QFAIL("no circle");
            const double tol = 1e-7;
            int in = 0;
            for (int j = 0; j < g.nodes; ++j)
                for (int i = 0; i < g.nodes; ++i) {
                    const QPointF x = g.point(i, j);
                    if (!insideCircle(x))
                        continue;
                    const double d = std::hypot(x.x() - centre.x(), x.y() - centre.y());
                    const Vec3 dir = netDirection(x, upper);
                    if (dot(dir, p) < 0 && angleBetweenAxes(dir, p) < half - 1e-6) {
                        // The cone about the other end, across the primitive.
                        QVERIFY(std::abs(g.at(i, j) - 100) < 1e-9);
                        continue;
                    }
                    if (d < radius - tol) {
                        QVERIFY2(std::abs(g.at(i, j) - 100) < 1e-9, qPrintable(QString::number(g.at(i, j))));
                        ++in;
                    } else if (d > radius + tol &&
                               !(dot(dir, p) < 0 && angleBetweenAxes(dir, p) <= half + 1e-6)) {
                        QCOMPARE(g.at(i, j), 0.0);
                    }
                }
            QVERIFY(in > 10);
            QVERIFY(std::abs(g.maxValue - 100) < 1e-9);
        }
    }
}

void TestDensity::fisherKernelShape() {
    // One pole, Fisher smoothing at 1 % (K = 200): the peak is K/(1 − e^−2K)
    // per 1 % area, and θ away from the pole the density is
    // e^(−K(1 − cos θ)) of the peak, a bell of Fisher's distribution.
    const Vec3 p = planePole(210, 35);
    const QVector<WeightedAxis> poles{WeightedAxis{p, 1}};
    const DensitySettings s = settingsOf(DensityMethod::Fisher);
    const double peak = densityAt(poles, s, p);
    QVERIFY(std::abs(peak - 200 / (1 - std::exp(-400.0))) < 1e-9);
    const Vec3 axis = planePole(300, 90); // horizontal, perpendicular to the dip
    for (double theta : {2.0, 5.0, 8.11, 12.0}) {
        const double d = densityAt(poles, s, rotate(p, axis, theta));
        QVERIFY(std::abs(d / peak - std::exp(-200 * (1 - std::cos(theta * kDeg)))) < 1e-9);
    }
    // Either end: the same at the antipode.
    QVERIFY(std::abs(densityAt(poles, s, Vec3{-p[0], -p[1], -p[2]}) - peak) < 1e-9);
}

void TestDensity::gridEqualsTheDefinition_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<double>("area");
    QTest::addColumn<int>("count");
    for (int n : {1, 7, 60, 400}) {
        QTest::addRow("schmidt n=%d", n) << int(DensityMethod::Schmidt) << 1.0 << n;
        QTest::addRow("schmidt 4%% n=%d", n) << int(DensityMethod::Schmidt) << 4.0 << n;
        QTest::addRow("kamb n=%d", n) << int(DensityMethod::Kamb) << 1.0 << n;
        QTest::addRow("fisher n=%d", n) << int(DensityMethod::Fisher) << 1.0 << n;
        QTest::addRow("fisher 5%% n=%d", n) << int(DensityMethod::Fisher) << 5.0 << n;
    }
}

void TestDensity::gridEqualsTheDefinition() {
    // The fast grid (a run of nodes per row and pole) against the definition
    // summed over every pole at every node: random samples with weights,
    // clusters, vertical and horizontal poles, both hemispheres. Counting is
    // exact; Fisher agrees to its cut-off and table.
    QFETCH(int, method);
    QFETCH(double, area);
    QFETCH(int, count);
    QRandomGenerator random(quint32(1000 + count * 10 + method));
    QVector<WeightedAxis> poles;
    for (int i = 0; i < count; ++i) {
        Vec3 v = randomAxis(random);
        if (i % 5 == 1)
            v = planePole(random.bounded(360), 90); // on the primitive
        if (i % 7 == 2)
            v = planePole(random.bounded(360), random.bounded(3)); // near vertical
        poles.append(WeightedAxis{v, i % 3 ? 1.0 : 0.25 + 2 * random.generateDouble()});
    }
    const DensitySettings s = settingsOf(DensityMethod(method), area);
    for (bool upper : {false, true}) {
        const DensityGrid g = densityGrid(poles, s, upper, 60);
        const double scale = std::max(1.0, g.maxValue);
        for (int j = 0; j < g.nodes; ++j)
            for (int i = 0; i < g.nodes; ++i) {
                const double expected = densityAt(poles, s, netDirection(g.point(i, j), upper));
                // Fisher: each pole's kernel is cut at e^−12 of its peak K and
                // read from a table, so the sum may fall short by 6.2·10⁻⁶ K
                // (and err by 1.1·10⁻⁶ of itself).
                const double tolerance = DensityMethod(method) == DensityMethod::Fisher
                                             ? 6.2e-6 * g.kernel.fisherK + 1.2e-6 * scale
                                             : 1e-9;
                if (std::abs(g.at(i, j) - expected) > tolerance)
                    QFAIL(qPrintable(QStringLiteral("node %1,%2: %3 against %4")
                                         .arg(i)
                                         .arg(j)
                                         .arg(g.at(i, j))
                                         .arg(expected)));
            }
    }
}

void TestDensity::rotationTurnsTheDensity() {
    // Turning the data about any axis turns the density with it.
    QRandomGenerator random(11);
    QVector<WeightedAxis> poles = cluster(random, 40, 30, 12, 80);
    poles += cluster(random, 200, 75, 8, 50);
    for (DensityMethod method : {DensityMethod::Schmidt, DensityMethod::Fisher, DensityMethod::Kamb}) {
        const DensitySettings s = settingsOf(method);
        for (int k = 0; k < 20; ++k) {
            const Vec3 axis = randomAxis(random);
            const double angle = random.generateDouble() * 360;
            QVector<WeightedAxis> turned = poles;
            for (WeightedAxis& p : turned)
                p.axis = rotate(p.axis, axis, angle);
            for (int m = 0; m < 10; ++m) {
                // Points near the data (where counts change) and anywhere.
                const Vec3 at = m < 5
                                    ? rotate(poles[random.bounded(poles.size())].axis, randomAxis(random), 3)
                                    : randomAxis(random);
                const double a = densityAt(poles, s, at), b = densityAt(turned, s, rotate(at, axis, angle));
                QVERIFY2(std::abs(a - b) < 1e-6 * std::max(1.0, a),
                         qPrintable(QStringLiteral("%1 against %2").arg(a).arg(b)));
            }
        }
    }
    // Turning about the vertical by 90° (clockwise seen from above) turns
    // the grid by a quarter: node (i, j) goes to (j, n−1−i).
    QVector<WeightedAxis> turned = poles;
    for (WeightedAxis& p : turned)
        p.axis = Vec3{p.axis[1], -p.axis[0], p.axis[2]}; // azimuth + 90°
    for (DensityMethod method : {DensityMethod::Schmidt, DensityMethod::Fisher}) {
        const DensityGrid a = densityGrid(poles, settingsOf(method), false, 50);
        const DensityGrid b = densityGrid(turned, settingsOf(method), false, 50);
        const int n = a.nodes;
        int differ = 0;
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                if (std::abs(a.at(i, j) - b.at(j, n - 1 - i)) > 1e-6 * std::max(1.0, a.maxValue))
                    ++differ;
        QCOMPARE(differ, 0);
        QVERIFY(std::abs(a.maxValue - b.maxValue) < 1e-9 * a.maxValue);
    }
}

void TestDensity::hemispheresAreMirrorImages() {
    // Poles are axes: the upper hemisphere's net is the lower one's turned
    // by 180°, node (i, j) on one is node (n−1−i, n−1−j) on the other.
    QRandomGenerator random(5);
    QVector<WeightedAxis> poles = cluster(random, 300, 50, 15, 120);
    for (DensityMethod method : {DensityMethod::Schmidt, DensityMethod::Fisher, DensityMethod::Kamb}) {
        const DensityGrid lower = densityGrid(poles, settingsOf(method), false, 64);
        const DensityGrid upper = densityGrid(poles, settingsOf(method), true, 64);
        const int n = lower.nodes;
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                QVERIFY(std::abs(lower.at(i, j) - upper.at(n - 1 - i, n - 1 - j)) <
                        1e-6 * std::max(1.0, lower.maxValue));
    }
}

void TestDensity::weightsAreCopies() {
    // A pole of weight 3 is three poles; scaling every weight changes no
    // percentage.
    QRandomGenerator random(3);
    QVector<WeightedAxis> weighted, copied, scaled;
    for (int i = 0; i < 50; ++i) {
        const Vec3 v = randomAxis(random);
        const int times = 1 + i % 3;
        weighted.append(WeightedAxis{v, double(times)});
        for (int k = 0; k < times; ++k)
            copied.append(WeightedAxis{v, 1});
        scaled.append(WeightedAxis{v, 2.5 * times});
    }
    for (DensityMethod method : {DensityMethod::Schmidt, DensityMethod::Fisher, DensityMethod::Kamb}) {
        const DensityGrid a = densityGrid(weighted, settingsOf(method), false, 40);
        const DensityGrid b = densityGrid(copied, settingsOf(method), false, 40);
        for (int k = 0; k < a.values.size(); ++k)
            QVERIFY(std::abs(a.values[k] - b.values[k]) < 1e-9 * std::max(1.0, a.maxValue));
        if (method == DensityMethod::Kamb)
            continue; // Kamb's cone depends on n itself
        const DensityGrid c = densityGrid(scaled, settingsOf(method), false, 40);
        for (int k = 0; k < a.values.size(); ++k)
            QVERIFY(std::abs(a.values[k] - c.values[k]) < 1e-9 * std::max(1.0, a.maxValue));
    }
    // Zero poles: zero everywhere, no maximum.
    const DensityGrid empty = densityGrid({}, settingsOf(DensityMethod::Schmidt), false);
    QCOMPARE(empty.maxNode, -1);
    QVERIFY(!densityMaximum(empty, {}, settingsOf(DensityMethod::Schmidt)).valid);
}

void TestDensity::maximumFindsTheCluster() {
    // A tight cluster about 135∠65 in scatter: the maximum lies at the
    // cluster's pole, reported as its plane, and is not below any node.
    // (Poles uniform in a ±4° box of dip direction and dip.)
    QRandomGenerator random(9);
    QVector<WeightedAxis> poles = cluster(random, 135, 65, 4, 150);
    for (int i = 0; i < 150; ++i)
        poles.append(WeightedAxis{randomAxis(random), 1});
    for (DensityMethod method : {DensityMethod::Schmidt, DensityMethod::Fisher, DensityMethod::Kamb}) {
        for (bool upper : {false, true}) {
            const DensitySettings s = settingsOf(method);
            const DensityGrid g = densityGrid(poles, s, upper);
            const DensityMaximum m = densityMaximum(g, poles, s);
            QVERIFY(m.valid);
            QVERIFY(m.value >= g.maxValue);
            QVERIFY(std::abs(m.value - densityAt(poles, s, m.axis)) < 1e-9 * m.value ||
                    m.value == g.maxValue);
            // Within the cluster's spread, or for a counting cone wider than
            // the cluster (a plateau), within that cone.
            const double limit = method == DensityMethod::Fisher ? 3 : g.kernel.coneHalfAngle;
            QVERIFY2(angleBetweenAxes(m.axis, planePole(135, 65)) < limit,
                     qPrintable(QStringLiteral("method %1 upper %2: %3")
                                    .arg(int(method))
                                    .arg(upper)
                                    .arg(planeText(m.direction, m.angle))));
        }
    }
}

void TestDensity::automaticLevels() {
    DensityKernel percent;
    QCOMPARE(::automaticLevels(percent, 9.3), QVector<double>({2, 4, 6, 8}));
    QCOMPARE(::automaticLevels(percent, 7.9), QVector<double>({1, 2, 3, 4, 5, 6, 7}));
    QCOMPARE(::automaticLevels(percent, 3.2), QVector<double>({0.5, 1, 1.5, 2, 2.5, 3}));
    QCOMPARE(::automaticLevels(percent, 100), QVector<double>({20, 40, 60, 80, 100}));
    QVERIFY(::automaticLevels(percent, 0).isEmpty());
    DensityKernel kamb;
    kamb.method = DensityMethod::Kamb;
    QCOMPARE(::automaticLevels(kamb, 9), QVector<double>({2, 4, 6, 8}));
    QCOMPARE(::automaticLevels(kamb, 1.5), QVector<double>());
    QCOMPARE(::automaticLevels(kamb, 30), QVector<double>({4, 8, 12, 16, 20, 24, 28}));
}

QTEST_GUILESS_MAIN(TestDensity)
#include "test_density.moc"
