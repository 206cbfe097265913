// Contours of the density and the rose diagram: shapes that follow from
// geometry (a cone is a circle on the net, a flat density has no lines, the
// rings enclose the nodes above their level), orientation, the cut at the
// primitive, and rose sectors counted by hand.
#include "model/datacenter.h"
#include "model/fielddata/contours.h"
#include "model/fielddata/rose.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

class TestContours : public QObject {
    Q_OBJECT
private slots:
    void onePoleGivesTheConesCircle();
    void linesLieOnTheirLevel();
    void straddlingTheCircleIsCutAtIt();
    void flatDensityHasNoLines();
    void ringsEncloseTheNodesAbove();
    void bandsAreBetweenLevels();
    void roseCountsBySector();
    void roseStrikesAreAxes();
};

namespace {
double signedArea(const QPolygonF& ring) {
    double a = 0;
    for (int k = 0; k < ring.size(); ++k) {
        const QPointF& p = ring[k];
        const QPointF& q = ring[(k + 1) % ring.size()];
        a += p.x() * q.y() - q.x() * p.y();
    }
    return a / 2;
}

double radiusOf(const QPointF& p) {
    return std::hypot(p.x(), p.y());
}

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

QVector<WeightedAxis> clusters(quint32 seed) {
    QRandomGenerator random(seed);
    QVector<WeightedAxis> poles;
    const double sets[3][2] = {{135, 65}, {250, 40}, {20, 88}};
    for (int i = 0; i < 600; ++i) {
        const double* s = sets[i % 3];
        const double d = s[0] + (random.generateDouble() - 0.5) * 30;
        const double a = std::min(90.0, s[1] + (random.generateDouble() - 0.5) * 20);
        poles.append(WeightedAxis{planePole(std::fmod(d + 360, 360), a), 1});
    }
    return poles;
}
} // namespace

void TestContours::onePoleGivesTheConesCircle() {
    // One pole, Schmidt 1 %: 100 inside the cone, 0 outside. The level-50
    // ring is the cone's circle on the net (a small circle projects as a
    // circle), within one grid cell, counter-clockwise; its line is closed.
    const Vec3 pole = planePole(135, 50);
    const QVector<WeightedAxis> poles{WeightedAxis{pole, 1}};
    const DensityGrid g = densityGrid(poles, DensitySettings(), false, 200);
    const QVector<ContourLevel> c = densityContours(g, {50});
    QCOMPARE(c.size(), 1);
    QCOMPARE(c[0].level, 50.0);
    QCOMPARE(c[0].rings.size(), 1);
    QCOMPARE(c[0].lines.size(), 1);
    QCOMPARE(c[0].lines[0].first(), c[0].lines[0].last());
    // The circle: centre and radius from the cone's nearest and farthest
    // points from the net's centre (along the pole's azimuth).
    const QPointF p = netPointOfAxis(pole, false);
    const double rho = radiusOf(p), theta = 2 * std::atan(rho), half = std::acos(0.99);
    const double r1 = std::tan((theta - half) / 2), r2 = std::tan((theta + half) / 2);
    const QPointF u = p / rho;
    const QPointF centre = u * ((r1 + r2) / 2);
    const double radius = (r2 - r1) / 2;
    for (const QPointF& v : c[0].rings[0])
        QVERIFY(std::abs(std::hypot(v.x() - centre.x(), v.y() - centre.y()) - radius) < g.step);
    QVERIFY(signedArea(c[0].rings[0]) > 0);
    QVERIFY(std::abs(signedArea(c[0].rings[0]) - M_PI * radius * radius) < 0.03 * M_PI * radius * radius);
}

void TestContours::linesLieOnTheirLevel() {
    // Every vertex of a line that is not on the primitive lies on a grid
    // edge where the density, linearly interpolated, equals the level.
    const QVector<WeightedAxis> poles = clusters(1);
    for (DensityMethod method : {DensityMethod::Schmidt, DensityMethod::Fisher, DensityMethod::Kamb}) {
        DensitySettings s;
        s.method = method;
        const DensityGrid g = densityGrid(poles, s, false, 80);
        const QVector<double> levels = automaticLevels(g.kernel, g.maxValue);
        QVERIFY(levels.size() >= 3);
        const QVector<ContourLevel> contours = densityContours(g, levels);
        int checked = 0;
        for (const ContourLevel& c : contours)
            for (const QPolygonF& line : c.lines)
                for (const QPointF& v : line) {
                    if (std::abs(radiusOf(v) - 1) < 1e-9)
                        continue;
                    const double fi = (v.x() + g.extent) / g.step, fj = (v.y() + g.extent) / g.step;
                    const int i = int(std::floor(fi + 1e-9)), j = int(std::floor(fj + 1e-9));
                    double value;
                    if (std::abs(fj - std::round(fj)) < 1e-9) { // on a horizontal edge
                        const int jj = int(std::round(fj));
                        const double t = fi - i;
                        value = g.at(i, jj) * (1 - t) + (t > 1e-12 ? g.at(i + 1, jj) * t : 0);
                    } else {
                        QVERIFY(std::abs(fi - std::round(fi)) < 1e-9);
                        const int ii = int(std::round(fi));
                        const double t = fj - j;
                        value = g.at(ii, j) * (1 - t) + (t > 1e-12 ? g.at(ii, j + 1) * t : 0);
                    }
                    QVERIFY2(std::abs(value - c.level) < 1e-6 * std::max(1.0, c.level),
                             qPrintable(QStringLiteral("%1 against %2").arg(value).arg(c.level)));
                    ++checked;
                }
        QVERIFY(checked > 100);
    }
}

void TestContours::straddlingTheCircleIsCutAtIt() {
    // A pole on the primitive: its cone has two halves at opposite ends of a
    // diameter. The rings stay within the circle and the lines end on it.
    for (bool upper : {false, true}) {
        const QVector<WeightedAxis> poles{WeightedAxis{planePole(70, 90), 1}};
        const DensityGrid g = densityGrid(poles, DensitySettings(), upper, 100);
        const QVector<ContourLevel> c = densityContours(g, {50});
        QCOMPARE(c[0].rings.size(), 2);
        QCOMPARE(c[0].lines.size(), 2);
        for (const QPolygonF& ring : c[0].rings) {
            QVERIFY(signedArea(ring) > 0);
            for (const QPointF& v : ring)
                QVERIFY(radiusOf(v) <= 1 + 1e-12);
        }
        for (const QPolygonF& line : c[0].lines) {
            QVERIFY(std::abs(radiusOf(line.first()) - 1) < 1e-12);
            QVERIFY(std::abs(radiusOf(line.last()) - 1) < 1e-12);
            for (int k = 1; k + 1 < line.size(); ++k)
                QVERIFY(radiusOf(line[k]) < 1);
        }
        // The two halves lie at azimuths 70° and 250° of the pole's line.
        const QPointF a = c[0].rings[0].boundingRect().center(), b = c[0].rings[1].boundingRect().center();
        QVERIFY(QPointF::dotProduct(a, b) < -0.8);
    }
}

void TestContours::flatDensityHasNoLines() {
    // A uniform sample is flat at 1 %: below it the region is the whole
    // primitive (one ring along the circle, area π, no line); above it
    // there is nothing.
    const DensityGrid g = densityGrid(fibonacciSphere(100000), DensitySettings(), false, 50);
    const QVector<ContourLevel> c = densityContours(g, {0.5, 2});
    QCOMPARE(c[0].rings.size(), 1);
    QVERIFY(c[0].lines.isEmpty());
    QVERIFY(std::abs(signedArea(c[0].rings[0]) - M_PI) < 0.01);
    QVERIFY(c[1].rings.isEmpty() && c[1].lines.isEmpty());
}

void TestContours::ringsEncloseTheNodesAbove() {
    // Each level's rings hold exactly the nodes within the primitive whose
    // density reaches the level (even-odd over all rings), and outer rings
    // run counter-clockwise, holes clockwise, so the signed areas add up to
    // the region's area.
    const QVector<WeightedAxis> poles = clusters(4);
    DensitySettings s;
    s.method = DensityMethod::Fisher;
    const DensityGrid g = densityGrid(poles, s, true, 60);
    const QVector<double> levels = automaticLevels(g.kernel, g.maxValue);
    const QVector<ContourLevel> contours = densityContours(g, levels);
    for (int k = 0; k < contours.size(); ++k) {
        QPainterPath path = contourBand(contours, k);
        QPainterPath region;
        region.setFillRule(Qt::OddEvenFill);
        double area = 0;
        for (const QPolygonF& ring : contours[k].rings) {
            region.addPolygon(ring);
            region.closeSubpath();
            area += signedArea(ring);
        }
        int nodesIn = 0;
        for (int j = 0; j < g.nodes; ++j)
            for (int i = 0; i < g.nodes; ++i) {
                const QPointF p = g.point(i, j);
                if (radiusOf(p) > 1 - 1e-9)
                    continue;
                const double v = g.at(i, j);
                if (std::abs(v - levels[k]) < 1e-9)
                    continue;
                QCOMPARE(region.contains(p), v > levels[k]);
                nodesIn += v > levels[k];
                // The band holds the nodes from this level to the next.
                const bool inBand = v > levels[k] && (k + 1 == levels.size() || v < levels[k + 1]);
                if (k + 1 == levels.size() || std::abs(v - levels[k + 1]) > 1e-9)
                    QCOMPARE(path.contains(p), inBand);
            }
        // The area within a cell's width of the node count's area.
        QVERIFY(area > 0);
        QVERIFY2(std::abs(area - nodesIn * g.step * g.step) < 0.15 * nodesIn * g.step * g.step + 10 * g.step,
                 qPrintable(QStringLiteral("%1 against %2").arg(area).arg(nodesIn * g.step * g.step)));
    }
}

void TestContours::bandsAreBetweenLevels() {
    // Bands of consecutive levels do not overlap and together make the
    // lowest level's region.
    const QVector<WeightedAxis> poles = clusters(8);
    const DensityGrid g = densityGrid(poles, DensitySettings(), false, 60);
    const QVector<double> levels = automaticLevels(g.kernel, g.maxValue);
    const QVector<ContourLevel> contours = densityContours(g, levels);
    QRandomGenerator random(2);
    for (int m = 0; m < 3000; ++m) {
        const QPointF p(random.generateDouble() * 2 - 1, random.generateDouble() * 2 - 1);
        if (radiusOf(p) > 0.98)
            continue;
        int bands = 0;
        for (int k = 0; k < contours.size(); ++k)
            bands += contourBand(contours, k).contains(p);
        QPainterPath lowest;
        lowest.setFillRule(Qt::OddEvenFill);
        for (const QPolygonF& ring : contours[0].rings)
            lowest.addPolygon(ring);
        QCOMPARE(bands, lowest.contains(p) ? 1 : 0);
    }
}

void TestContours::roseCountsBySector() {
    // Dip directions in 10° sectors, counted by hand; horizontal planes left
    // out; weights and percentages.
    const QVector<double> directions{0, 5, 9.99, 10, 355, 359.9, 180, 181, 90};
    const QVector<double> angles{30, 30, 30, 30, 30, 30, 30, 30, 0};
    const QVector<double> weights{1, 2, 1, 1, 1, 1, 3, 1, 5};
    RoseSettings s;
    s.quantity = RoseQuantity::DipDirection;
    RoseDiagram r = roseDiagram(directions, angles, weights, s);
    QCOMPARE(r.sectors.size(), 36);
    QCOMPARE(r.sectors[0], 3.0);
    QCOMPARE(r.sectors[1], 1.0);
    QCOMPARE(r.sectors[35], 2.0);
    QCOMPARE(r.sectors[18], 2.0);
    QCOMPARE(r.sectors[9], 0.0);
    QCOMPARE(r.excluded, 1);
    QCOMPARE(r.total, 8.0);
    QCOMPARE(r.maxValue, 3.0);
    s.weighted = true;
    s.percent = true;
    r = roseDiagram(directions, angles, weights, s);
    QCOMPARE(r.total, 11.0);
    QVERIFY(std::abs(r.sectors[0] - 400.0 / 11) < 1e-12);
    QVERIFY(std::abs(r.sectors[18] - 400.0 / 11) < 1e-12);
    double sum = 0;
    for (double v : r.sectors)
        sum += v;
    QVERIFY(std::abs(sum - 100) < 1e-9);
    s.sectorWidth = 5;
    r = roseDiagram(directions, angles, weights, s);
    QCOMPARE(r.sectors.size(), 72);
    QVERIFY(std::abs(r.sectors[0] - 100.0 / 11) < 1e-12); // 0
    QVERIFY(std::abs(r.sectors[1] - 300.0 / 11) < 1e-12); // 5 (weight 2) and 9.99
}

void TestContours::roseStrikesAreAxes() {
    // Strike = dip direction − 90 (right-hand rule), as an axis: a plane
    // dipping to 120 strikes 30/210 and counts once, in both sectors'
    // values; a plane dipping to 300 strikes the same.
    RoseSettings s; // strike, 10°, counts
    RoseDiagram r = roseDiagram({120, 300, 95, 85}, {40, 70, 10, 80}, {}, s);
    QCOMPARE(r.sectors.size(), 36);
    QCOMPARE(r.total, 4.0);
    QCOMPARE(r.sectors[3], 2.0);  // 30..40
    QCOMPARE(r.sectors[21], 2.0); // 210..220
    QCOMPARE(r.sectors[0], 1.0);  // 95 − 90 = 5
    QCOMPARE(r.sectors[18], 1.0);
    QCOMPARE(r.sectors[17], 1.0); // 85 − 90 = −5 → 175
    QCOMPARE(r.sectors[35], 1.0);
    // Symmetric, and each half sums to the total.
    double half = 0;
    for (int k = 0; k < 18; ++k) {
        QCOMPARE(r.sectors[k], r.sectors[k + 18]);
        half += r.sectors[k];
    }
    QCOMPARE(half, 4.0);
    // Turning every plane by a multiple of the sector width turns the rose.
    QVector<double> d, a;
    QRandomGenerator random(5);
    for (int i = 0; i < 500; ++i) {
        d << random.bounded(3600) / 10.0;
        a << 1 + random.bounded(89);
    }
    const RoseDiagram before = roseDiagram(d, a, {}, s);
    for (double& x : d)
        x = std::fmod(x + 40, 360);
    const RoseDiagram after = roseDiagram(d, a, {}, s);
    for (int k = 0; k < 36; ++k)
        QCOMPARE(after.sectors[(k + 4) % 36], before.sectors[k]);
}

QTEST_GUILESS_MAIN(TestContours)
#include "test_contours.moc"
