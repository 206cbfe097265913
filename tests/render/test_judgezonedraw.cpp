// Drawing of the judgement zones: where each list lands for each mode and
// hemisphere, with which fill, and the friction circle and limit lines.
#include "model/datacenter.h"
#include "model/judgezone.h"
#include "pixelprobe.h"
#include "render/stereonet.h"

#include <QPainter>
#include <QtTest>

namespace {

constexpr int kSize = 400;
// Off the pixel grid, as the view's 0.47 w usually is, so that a seam along
// the zones' axis would show.
const NetFrame kNet{QPointF(200.5, 200.5), 150};

// Fill colours of the zone blue (36, 161, 254) over white.
const int kSolid[3] = {169, 218, 255}; // alpha 100
const int kLight[3] = {212, 237, 255}; // alpha 50

bool solid(QRgb c) {
    return near(c, kSolid[0], kSolid[1], kSolid[2], 3);
}
bool light(QRgb c) {
    return near(c, kLight[0], kLight[1], kLight[2], 3);
}

QImage drawn(const JudgeZone& zone, double slopeDirection) {
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(kNet.origin);
    zone.draw(painter, kNet.R, slopeDirection);
    return image;
}

// Screen pixel of zone-frame point (x, y) for a net where the frame's y
// axis is drawn along screen azimuth `towards` (clockwise from north).
QPointF framePixel(double x, double y, double towards) {
    const double a = qDegreesToRadians(towards);
    const QPointF along(std::sin(a), -std::cos(a)); // unit vector on screen
    const QPointF right(-along.y(), along.x());     // frame x, 90 degrees clockwise of y on screen
    return kNet.origin + kNet.R * (y * along + x * right);
}

// A square in the zone frame's right half, touching the y axis.
QVector<QPointF> square(double y0, double y1, double x1) {
    return {QPointF(0, y0), QPointF(x1, y0), QPointF(x1, y1), QPointF(0, y1)};
}

JudgeZone emptyZone(bool upper, bool bigCircle) {
    JudgeZone z;
    z.setModes(upper, bigCircle, true);
    z.frictionRadius = bigCircle ? 1.0 : 0.0;
    return z;
}

int darkOnCircle(const QImage& img, double radius) {
    int n = 0;
    for (int a = 0; a < 360; a += 5)
        n += anyNear(img, kNet.polar(a, radius), 1, [](QRgb c) { return !isWhite(c); }) ? 1 : 0;
    return n;
}

} // namespace

class TestJudgeZoneDraw : public QObject {
    Q_OBJECT
private slots:
    void listsLandOnTheirSides_data();
    void listsLandOnTheirSides();
    void closedZonesAreOneArea();
    void hemisphereTurnsZonesHalfway();
    void envelopeIsOutlineOnly();
    void frictionCircleAndLimitLines();
    void oneAndNoPointListsAreSkipped();
    void viewDrawsZonesBeneathTheNet();
};

void TestJudgeZoneDraw::listsLandOnTheirSides_data() {
    QTest::addColumn<bool>("bigCircle");
    QTest::addColumn<int>("list");         // 0 sliding, 1 margin, 2 toppling
    QTest::addColumn<bool>("alongFrameY"); // drawn with s = +1
    QTest::addColumn<bool>("full");        // alpha 100 (else 50)
    QTest::newRow("great circle sliding") << true << 0 << true << true;
    QTest::newRow("great circle margin") << true << 1 << true << false;
    QTest::newRow("great circle toppling") << true << 2 << false << true;
    QTest::newRow("pole sliding") << false << 0 << false << true;
    QTest::newRow("pole margin") << false << 1 << false << false;
    QTest::newRow("pole toppling") << false << 2 << true << true;
}

void TestJudgeZoneDraw::listsLandOnTheirSides() {
    QFETCH(bool, bigCircle);
    QFETCH(int, list);
    QFETCH(bool, alongFrameY);
    QFETCH(bool, full);
    JudgeZone zone = emptyZone(true, bigCircle);
    QVector<QPointF>* lists[] = {&zone.slidingZone, &zone.marginZone, &zone.topplingZone};
    *lists[list] = square(0.3, 0.7, 0.4);

    // Upper hemisphere, slope dipping 60: the frame's y axis (s = +1) is
    // drawn towards 180 + 60 = 240 on screen.
    const double direction = 60;
    const double plusY = direction + 180;
    const double side = alongFrameY ? plusY : plusY + 180;
    const QImage img = drawn(zone, direction);
    auto fill = full ? solid : light;
    for (const double x : {0.2, -0.2}) // both halves
        QVERIFY2(fill(rgbAt(img, framePixel(x, 0.5, side))),
                 qPrintable(QString::number(rgbAt(img, framePixel(x, 0.5, side)), 16)));
    QVERIFY(isWhite(rgbAt(img, framePixel(0.2, 0.5, side + 180))));
    QVERIFY(isWhite(rgbAt(img, framePixel(0.55, 0.5, side))));
    QVERIFY(isWhite(rgbAt(img, framePixel(0.2, 0.85, side))));
    QVERIFY(isWhite(rgbAt(img, framePixel(0.0, 0.15, side))));
}

void TestJudgeZoneDraw::closedZonesAreOneArea() {
    // A closed zone is filled once across the axis: no seam, no double fill.
    JudgeZone zone = emptyZone(true, true);
    zone.slidingZone = {QPointF(0, 0.2), QPointF(0.3, 0.35), QPointF(0.1, 0.5), QPointF(0.3, 0.65),
                        QPointF(0, 0.8)};
    QImage img = drawn(zone, 0);
    for (double y = 0.3; y <= 0.71; y += 0.05)
        QVERIFY2(solid(rgbAt(img, framePixel(0, y, 180))) && solid(rgbAt(img, framePixel(0.001, y, 180))),
                 qPrintable(QString::number(y)));
    // The outline is the union's: no dashed line along the axis inside it.
    int inside = 0;
    for (int py = int(framePixel(0, 0.3, 180).y()); py <= int(framePixel(0, 0.7, 180).y()); ++py)
        for (int px = int(kNet.origin.x()) - 2; px <= int(kNet.origin.x()) + 2; ++px)
            inside += solid(img.pixel(px, py)) ? 0 : 1;
    QCOMPARE(inside, 0);

    // Margin zones are two open halves: each filled with the light brush.
    zone = emptyZone(true, true);
    zone.marginZone = {QPointF(0.2, 0.3), QPointF(0.5, 0.3), QPointF(0.5, 0.6), QPointF(0.2, 0.6),
                       QPointF(0.2, 0.3)};
    img = drawn(zone, 0);
    QVERIFY(light(rgbAt(img, framePixel(0.35, 0.45, 180))));
    QVERIFY(light(rgbAt(img, framePixel(-0.35, 0.45, 180))));
    QVERIFY(isWhite(rgbAt(img, framePixel(0, 0.45, 180))));
}

void TestJudgeZoneDraw::hemisphereTurnsZonesHalfway() {
    for (double direction : {0.0, 45.0, 130.0, 300.0}) {
        JudgeZone upper = emptyZone(true, true);
        upper.slidingZone = square(0.3, 0.7, 0.2);
        JudgeZone lower = upper;
        lower.upper = false;
        const QImage u = drawn(upper, direction);
        const QImage l = drawn(lower, direction);
        // Upper: towards the opposite of the dip direction; lower: towards it.
        QVERIFY(solid(rgbAt(u, framePixel(0.1, 0.5, direction + 180))));
        QVERIFY(isWhite(rgbAt(u, framePixel(0.1, 0.5, direction))));
        QVERIFY(solid(rgbAt(l, framePixel(0.1, 0.5, direction))));
        QVERIFY(isWhite(rgbAt(l, framePixel(0.1, 0.5, direction + 180))));
        // The two pictures are point reflections of each other.
        for (double y : {0.35, 0.5, 0.65})
            QCOMPARE(solid(rgbAt(u, framePixel(-0.15, y, direction + 180))),
                     solid(rgbAt(l, framePixel(0.15, y, direction))));
    }
}

void TestJudgeZoneDraw::envelopeIsOutlineOnly() {
    JudgeZone zone = emptyZone(true, false);
    for (int i = 0; i <= 90; ++i) {
        const double r = 0.5;
        zone.envelope << (i == 0 ? QPointF(0, 0)
                                 : QPointF(r * std::cos(qDegreesToRadians(double(i))),
                                           r * std::sin(qDegreesToRadians(double(i)))));
    }
    const QImage img = drawn(zone, 0);
    // Pole mode, s = -1: the envelope lies towards the dip direction (north).
    QVERIFY(allNearWhite(img, framePixel(0.15, 0.2, 0), 2)); // not filled
    QVERIFY(allNearWhite(img, framePixel(-0.15, 0.2, 0), 2));
    int ink = 0;
    for (int a = 5; a <= 85; a += 5) // dashed outline along the arc, both halves
        ink += anyNear(img,
                       framePixel(0.5 * std::cos(qDegreesToRadians(double(a))),
                                  0.5 * std::sin(qDegreesToRadians(double(a))), 0),
                       1, [](QRgb c) { return !isWhite(c); }) &&
               anyNear(img,
                       framePixel(-0.5 * std::cos(qDegreesToRadians(double(a))),
                                  0.5 * std::sin(qDegreesToRadians(double(a))), 0),
                       1, [](QRgb c) { return !isWhite(c); });
    QVERIFY2(ink >= 10, qPrintable(QString::number(ink)));
    QVERIFY(allNearWhite(img, framePixel(0.3, -0.3, 0), 3));
}

void TestJudgeZoneDraw::frictionCircleAndLimitLines() {
    // Great-circle mode: drawn below radius 1; pole mode: drawn above 0.
    JudgeZone zone = emptyZone(true, true);
    QCOMPARE(darkOnCircle(drawn(zone, 0), kNet.R), 0); // radius 1
    zone.frictionRadius = 0.6;
    QVERIFY(darkOnCircle(drawn(zone, 0), 0.6 * kNet.R) > 50); // dashed, so not every probe
    zone = emptyZone(true, false);
    QVERIFY(allNearWhite(drawn(zone, 0), kNet.origin, 4)); // radius 0
    zone.frictionRadius = 0.4;
    QVERIFY(darkOnCircle(drawn(zone, 0), 0.4 * kNet.R) > 50);
    QVERIFY(isWhite(rgbAt(drawn(zone, 0), kNet.polar(20, 0.7 * kNet.R))));

    // Included-angle lines, turned with the zones.
    zone = emptyZone(true, true);
    const double b = qDegreesToRadians(30.0);
    zone.limitPoint1 = QPointF(std::sin(b), -std::cos(b));
    zone.limitPoint2 = QPointF(-std::sin(b), -std::cos(b));
    const QImage img = drawn(zone, 90);
    // Upper hemisphere, dip direction 90: lines at 270 +- 30 on screen.
    int hits240 = 0, hits300 = 0, hits270 = 0;
    for (double d = 0.2; d < 0.95; d += 0.05) {
        hits240 += anyNear(img, kNet.polar(240, d * kNet.R), 1, [](QRgb c) { return !isWhite(c); });
        hits300 += anyNear(img, kNet.polar(300, d * kNet.R), 1, [](QRgb c) { return !isWhite(c); });
        hits270 += anyNear(img, kNet.polar(270, d * kNet.R), 1, [](QRgb c) { return !isWhite(c); });
    }
    QVERIFY(hits240 >= 8 && hits300 >= 8);
    QCOMPARE(hits270, 0);

    // Limit points on the x axis (included angle 90) draw no lines.
    zone.limitPoint1 = QPointF(1, 0.000005);
    zone.limitPoint2 = QPointF(-1, 0.000005);
    QVERIFY(allNearWhite(drawn(zone, 0), kNet.polar(90, 0.5 * kNet.R), 2));
}

void TestJudgeZoneDraw::oneAndNoPointListsAreSkipped() {
    JudgeZone zone = emptyZone(true, true);
    zone.slidingZone = {QPointF(0.3, 0.5)};
    zone.topplingZone = {QPointF(0.2, 0.2)};
    const QImage img = drawn(zone, 0);
    QCOMPARE(inkCount(img, img.rect()), 0);
}

void TestJudgeZoneDraw::viewDrawsZonesBeneathTheNet() {
    DataCenter project;
    project.slope.direction = 90;
    project.slope.angle = 60;
    project.slope.calculated = false;
    project.updateSlopeGeometry();
    project.ShowMark = 0;
    project.judgeZone.setModes(true, true, false);
    // A zone reaching beyond the primitive circle: the circle stays black on top.
    project.judgeZone.slidingZone = {QPointF(0, 0.6), QPointF(0.3, 0.6), QPointF(0.3, 1.2), QPointF(0, 1.2)};
    QImage image(500, 500, QImage::Format_ARGB32);
    project.analysisOff = false;
    renderStereonetImage(image, project);
    const NetFrame net = pictureFrame(image);
    // Dip direction 90, upper: the zone lies to the west.
    QVERIFY(solid(rgbAt(image, net.polar(270, 0.8 * net.R) + QPointF(0, 0.1 * net.R))));
    QVERIFY(anyNear(image, net.polar(262, net.R), 1, isDark));
    project.analysisOff = true;
    renderStereonetImage(image, project);
    QVERIFY(isWhite(rgbAt(image, net.polar(270, 0.8 * net.R) + QPointF(0, 0.1 * net.R))));
}

QTEST_MAIN(TestJudgeZoneDraw)
#include "test_judgezonedraw.moc"
