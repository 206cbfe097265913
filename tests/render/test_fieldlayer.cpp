// The measurement layer: where poles and contours go on the net, the levels,
// the cache that keeps repaints from recomputing, and the drawing itself.
#include "model/datacenter.h"
#include "model/fielddata/fieldview.h"
#include "render/fieldlayer.h"
#include "render/rosediagram.h"
#include "render/stereonet.h"
#include "tests/common/testplanes.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <cmath>

namespace {
Measurement measured(double direction, double angle, int type = Joint, double weight = 1) {
    Measurement m;
    m.direction = direction;
    m.angle = angle;
    m.type = type;
    m.weight = weight;
    return m;
}

int pixelsDiffering(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}
} // namespace

class TestFieldLayer : public QObject {
    Q_OBJECT
private slots:
    // A measured plane's pole lands exactly where the project puts the pole
    // of a structural plane of the same attitude, on both hemispheres.
    void polesMatchPlanePoles() {
        for (const bool upper : {true, false}) {
            DataCenter project;
            project.UpperMode = upper;
            for (double direction : {0.0, 47.5, 135.0, 222.0, 359.0})
                for (double angle : {0.0, 12.0, 45.0, 80.0, 89.0}) {
                    PlaneRecord plane = makePlane(1, direction, angle);
                    project.computePlaneGeometry(plane);
                    const QPointF p = FieldViews::polePoint(direction, angle, upper);
                    QVERIFY2(std::hypot(p.x() - plane.PolePoint.x(), p.y() - plane.PolePoint.y()) < 1e-9,
                             qPrintable(QStringLiteral("%1/%2").arg(direction).arg(angle)));
                }
        }
    }

    // A net point stands for an axis whose plane plots back at that point;
    // beyond the circle it stands for the other hemisphere's axis.
    void axisAndPlaneRoundTrip() {
        for (const bool upper : {true, false}) {
            for (double x = -0.95; x <= 0.95; x += 0.1)
                for (double y = -0.95; y <= 0.95; y += 0.1) {
                    if (x * x + y * y > 0.99)
                        continue;
                    double axis[3];
                    FieldViews::axisAt(x, y, upper, axis);
                    QCOMPARE(std::round(1e12 * (axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2])),
                             1e12);
                    double direction = 0, angle = 0;
                    FieldViews::planeOfAxis(axis, direction, angle);
                    const QPointF back = FieldViews::polePoint(direction, angle, upper);
                    QVERIFY(std::hypot(back.x() - x, back.y() - y) < 1e-9);
                }
            double outside[3];
            FieldViews::axisAt(1.2, 0, upper, outside);
            QVERIFY(upper ? outside[2] < 0 : outside[2] > 0);
        }
    }

    // Levels are evenly stepped by 1, 2, 2.5 or 5 times a power of ten, three
    // to eight of them, none above the maximum; σ levels are even multiples.
    void automaticLevels() {
        for (double max : {0.37, 1.0, 2.9, 7.5, 12.0, 33.3, 99.0, 250.0}) {
            const QVector<double> levels = FieldViews::autoLevels(max, QStringLiteral("%"));
            QVERIFY2(levels.size() >= 3 && levels.size() <= 8, qPrintable(QString::number(max)));
            QVERIFY(levels.last() <= max * (1 + 1e-12));
            const double step = levels.first();
            const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
            QVERIFY(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                    std::fabs(mantissa - 2.5) < 1e-9 || std::fabs(mantissa - 5) < 1e-9);
            for (int i = 1; i < levels.size(); ++i)
                QVERIFY(std::fabs(levels[i] - levels[i - 1] - step) < 1e-9 * max);
        }
        QCOMPARE(FieldViews::autoLevels(9.5, QStringLiteral("sigma")), (QVector<double>{2, 4, 6, 8}));
        QVERIFY(FieldViews::autoLevels(0, QStringLiteral("%")).isEmpty());
        QVERIFY(FieldViews::autoLevels(std::nan(""), QStringLiteral("%")).isEmpty());
    }

    // Contours of a cone-shaped field are circles of the right radius, each
    // one closed line; a level above the peak has none, and lines crossing
    // the primitive are cut at it.
    void contourLinesOfKnownFields() {
        const int n = 81;
        const double extent = 1.2;
        QVector<double> grid(n * n);
        const double step = 2 * extent / (n - 1);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                const double x = -extent + j * step - 0.1, y = -extent + i * step + 0.05;
                grid[i * n + j] = 10 - 10 * std::hypot(x, y);
            }
        const QVector<QPolygonF> lines = FieldViews::contourLines(grid, n, extent, 5.0);
        QCOMPARE(lines.size(), 1);
        const QPolygonF& ring = lines.first();
        QVERIFY(ring.size() > 20);
        QVERIFY(std::hypot(ring.first().x() - ring.last().x(), ring.first().y() - ring.last().y()) < 1e-9);
        for (const QPointF& p : ring)
            QVERIFY(std::fabs(std::hypot(p.x() - 0.1, p.y() + 0.05) - 0.5) < 0.01);
        QVERIFY(FieldViews::contourLines(grid, n, extent, 11.0).isEmpty());

        // A straight front x = 0.3 crossing the whole net: one line from
        // circle to circle.
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                grid[i * n + j] = -extent + j * step;
        const QVector<QPolygonF> front = FieldViews::contourLines(grid, n, extent, 0.3);
        QCOMPARE(front.size(), 1);
        for (const QPointF& p : front.first()) {
            QVERIFY(std::fabs(p.x() - 0.3) < 1e-9);
            QVERIFY(p.x() * p.x() + p.y() * p.y() <= 1 + 1e-9);
        }
        const QPointF a = front.first().first(), b = front.first().last();
        QVERIFY(std::fabs(std::hypot(a.x(), a.y()) - 1) < 1e-9 &&
                std::fabs(std::hypot(b.x(), b.y()) - 1) < 1e-9);
    }

    // One cluster: the maximum lies on it and names its plane; poles follow
    // the hemisphere while the maximum's plane does not.
    void viewOfACluster() {
        FieldData field;
        for (int i = 0; i < 40; ++i)
            field.measurements << measured(120 + (i % 5) - 2, 40 + (i % 3) - 1);
        for (const bool upper : {true, false}) {
            const FieldView view = FieldViews::compute(field, upper);
            QCOMPARE(view.poles.size(), 40);
            QCOMPARE(view.count, 40);
            QVERIFY(view.maxValue > 0);
            // Counting gives a plateau as wide as the cone where it holds every
            // pole: the maximum lies within the cone's half-angle of the centre.
            const double toRad = 0.017453292519943295;
            const double a1 = 120 * toRad, d1 = 40 * toRad;
            const double a2 = view.maxDirection * toRad, d2 = view.maxAngle * toRad;
            const double c = std::sin(d1) * std::sin(d2) * std::cos(a1 - a2) + std::cos(d1) * std::cos(d2);
            QVERIFY2(std::acos(qMin(1.0, c)) / toRad < 8.2,
                     qPrintable(QStringLiteral("%1/%2").arg(view.maxDirection).arg(view.maxAngle)));
            const QPointF pole = FieldViews::polePoint(view.maxDirection, view.maxAngle, upper);
            QVERIFY(std::hypot(view.maxPoint.x() - pole.x(), view.maxPoint.y() - pole.y()) < 1e-6);
            QVERIFY(!view.levels.isEmpty());
            QCOMPARE(view.contours.size(), view.levels.size());
        }
        field.levels = {1, 5, 3};
        QCOMPARE(FieldViews::compute(field, true).levels, (QVector<double>{1, 5}));
    }

    // The view is computed once per change: repaints get the same object,
    // an edit, another hemisphere or another method a new one.
    void viewIsCachedUntilTheDataChange() {
        DataCenter project;
        for (int i = 0; i < 30; ++i)
            project.field.measurements << measured(10 * i, 30);
        const auto first = FieldViews::of(project);
        QCOMPARE(FieldViews::of(project).get(), first.get());
        project.field.measurements[3].angle = 31;
        const auto edited = FieldViews::of(project);
        QVERIFY(edited.get() != first.get());
        project.UpperMode = !project.UpperMode;
        QVERIFY(FieldViews::of(project).get() != edited.get());
        project.UpperMode = !project.UpperMode;
        QCOMPARE(FieldViews::of(project).get(), edited.get());
        project.field.density = DensityMethod::Kamb;
        QVERIFY(FieldViews::of(project).get() != edited.get());
    }

    // The layer shows only with measurements and the switch on; drawn, it
    // puts band colours inside the net and nothing outside it.
    void layerOnAndOff() {
        DataCenter project;
        project.slope.direction = 135;
        project.slope.angle = 65;
        project.updateSlopeGeometry();
        QImage plain(400, 300, QImage::Format_ARGB32);
        renderStereonetImage(plain, project);
        QVERIFY(!FieldViews::layerShown(project));

        for (int i = 0; i < 60; ++i)
            project.field.measurements << measured(200 + (i % 7), 50 + (i % 5), i % 3 + 2);
        QVERIFY(FieldViews::layerShown(project));
        QImage shown(400, 300, QImage::Format_ARGB32);
        renderStereonetImage(shown, project);
        QVERIFY(pixelsDiffering(plain, shown) > 500);
        // The densest band's colour at the cluster's pole.
        const std::shared_ptr<const FieldView> view = FieldViews::of(project);
        const double R = 0.4 * 300;
        const QPointF pole = FieldViews::polePoint(203, 52, project.UpperMode);
        const QColor at = shown.pixelColor(int(0.47 * 400 + R * pole.x() + 6), int(150 - R * pole.y() + 6));
        QVERIFY(at != QColor(Qt::white));

        project.field.showLayer = false;
        QImage hidden(400, 300, QImage::Format_ARGB32);
        renderStereonetImage(hidden, project);
        QCOMPARE(hidden, plain);
    }

    void bandColoursRunFromPaleToDark() {
        const int n = 6;
        for (int i = 1; i < n; ++i)
            QVERIFY(FieldLayer::bandColour(i, n).lightness() < FieldLayer::bandColour(i - 1, n).lightness());
    }

    // Sector totals: every measurement counted once, strikes folded onto
    // the northern half circle, percentages summing to 100.
    void roseSectors() {
        FieldData field;
        field.measurements << measured(90, 30) << measured(270, 60) << measured(95, 10, Joint, 3)
                           << measured(180, 45) << measured(359, 80);
        RoseDiagram::Options o;
        o.strike = true;
        o.sector = 10;
        o.weighted = false;
        QVector<double> bins = RoseDiagram::sectors(field, o);
        QCOMPARE(bins.size(), 18);
        // Strikes 0, 180 (= 0), 5, 90 (= -90) and 269 (= 89): sectors 0..10°,
        // -90..-80° and 80..90° (indices 9, 0 and 17 counted from 270°).
        QCOMPARE(bins[9], 3.0);
        QCOMPARE(bins[0], 1.0);
        QCOMPARE(bins[17], 1.0);
        double total = 0;
        for (double b : bins)
            total += b;
        QCOMPARE(total, 5.0);
        o.weighted = true;
        o.percent = true;
        bins = RoseDiagram::sectors(field, o);
        total = 0;
        for (double b : bins)
            total += b;
        QVERIFY(std::fabs(total - 100) < 1e-9);
        o.strike = false;
        o.sector = 5;
        o.percent = false;
        bins = RoseDiagram::sectors(field, o);
        QCOMPARE(bins.size(), 72);
        QCOMPARE(bins[18], 1.0); // 90°
        QCOMPARE(bins[19], 3.0); // 95°, weight 3
        QCOMPARE(bins[71], 1.0); // 359°

        QImage rose(300, 300, QImage::Format_RGB32);
        RoseDiagram::renderImage(rose, field, o);
        int coloured = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x)
                coloured += QColor(rose.pixel(x, y)).saturation() > 80;
        QVERIFY(coloured > 100);
    }
};

QTEST_MAIN(TestFieldLayer)
#include "test_fieldlayer.moc"
