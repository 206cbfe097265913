// Statistics of a joint set: the published example, the mathematics
// (rotation, axes across the primitive, coverage of the cones) and a second,
// plainer formulation on random sets.
#include "fishersample.h"
#include "model/fielddata/setstatistics.h"

#include <QtTest>

#include <cmath>

namespace {
constexpr double kDeg = M_PI / 180.0;

// A line trend/plunge (plunge down) as a unit vector (east, north, up).
UnitAxis line(double trend, double plunge) {
    return {{std::sin(trend * kDeg) * std::cos(plunge * kDeg),
             std::cos(trend * kDeg) * std::cos(plunge * kDeg), -std::sin(plunge * kDeg)}};
}

// Axial angle in degrees, accurate for tiny angles too.
double angleBetween(const UnitAxis& a, const UnitAxis& b) {
    const UnitAxis c = crossOf(a, b);
    return std::atan2(std::sqrt(dotOf(c, c)), std::fabs(dotOf(a, b))) / kDeg;
}

// A random rotation (axis and angle), applied to a vector.
struct Rotation {
    UnitAxis axis;
    double angle;
    UnitAxis operator()(const UnitAxis& v) const {
        const double c = std::cos(angle), s = std::sin(angle);
        const UnitAxis k = crossOf(axis, v);
        const double d = dotOf(axis, v);
        UnitAxis r;
        for (int i = 0; i < 3; ++i)
            r[i] = v[i] * c + k[i] * s + axis[i] * d * (1 - c);
        return r;
    }
};

// The second formulation: the mean from the sums of direction cosines of
// declination/inclination (Fisher, Lewis & Embleton 1987, ch. 3), with each
// axis turned into the hemisphere of the given mean beforehand, and the
// eigenvalues from the closed form of a symmetric 3×3 matrix (Smith 1961,
// Comm. ACM 4(4), 168).
struct Plain {
    double trend, plunge, R, K, alpha95;
    double eigen[3];
};
Plain plainStatistics(const QVector<UnitAxis>& axes, const UnitAxis& about) {
    double sx = 0, sy = 0, sz = 0;
    for (const UnitAxis& v0 : axes) {
        const UnitAxis v = dotOf(v0, about) >= 0 ? v0 : UnitAxis{{-v0[0], -v0[1], -v0[2]}};
        // As declination D (from north) and inclination I (down).
        const double I = std::asin(-v[2]);
        const double D = std::atan2(v[0], v[1]);
        sx += std::cos(I) * std::cos(D);
        sy += std::cos(I) * std::sin(D);
        sz += std::sin(I);
    }
    Plain p;
    const double n = axes.size();
    p.R = std::sqrt(sx * sx + sy * sy + sz * sz);
    p.trend = std::atan2(sy, sx) / kDeg;
    p.plunge = std::asin(sz / p.R) / kDeg;
    if (p.plunge < 0) { // report the lower end
        p.plunge = -p.plunge;
        p.trend += 180;
    }
    p.trend = std::fmod(p.trend + 720.0, 360.0);
    p.K = (n - 1) / (n - p.R);
    p.alpha95 = std::acos(1 - (n - p.R) / p.R * (std::pow(20.0, 1 / (n - 1)) - 1)) / kDeg;

    double m[3][3] = {};
    for (const UnitAxis& v : axes)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[i][j] += v[i] * v[j] / n;
    const double q = (m[0][0] + m[1][1] + m[2][2]) / 3;
    const double p1 = m[0][1] * m[0][1] + m[0][2] * m[0][2] + m[1][2] * m[1][2];
    const double p2 = (m[0][0] - q) * (m[0][0] - q) + (m[1][1] - q) * (m[1][1] - q) +
                      (m[2][2] - q) * (m[2][2] - q) + 2 * p1;
    const double pp = std::sqrt(p2 / 6);
    double b[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            b[i][j] = (m[i][j] - (i == j ? q : 0)) / pp;
    const double detB = b[0][0] * (b[1][1] * b[2][2] - b[1][2] * b[2][1]) -
                        b[0][1] * (b[1][0] * b[2][2] - b[1][2] * b[2][0]) +
                        b[0][2] * (b[1][0] * b[2][1] - b[1][1] * b[2][0]);
    const double phi = std::acos(std::max(-1.0, std::min(1.0, detB / 2))) / 3;
    p.eigen[0] = q + 2 * pp * std::cos(phi);
    p.eigen[2] = q + 2 * pp * std::cos(phi + 2 * M_PI / 3);
    p.eigen[1] = 3 * q - p.eigen[0] - p.eigen[2];
    return p;
}
} // namespace

class TestSetStatistics : public QObject {
    Q_OBJECT
private slots:
    void publishedExample();
    void rotationLeavesStatisticsUnchanged();
    void setAcrossThePrimitive();
    void weightsAreQuantities();
    void conesCoverWhatTheyPromise();
    void agreesWithPlainFormulation();
    void degenerateSets();
};

void TestSetStatistics::publishedExample() {
    // Fisher, Lewis & Embleton (1987), Example 5.21 (data in Appendix B2):
    // 26 palaeomagnetic directions, declination/inclination. Printed: mean
    // 144.2/57.2, K = 109, α95 = 2.7°.
    const double data[26][2] = {{122.5, 55.5}, {130.5, 58.0}, {132.5, 44.0}, {148.5, 56.0}, {140.0, 63.0},
                                {133.0, 64.5}, {157.5, 53.0}, {153.0, 44.5}, {140.0, 61.5}, {147.5, 54.5},
                                {142.0, 51.0}, {163.5, 56.0}, {141.0, 59.5}, {156.0, 56.5}, {139.5, 54.0},
                                {153.5, 47.5}, {151.5, 61.0}, {147.5, 58.5}, {141.0, 57.0}, {143.5, 67.5},
                                {131.5, 62.5}, {147.5, 63.5}, {147.0, 55.5}, {149.0, 62.0}, {144.0, 53.5},
                                {139.5, 58.0}};
    QVector<UnitAxis> axes;
    for (const auto& d : data)
        axes.append(line(d[0], d[1]));
    const SetStatistics s = setStatistics(axes, {}, line(140, 60));
    QCOMPARE(s.count, 26);
    QCOMPARE(qRound(s.poleTrend * 10), 1442);
    QCOMPARE(qRound(s.polePlunge * 10), 572);
    QCOMPARE(qRound(s.k), 109);
    QCOMPARE(qRound(s.alpha95 * 10), 27);
    // The exact cone is wider than 140°/√(KN) here (2.63°): the formula matters.
    QVERIFY(s.alpha95 > 140.0 / std::sqrt(s.k * 26) + 0.05);
    // The mean plane is the plane of that pole.
    QVERIFY(qAbs(s.direction - std::fmod(s.poleTrend + 180, 360)) < 1e-9);
    QVERIFY(qAbs(s.angle - (90 - s.polePlunge)) < 1e-9);
}

void TestSetStatistics::rotationLeavesStatisticsUnchanged() {
    QRandomGenerator rng(23);
    for (int trial = 0; trial < 200; ++trial) {
        const UnitAxis mean = uniformAxis(rng);
        const double K = 5 + 200 * rng.generateDouble();
        const int n = 5 + rng.bounded(60);
        QVector<UnitAxis> axes;
        QVector<double> weights;
        for (int i = 0; i < n; ++i) {
            axes.append(randomEnd(rng, fisherSample(rng, mean, K)));
            weights.append(1 + rng.bounded(3));
        }
        const Rotation turn{uniformAxis(rng), 2 * M_PI * rng.generateDouble()};
        QVector<UnitAxis> turned;
        for (const UnitAxis& v : axes)
            turned.append(turn(v));
        const SetStatistics a = setStatistics(axes, weights, mean);
        const SetStatistics b = setStatistics(turned, weights, turn(mean));
        QVERIFY2(angleBetween(turn(a.meanAxis), b.meanAxis) < 1e-7, qPrintable(QString::number(trial)));
        QVERIFY(qAbs(a.resultant - b.resultant) < 1e-9 * n);
        QVERIFY(qAbs(a.k - b.k) < 1e-6 * a.k);
        QVERIFY(qAbs(a.alpha95 - b.alpha95) < 1e-6);
        QVERIFY(qAbs(a.variabilityCone - b.variabilityCone) < 1e-6);
        for (int e = 0; e < 3; ++e)
            QVERIFY(qAbs(a.eigenvalues[e] - b.eigenvalues[e]) < 1e-12);
        QVERIFY(angleBetween(turn(a.eigenvectors[0]), b.eigenvectors[0]) < 1e-5);
    }
}

void TestSetStatistics::setAcrossThePrimitive() {
    // Sub-vertical joints striking north: their poles lie near east and west
    // on the primitive circle, half of them recorded at each end.
    QRandomGenerator rng(7);
    const UnitAxis truth = normalised(line(90, 3));
    QVector<UnitAxis> axes;
    int below = 0;
    for (int i = 0; i < 80; ++i) {
        UnitAxis v = fisherSample(rng, truth, 60);
        if (v[2] > 0) // as a field book has it: the lower-hemisphere pole
            v = {{-v[0], -v[1], -v[2]}};
        below += v[0] < 0; // plotted on the west side
        axes.append(v);
    }
    QVERIFY(below > 10 && below < 70); // the set really straddles the circle
    const SetStatistics s = setStatistics(axes, {}, truth);
    QVERIFY(angleBetween(s.meanAxis, truth) < s.alpha95);
    QVERIFY(s.angle > 80); // a steep plane
    QVERIFY(s.k > 30 && s.k < 120);
    // Summing the lower-hemisphere poles as given goes wrong: the mean
    // leaves the set and K collapses. The oriented sum does not.
    double naive[3] = {0, 0, 0};
    for (const UnitAxis& v : axes)
        for (int k = 0; k < 3; ++k)
            naive[k] += v[k];
    const double naiveR = std::sqrt(naive[0] * naive[0] + naive[1] * naive[1] + naive[2] * naive[2]);
    QVERIFY((80 - 1) / (80 - naiveR) < 0.2 * s.k);
    // Any centre within the set gives the same answer.
    const SetStatistics other = setStatistics(axes, {}, normalised(line(80, -10)));
    QVERIFY(angleBetween(other.meanAxis, s.meanAxis) < 1e-9);
}

void TestSetStatistics::weightsAreQuantities() {
    QRandomGenerator rng(11);
    const UnitAxis mean = normalised(line(200, 40));
    QVector<UnitAxis> axes, repeated;
    QVector<double> weights;
    for (int i = 0; i < 30; ++i) {
        const UnitAxis v = randomEnd(rng, fisherSample(rng, mean, 25));
        const int w = 1 + rng.bounded(4);
        axes.append(v);
        weights.append(w);
        for (int k = 0; k < w; ++k)
            repeated.append(v);
    }
    const SetStatistics a = setStatistics(axes, weights, mean);
    const SetStatistics b = setStatistics(repeated, {}, mean);
    QCOMPARE(a.count, 30);
    QCOMPARE(a.weightedCount, double(repeated.size()));
    QVERIFY(angleBetween(a.meanAxis, b.meanAxis) < 1e-9);
    QVERIFY(qAbs(a.k - b.k) < 1e-9 * b.k);
    QVERIFY(qAbs(a.alpha95 - b.alpha95) < 1e-9);
    for (int e = 0; e < 3; ++e)
        QVERIFY(qAbs(a.eigenvalues[e] - b.eigenvalues[e]) < 1e-12);
}

void TestSetStatistics::conesCoverWhatTheyPromise() {
    // Samples of a known Fisher distribution: the 95 % cone holds the true
    // mean in 95 % of samples, the 68.26 % variability cone holds 68.26 % of
    // the poles, and K estimates the concentration: 2K(N − R) is χ² with
    // 2(N − 1) degrees of freedom (Fisher 1953), so (N − 1)/(N − R) has the
    // mean K(N − 1)/(N − 2).
    QRandomGenerator rng(2024);
    const int trials = 2000, n = 20;
    const double K = 30;
    int covered = 0;
    qint64 inside = 0, all = 0;
    double sumK = 0;
    for (int t = 0; t < trials; ++t) {
        const UnitAxis mean = uniformAxis(rng);
        QVector<UnitAxis> axes;
        for (int i = 0; i < n; ++i)
            axes.append(randomEnd(rng, fisherSample(rng, mean, K)));
        const SetStatistics s = setStatistics(axes, {}, mean);
        covered += angleBetween(s.meanAxis, mean) <= s.alpha95;
        sumK += s.k;
        const double cone = fisherCone(K, 0.6826);
        for (const UnitAxis& v : axes) {
            inside += angleBetween(v, mean) <= cone;
            ++all;
        }
    }
    const double coverage = double(covered) / trials;
    QVERIFY2(coverage > 0.935 && coverage < 0.965, qPrintable(QString::number(coverage)));
    const double fraction = double(inside) / double(all);
    QVERIFY2(qAbs(fraction - 0.6826) < 0.01, qPrintable(QString::number(fraction)));
    QVERIFY2(qAbs(sumK / trials - K * (n - 1) / (n - 2)) < 0.03 * K,
             qPrintable(QString::number(sumK / trials)));
    // The cone of a sample's own K: 1 − e^(−K(1 − cos θ)) = P for a tight set.
    QVERIFY(qAbs(std::cos(fisherCone(200, 0.5) * kDeg) - (1 + std::log(0.5) / 200)) < 1e-12);
}

void TestSetStatistics::agreesWithPlainFormulation() {
    QRandomGenerator rng(5);
    for (int trial = 0; trial < 500; ++trial) {
        const UnitAxis mean = uniformAxis(rng);
        const double K = 3 + 300 * rng.generateDouble();
        const int n = 3 + rng.bounded(200);
        QVector<UnitAxis> axes;
        for (int i = 0; i < n; ++i)
            axes.append(randomEnd(rng, fisherSample(rng, mean, K)));
        const SetStatistics s = setStatistics(axes, {}, mean);
        const Plain p = plainStatistics(axes, s.meanAxis);
        const QString where = QString("trial %1 n %2 K %3").arg(trial).arg(n).arg(K);
        QVERIFY2(angleBetween(s.meanAxis, line(p.trend, p.plunge)) < 1e-7, qPrintable(where));
        QVERIFY2(qAbs(s.resultant - p.R) < 1e-9 * n, qPrintable(where));
        QVERIFY2(qAbs(s.k - p.K) < 1e-6 * p.K, qPrintable(where));
        QVERIFY2(qAbs(s.alpha95 - p.alpha95) < 1e-6, qPrintable(where));
        for (int e = 0; e < 3; ++e)
            QVERIFY2(qAbs(s.eigenvalues[e] - p.eigen[e]) < 1e-9, qPrintable(where));
        // The oriented mean is where the sum of |cos| to the axes is largest:
        // no nearby axis does better.
        auto score = [&](const UnitAxis& m) {
            double sum = 0;
            for (const UnitAxis& v : axes)
                sum += std::fabs(dotOf(v, m));
            return sum;
        };
        const double best = score(s.meanAxis);
        for (int k = 0; k < 20; ++k) {
            const UnitAxis nudge = fisherSample(rng, s.meanAxis, 1e6);
            QVERIFY2(score(nudge) <= best + 1e-12, qPrintable(where));
        }
    }
}

void TestSetStatistics::degenerateSets() {
    const SetStatistics none = setStatistics({}, {}, {{0, 0, 1}});
    QCOMPARE(none.count, 0);
    QVERIFY(std::isnan(none.k));
    const SetStatistics one = setStatistics({planeAxis(120, 40)}, {}, planeAxis(120, 40));
    QCOMPARE(one.count, 1);
    QVERIFY(std::isnan(one.k) && std::isnan(one.alpha95));
    QVERIFY(qAbs(one.direction - 120) < 1e-9 && qAbs(one.angle - 40) < 1e-9);
    // Identical planes: infinitely concentrated, cones of zero.
    const SetStatistics same = setStatistics({planeAxis(10, 70), planeAxis(10, 70)}, {}, planeAxis(10, 70));
    QVERIFY(std::isinf(same.k));
    QCOMPARE(same.alpha95, 0.0);
    QCOMPARE(same.variabilityCone, 0.0);
    // A horizontal plane's pole is vertical; a vertical plane's is horizontal.
    QVERIFY(setStatistics({planeAxis(0, 0)}, {}, {{0, 0, 1}}).polePlunge > 90 - 1e-9);
    QVERIFY(qAbs(setStatistics({planeAxis(250, 90)}, {}, {{1, 0, 0}}).angle - 90) < 1e-9);
}

QTEST_APPLESS_MAIN(TestSetStatistics)
#include "test_setstatistics.moc"
