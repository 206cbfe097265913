// The measurement layer: where poles and contours go on the net, the levels,
// the cache that keeps repaints from recomputing, and the drawing itself.
#include "model/datacenter.h"
#include "model/fielddata/fieldview.h"
#include "model/fielddata/sphere.h"
#include "render/fieldlayer.h"
#include "render/rosepicture.h"
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
            FieldData field;
            QList<PlaneRecord> planes;
            for (double direction : {0.0, 47.5, 135.0, 222.0, 359.0})
                for (double angle : {0.0, 12.0, 45.0, 80.0, 89.0}) {
                    PlaneRecord plane =
                        makePlane(1, direction, angle, int(field.measurements.size() % 3 + 2));
                    project.computePlaneGeometry(plane);
                    planes << plane;
                    field.measurements << measured(direction, angle, plane.type);
                }
            const FieldView view = FieldViews::compute(field, upper);
            QCOMPARE(view.poles.size(), planes.size());
            for (int k = 0; k < planes.size(); ++k) {
                const QPointF d = view.poles[k] - planes[k].PolePoint;
                QVERIFY2(std::hypot(d.x(), d.y()) < 1e-9,
                         qPrintable(QStringLiteral("%1/%2").arg(planes[k].direction).arg(planes[k].angle)));
                QCOMPARE(view.kinds[k], planes[k].type);
            }
        }
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
            const QPointF pole = netPointOfAxis(planePole(view.maxDirection, view.maxAngle), upper);
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
        const QPointF pole = netPointOfAxis(planePole(203, 52), project.UpperMode);
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

    // The rose counts weights (Terzaghi's included) only when asked; a
    // strike rose fills the northern half only; a dip-direction rose shows
    // a cluster where it lies.
    void rosePictures() {
        FieldData field;
        for (int i = 0; i < 20; ++i)
            field.measurements << measured(100 + i % 3, 30);
        field.measurements << measured(10, 80, Joint, 5);
        Traverse scanline;
        scanline.id = 1;
        scanline.trend = 100;
        for (Measurement& m : field.measurements)
            m.traverse = 1;
        field.traverses << scanline;
        RoseSettings settings;
        settings.weighted = false;
        QCOMPARE(RosePicture::roseOf(field, settings).total, 21.0);
        settings.weighted = true;
        QCOMPARE(RosePicture::roseOf(field, settings).total, 25.0);
        field.terzaghi = true;
        QVERIFY(RosePicture::roseOf(field, settings).total > 25.0);

        auto colouredIn = [](const QImage& image, const QRect& area) {
            int n = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    n += QColor(image.pixel(x, y)).saturation() > 80;
            return n;
        };
        QImage strike(400, 400, QImage::Format_RGB32);
        RosePicture::renderImage(strike, field, settings);
        // Strikes 10..12° and 280°: sectors east and west of north, above the centre line.
        int lowest = 0;
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 400; ++x)
                if (QColor(strike.pixel(x, y)).saturation() > 80)
                    lowest = y;
        QVERIFY(lowest > 100);
        QVERIFY(colouredIn(strike, QRect(0, lowest + 1, 400, 399 - lowest)) == 0);

        settings.quantity = RoseQuantity::DipDirection;
        QImage dip(400, 400, QImage::Format_RGB32);
        RosePicture::renderImage(dip, field, settings);
        // Dip directions 100..102°: east-south-east of the centre, nothing west of it.
        const int east = colouredIn(dip, QRect(230, 150, 170, 150));
        const int west = colouredIn(dip, QRect(0, 150, 170, 150));
        QVERIFY2(east > 200 && west == 0, qPrintable(QStringLiteral("%1 %2").arg(east).arg(west)));
    }
};

QTEST_MAIN(TestFieldLayer)
#include "test_fieldlayer.moc"
