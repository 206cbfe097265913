// Set windows, assignment, density peaks and automatic sets.
#include "fishersample.h"
#include "model/fielddata/setwindows.h"

#include <QtTest>

#include <cmath>

namespace {
constexpr double kDeg = M_PI / 180.0;

double angleBetween(const UnitAxis& a, const UnitAxis& b) {
    const UnitAxis c = crossOf(a, b);
    return std::atan2(std::sqrt(dotOf(c, c)), std::fabs(dotOf(a, b))) / kDeg;
}

// Nodes spread evenly over the upper hemisphere (a Fibonacci lattice).
QVector<UnitAxis> hemisphereNodes(int count) {
    QVector<UnitAxis> nodes;
    const double golden = M_PI * (3.0 - std::sqrt(5.0));
    for (int i = 0; i < count; ++i) {
        const double z = 1.0 - (i + 0.5) / count;
        const double r = std::sqrt(1.0 - z * z);
        nodes.append(UnitAxis{{r * std::cos(golden * i), r * std::sin(golden * i), z}});
    }
    return nodes;
}

// Fisher smoothing (K = 100): each pole spreads exp(K(|cos| − 1)); scaled so
// that a uniform distribution gives 1 (multiples of uniform).
QVector<double> smoothedDensity(const QVector<UnitAxis>& nodes, const QVector<UnitAxis>& poles) {
    const double K = 100;
    const double uniform = poles.size() * -std::expm1(-K) / K; // mean of the kernel sum over the sphere
    QVector<double> values;
    for (const UnitAxis& n : nodes) {
        double sum = 0;
        for (const UnitAxis& p : poles)
            sum += std::exp(K * (std::fabs(dotOf(n, p)) - 1));
        values.append(sum / uniform);
    }
    return values;
}

struct Generated {
    QVector<UnitAxis> poles;
    QVector<int> truth; // generating set, -1 scatter
};

Generated threeSetsAndScatter(QRandomGenerator& rng, const QVector<UnitAxis>& means,
                              const QVector<int>& sizes, double K, int scatter) {
    Generated g;
    for (int s = 0; s < means.size(); ++s)
        for (int i = 0; i < sizes[s]; ++i) {
            g.poles.append(randomEnd(rng, fisherSample(rng, means[s], K)));
            g.truth.append(s);
        }
    for (int i = 0; i < scatter; ++i) {
        g.poles.append(uniformAxis(rng));
        g.truth.append(-1);
    }
    return g;
}
} // namespace

class TestSetWindows : public QObject {
    Q_OBJECT
private slots:
    void windowsAreAxial();
    void overlapGoesToNearestCentre();
    void peaksOfKnownDensity();
    void autoSetsFindTheGeneratedSets();
    void autoSetsHonourCount();
};

void TestSetWindows::windowsAreAxial() {
    // A window about a horizontal pole (a vertical plane striking north)
    // holds poles on both sides of the primitive, whichever end is recorded.
    const QVector<SetWindow> windows{{270, 90, 15}};
    const QVector<UnitAxis> axes{planeAxis(270, 85),  planeAxis(90, 85),    planeAxis(90, 80),
                                 UnitAxis{{1, 0, 0}}, UnitAxis{{-1, 0, 0}}, planeAxis(90, 70),
                                 planeAxis(0, 90)};
    const QVector<int> set = assignToWindows(axes, windows);
    QCOMPARE(set, (QVector<int>{0, 0, 0, 0, 0, -1, -1}));
    // The edge of the cone belongs to it.
    QCOMPARE(assignToWindows({planeAxis(130, 45)}, {{130, 60, 15.0000001}}).first(), 0);
    QCOMPARE(assignToWindows({planeAxis(130, 45)}, {{130, 60, 14.9999}}).first(), -1);
}

void TestSetWindows::overlapGoesToNearestCentre() {
    const QVector<SetWindow> windows{{100, 50, 30}, {140, 50, 30}};
    const QVector<int> set =
        assignToWindows({planeAxis(105, 50), planeAxis(135, 52), planeAxis(300, 10)}, windows);
    QCOMPARE(set[0], 0);
    QCOMPARE(set[1], 1);
    QCOMPARE(set[2], -1);
}

void TestSetWindows::peaksOfKnownDensity() {
    // A density of three Fisher bumps of known centres and heights, one of
    // them on the primitive circle, and a fourth bump 14° from the highest.
    const QVector<UnitAxis> centres{planeAxis(130, 60), planeAxis(20, 90), planeAxis(250, 30),
                                    planeAxis(130, 46)};
    const QVector<double> heights{10, 7, 5, 4};
    const QVector<UnitAxis> nodes = hemisphereNodes(6000);
    QVector<double> values;
    for (const UnitAxis& n : nodes) {
        double v = 0;
        for (int c = 0; c < centres.size(); ++c)
            v += heights[c] * std::exp(200 * (std::fabs(dotOf(n, centres[c])) - 1));
        values.append(v);
    }
    const QVector<DensityPeak> peaks = densityPeaks(nodes, values, 3, 1.0, 15);
    QCOMPARE(peaks.size(), 3);
    QVERIFY(angleBetween(peaks[0].axis, centres[0]) < 2);
    QVERIFY(angleBetween(peaks[1].axis, centres[1]) < 2);
    QVERIFY(angleBetween(peaks[2].axis, centres[2]) < 2);
    QVERIFY(peaks[0].value > peaks[1].value && peaks[1].value > peaks[2].value);
    // Without merging the fourth bump is a peak of its own; a higher
    // threshold drops the lowest.
    QCOMPARE(densityPeaks(nodes, values, 3, 1.0, 5, 2.0).size(), 4);
    // Nor is it by its saddle: 7° from both the density is 3.2, 0.78 of the
    // bump's 4.
    QCOMPARE(densityPeaks(nodes, values, 3, 1.0, 5, 0.75).size(), 3);
    QCOMPARE(densityPeaks(nodes, values, 3, 1.0, 5, 0.85).size(), 4);
    QCOMPARE(densityPeaks(nodes, values, 3, 6.0, 15).size(), 2);
    // The node set and its antipodes give the same peaks.
    QVector<UnitAxis> flipped;
    for (int i = 0; i < nodes.size(); ++i)
        flipped.append(i % 2 ? UnitAxis{{-nodes[i][0], -nodes[i][1], -nodes[i][2]}} : nodes[i]);
    const QVector<DensityPeak> again = densityPeaks(flipped, values, 3, 1.0, 15);
    QCOMPARE(again.size(), 3);
    for (int p = 0; p < 3; ++p)
        QVERIFY(angleBetween(again[p].axis, peaks[p].axis) < 1e-9);
}

void TestSetWindows::autoSetsFindTheGeneratedSets() {
    QRandomGenerator rng(22);
    // A flat joint set, a steep one straddling the primitive and a third.
    const QVector<UnitAxis> means{planeAxis(135, 65), planeAxis(40, 88), planeAxis(250, 30)};
    for (int trial = 0; trial < 10; ++trial) {
        const Generated g = threeSetsAndScatter(rng, means, {80, 60, 40}, 40, 30);
        const QVector<UnitAxis> nodes = hemisphereNodes(4000);
        const QVector<double> density = smoothedDensity(nodes, g.poles);
        const QVector<DensityPeak> peaks = densityPeaks(nodes, density, 4, 3.0, 20);
        AutoSetOptions options;
        options.coneAngle = 25;
        const AutoSets sets = autoSets(g.poles, {}, peaks, options);
        QCOMPARE(sets.centres.size(), 3);
        for (int s = 0; s < 3; ++s) {
            // Which generated set this is, and its members' statistics.
            int match = -1;
            for (int m = 0; m < 3; ++m)
                if (angleBetween(sets.centres[s], means[m]) < 10)
                    match = m;
            QVERIFY2(match >= 0, qPrintable(QString("trial %1 set %2").arg(trial).arg(s)));
            QVector<UnitAxis> members;
            int fromTheSet = 0;
            for (int i = 0; i < g.poles.size(); ++i)
                if (sets.assignment[i] == s) {
                    members.append(g.poles[i]);
                    fromTheSet += g.truth[i] == match;
                }
            const SetStatistics st = setStatistics(members, {}, sets.centres[s]);
            QVERIFY2(angleBetween(st.meanAxis, means[match]) < st.alpha95 * 1.5,
                     qPrintable(QString("trial %1 set %2: %3° off, α95 %4°")
                                    .arg(trial)
                                    .arg(s)
                                    .arg(angleBetween(st.meanAxis, means[match]))
                                    .arg(st.alpha95)));
            QVERIFY(fromTheSet > 0.85 * members.size()); // the scatter within the cone joins too
            // The centre is the set's mean, and the windows reproduce the sets.
            QVERIFY(angleBetween(st.meanAxis, sets.centres[s]) < 1e-6);
        }
        const QVector<int> again = assignToWindows(g.poles, sets.windows);
        int differ = 0;
        for (int i = 0; i < g.poles.size(); ++i)
            differ += again[i] != sets.assignment[i];
        QCOMPARE(differ, 0);
    }
}

void TestSetWindows::autoSetsHonourCount() {
    QRandomGenerator rng(3);
    const QVector<UnitAxis> means{planeAxis(135, 65), planeAxis(40, 88), planeAxis(250, 30)};
    const Generated g = threeSetsAndScatter(rng, means, {120, 60, 30}, 40, 0);
    const QVector<UnitAxis> nodes = hemisphereNodes(3000);
    const QVector<DensityPeak> peaks = densityPeaks(nodes, smoothedDensity(nodes, g.poles), 4, 3.0, 20);
    AutoSetOptions two;
    two.count = 2;
    const AutoSets sets = autoSets(g.poles, {}, peaks, two);
    QCOMPARE(sets.centres.size(), 2);
    QVERIFY(angleBetween(sets.centres[0], means[0]) < 5); // the densest first
    QVERIFY(angleBetween(sets.centres[1], means[1]) < 5);
    for (int i = 0; i < g.poles.size(); ++i)
        if (g.truth[i] == 2)
            QCOMPARE(sets.assignment[i], -1); // the third set stays unassigned
    AutoSetOptions many;
    many.count = 9; // more than there are peaks: the peaks decide
    QCOMPARE(autoSets(g.poles, {}, peaks, many).centres.size(), peaks.size());
}

QTEST_APPLESS_MAIN(TestSetWindows)
#include "test_setwindows.moc"
