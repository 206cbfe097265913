// Picture tests of the stereonet drawing: pixels of the rendered picture are
// probed at positions computed from the net geometry.
#include "model/datacenter.h"
#include "model/displayoptions.h"
#include "model/fonts.h"
#include "pixelprobe.h"
#include "render/stereonet.h"
#include "tests/common/testplanes.h"

#include <QPainter>
#include <QSet>
#include <QTranslator>
#include <QtTest>

namespace {

// Removes the slope face from the picture (an invalid attitude is never drawn).
void dropSlope(DataCenter& project) {
    project.slope.direction = -1;
    project.slope.calculated = false;
}

void recompute(DataCenter& project) {
    project.slope.calculated = false;
    for (PlaneRecord& p : project.planes)
        p.calculated = false;
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
}

// RENDER_TEST_DUMP=<folder> keeps every picture for looking at a failure.
void dump(const QImage& image) {
    static int n = 0;
    const QString dir = qEnvironmentVariable("RENDER_TEST_DUMP");
    if (!dir.isEmpty())
        image.save(QStringLiteral("%1/%2-%3.png").arg(dir, QTest::currentTestFunction()).arg(n++));
}

QImage picture(DataCenter& project, int w = 500, int h = 500) {
    QImage image(w, h, QImage::Format_ARGB32);
    renderStereonetImage(image, project);
    dump(image);
    return image;
}

QImage window(DataCenter& project, int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintStereonetWindow(painter, image.size(), project);
    painter.end();
    return image;
}

// Bounding box of the pixels that differ between two pictures.
QRect diffBox(const QImage& a, const QImage& b) {
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

// A wedge record with hand-placed positions.
PlaneRecord makeWedge(int id, QPointF mid, QPointF pole) {
    PlaneRecord w;
    w.id = id;
    w.direction = 123.44;
    w.angle = 30;
    w.MidPoint = mid;
    w.PolePoint = pole;
    w.calculated = true;
    return w;
}

} // namespace

class TestStereonet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init() { displayOptions() = DisplayOptions(); }

    void netFrame();
    void windowAndPictureScale();
    void kindColours();
    void shortArcsAreTwoChords();
    void hatchingFollowsHemisphere();
    void zeroLengthSlopeKeepsItsLabel();
    void analysisOffShowsOnlyTheNetAndPlanes();
    void wedgeCrosses();
    void labelModes();
    void labelPositions();
    void labelSizeFollowsRadiusAndFontSize();
    void highlightIsOneShot();
    void lettersPassThroughTranslation();
};

void TestStereonet::netFrame() {
    DataCenter project;
    dropSlope(project);
    const QImage img = picture(project); // R = 200, centre (235, 250)
    const NetFrame net = pictureFrame(img);
    QCOMPARE(net.R, 200.0);
    const int p = 20 * 200 / 300; // label pixel size
    const double f = 1.25 * p;

    // The primitive circle all round, the four compass points included.
    for (int a = 0; a < 360; a += 15)
        QVERIFY2(anyNear(img, net.polar(a, net.R), 1, isDark), qPrintable(QString::number(a)));

    // Nothing beyond the letters and numbers.
    for (int a = 0; a < 360; ++a) {
        QVERIFY2(isWhite(rgbAt(img, net.polar(a, net.R + 2 * f + 2))), qPrintable(QString::number(a)));
        QVERIFY2(isWhite(rgbAt(img, net.polar(a, net.R + 2.5 * f + 6))), qPrintable(QString::number(a)));
    }
    // Just outside the circle, away from letters and numbers: white.
    for (int a : {15, 45, 75, 105, 135, 165, 195, 225, 255, 285, 315, 345})
        QVERIFY2(allNearWhite(img, net.polar(a, net.R + 5), 1), qPrintable(QString::number(a)));

    // Ticks: 5 pixels every 10 degrees, 10 pixels every 30 degrees.
    for (int a = 0; a < 360; a += 10) {
        QVERIFY2(anyNear(img, net.polar(a, net.R - 3), 1, isDark), qPrintable(QString::number(a)));
        const bool longTick = a % 30 == 0;
        QVERIFY2(!allNearLight(img, net.polar(a, net.R - 8), 1) == longTick, qPrintable(QString::number(a)));
        QVERIFY(allNearLight(img, net.polar(a, net.R - 14), 1));
    }

    // Bearing numbers beside every 30 degrees except the four compass points.
    for (int a = 10; a < 360; a += 10) {
        if (a % 90 == 0)
            continue; // letters
        const bool numbered = a % 30 == 0 && a % 90 != 0;
        QVERIFY2(!allNearLight(img, net.polar(a, net.R + 0.5 * p), 2) == numbered,
                 qPrintable(QString::number(a)));
    }
    // Bearing numbers stand clear of the circle (checked large): a thin band
    // just outside it holds no ink.
    const QImage large = picture(project, 1000, 1000);
    const NetFrame big = pictureFrame(large);
    for (int a = 30; a < 360; a += 30) {
        if (a % 90 == 0)
            continue;
        const QPointF at = big.polar(a, big.R);
        for (int y = int(at.y()) - 30; y <= int(at.y()) + 30; ++y)
            for (int x = int(at.x()) - 30; x <= int(at.x()) + 30; ++x) {
                const QPointF d = QPointF(x + 0.5, y + 0.5) - big.origin;
                const double r = std::hypot(d.x(), d.y());
                if (r > big.R + 1.5 && r < big.R + 3.5)
                    QVERIFY2(qGray(large.pixel(x, y)) > 200,
                             qPrintable(QStringLiteral("%1 at %2,%3").arg(a).arg(x).arg(y)));
            }
    }
    // Compass letters: ink just outside the circle at N, E, S, W.
    for (int a : {0, 90, 180, 270})
        QVERIFY2(anyNear(img, net.polar(a, net.R + 0.55 * f), 4, isDark), qPrintable(QString::number(a)));

    // Centre cross of arm 0.05 R = 10 pixels.
    for (const QPointF d : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)}) {
        QVERIFY(anyNear(img, net.origin + 7 * d, 0, isDark));
        QVERIFY(!anyNear(img, net.origin + 13 * d, 0, isDark) || d == QPointF(0, -1));
    }
    // "O" to the upper right of the centre.
    QVERIFY(
        !inkBox(img, QRect(int(net.origin.x()) + 3, int(net.origin.y() - f), int(f), int(f) - 4)).isEmpty());
    // The inside of the net is empty.
    for (const QPointF m : {QPointF(0.5, 0.5), QPointF(-0.5, 0.3), QPointF(0.2, -0.6), QPointF(-0.4, -0.4)})
        QVERIFY(allNearWhite(img, net.pixel(m.x(), m.y()), 3));
}

void TestStereonet::windowAndPictureScale() {
    DataCenter project;
    dropSlope(project);

    // A small window keeps R = 160 and clips; the centre is at (141, 150).
    const QImage win = window(project, 300, 300);
    const NetFrame wnet{QPointF(141, 150), 160};
    QVERIFY(anyNear(win, wnet.origin + QPointF(7, 0), 0, isDark)); // centre cross
    QVERIFY(anyNear(win, wnet.origin + QPointF(0, 7), 0, isDark));
    for (int a : {30, 150, 210, 330, 45, 135})
        QVERIFY2(anyNear(win, wnet.polar(a, 160), 1, isDark), qPrintable(QString::number(a)));
    QVERIFY(allNearWhite(win, wnet.polar(45, 120), 2)); // not the picture's radius
    // Frame lines: left, bottom and right, no top.
    QVERIFY(isDark(win.pixel(1, 150)));
    QVERIFY(isDark(win.pixel(150, 298)));
    QVERIFY(isDark(win.pixel(299, 150)));
    QVERIFY(isWhite(win.pixel(20, 1)));
    QVERIFY(isWhite(win.pixel(270, 1)));

    // The same size as a picture scales the net down to R = 120.
    const QImage pic = picture(project, 300, 300);
    const NetFrame pnet = pictureFrame(pic);
    QCOMPARE(pnet.R, 120.0);
    QCOMPARE(pnet.origin, QPointF(141, 150));
    for (int a = 0; a < 360; a += 45)
        QVERIFY2(anyNear(pic, pnet.polar(a, 120), 1, isDark), qPrintable(QString::number(a)));
    QVERIFY(allNearWhite(pic, pnet.polar(45, 160), 2));
    QVERIFY(isWhite(pic.pixel(1, 150))); // no frame on the picture

    // A large window: R = 0.4 * min(w, h).
    const QImage big = window(project, 1000, 700);
    const NetFrame bnet{QPointF(470, 350), 280};
    for (int a = 0; a < 360; a += 45)
        QVERIFY2(anyNear(big, bnet.polar(a, 280), 1, isDark), qPrintable(QString::number(a)));
    QVERIFY(allNearWhite(big, bnet.polar(45, 290), 1));
}

void TestStereonet::kindColours() {
    DataCenter project;
    dropSlope(project);
    project.planes = {makePlane(1, 90, 45, Joint), makePlane(2, 210, 30, Bedding),
                      makePlane(3, 330, 60, Fault), makePlane(4, 60, 70, 7)};
    recompute(project);
    QImage img = picture(project);
    const NetFrame net = pictureFrame(img);
    const QRgb expected[] = {qRgb(0, 0, 255), qRgb(255, 0, 255), qRgb(255, 0, 0), qRgb(0, 0, 255)};
    const std::function<bool(QRgb)> dominant[] = {bluish, magentaish, reddish, bluish};
    for (int i = 0; i < 4; ++i) {
        const PlaneRecord& r = project.planes[i];
        // The filled dot on the arc's middle.
        QCOMPARE(rgbAt(img, net.pixel(r.MidPoint.x(), r.MidPoint.y())), expected[i]);
        // The arc itself, a quarter and three quarters along.
        for (double t : {0.25, 0.75}) {
            const double a = qDegreesToRadians(r.StartAngle + t * r.SpanRadius);
            const QPointF m = r.CenterPoint + r.CircleRadius * QPointF(std::cos(a), std::sin(a));
            QVERIFY2(anyNear(img, net.pixel(m.x(), m.y()), 1, dominant[i]), qPrintable(QString::number(i)));
        }
    }

    // Colours come from the display options; an unknown number falls back.
    displayOptions().jointColor = 8;  // green
    displayOptions().faultColor = 99; // not a colour: default red
    img = picture(project);
    QCOMPARE(rgbAt(img, net.pixel(project.planes[0].MidPoint.x(), project.planes[0].MidPoint.y())),
             qRgb(0, 255, 0));
    QCOMPARE(rgbAt(img, net.pixel(project.planes[2].MidPoint.x(), project.planes[2].MidPoint.y())),
             qRgb(255, 0, 0));

    // Poles take the kind colour too.
    project.BigCircle = false;
    img = picture(project);
    QCOMPARE(rgbAt(img, net.pixel(project.planes[1].PolePoint.x(), project.planes[1].PolePoint.y())),
             qRgb(255, 0, 255));
    QVERIFY(allNearWhite(img, net.pixel(project.planes[1].MidPoint.x(), project.planes[1].MidPoint.y()), 3));
}

void TestStereonet::shortArcsAreTwoChords() {
    DataCenter project;
    dropSlope(project);
    PlaneRecord r = makePlane(1, 0, 0);
    r.StartPoint = QPointF(0, -0.5);
    r.MidPoint = QPointF(0.25, 0);
    r.EndPoint = QPointF(0, 0.5);
    r.CenterPoint = QPointF(0, 0);
    r.CircleRadius = 0.5;
    r.StartAngle = 270;
    r.calculated = true;
    const QPointF onChord(0.125, -0.25);
    const QPointF onArc(0.5 * std::cos(qDegreesToRadians(273.0)), 0.5 * std::sin(qDegreesToRadians(273.0)));

    r.SpanRadius = 5.9;
    project.planes = {r};
    QImage img = picture(project);
    const NetFrame net = pictureFrame(img);
    QVERIFY(anyNear(img, net.pixel(onChord.x(), onChord.y()), 1, bluish));
    QVERIFY(anyNear(img, net.pixel(0.125, 0.25), 1, bluish));

    project.planes[0].SpanRadius = 6.0;
    img = picture(project);
    QVERIFY(allNearWhite(img, net.pixel(onChord.x(), onChord.y()), 2));
    QVERIFY(anyNear(img, net.pixel(onArc.x(), onArc.y()), 1, bluish));
    QVERIFY(allNearWhite(
        img, net.pixel(0.5 * std::cos(qDegreesToRadians(290.0)), 0.5 * std::sin(qDegreesToRadians(290.0))),
        2));
    QCOMPARE(rgbAt(img, net.pixel(0.25, 0)), qRgb(0, 0, 255)); // the dot stays at the middle
}

void TestStereonet::hatchingFollowsHemisphere() {
    // Slope 0/45: its circle has centre (0, 1) upper and (0, -1) lower, radius sqrt 2.
    for (bool upper : {true, false}) {
        DataCenter project;
        project.UpperMode = upper;
        recompute(project);
        const PlaneRecord& s = project.slope;
        QVERIFY(s.calculated);
        QImage img = picture(project);
        const NetFrame net = pictureFrame(img);
        const QPointF c = net.pixel(s.CenterPoint.x(), s.CenterPoint.y());
        const double rPix = net.R * s.CircleRadius;
        // Ticks at arc lengths (i + 0.5) * 0.1 R from the arc's start.
        for (int i = 2; i <= 18; i += 4) {
            const double a = qDegreesToRadians(s.StartAngle) + (i + 0.5) * 0.1 * net.R / rPix;
            const QPointF point = c + rPix * QPointF(std::cos(a), -std::sin(a));
            const QPointF towards = (c - point) / rPix;
            const QPointF inner = point + 0.035 * net.R * towards;
            const QPointF outer = point - 0.035 * net.R * towards;
            const QString where = QStringLiteral("upper %1, tick %2").arg(upper).arg(i);
            QVERIFY2(anyNear(img, upper ? inner : outer, 1, isDark), qPrintable(where));
            QVERIFY2(allNearWhite(img, upper ? outer : inner, 1), qPrintable(where));
        }
        // The dot on the middle of the slope circle.
        QVERIFY(isDark(rgbAt(img, net.pixel(s.MidPoint.x(), s.MidPoint.y()))));
    }
}

void TestStereonet::zeroLengthSlopeKeepsItsLabel() {
    DataCenter project;
    project.analysisOff = false;
    project.ShowMark = 1;
    PlaneRecord& s = project.slope;
    s.StartPoint = s.MidPoint = s.EndPoint = QPointF(0.5, 0);
    s.SpanRadius = 0;
    s.calculated = true;
    const QImage img = picture(project);
    const NetFrame net = pictureFrame(img);
    QVERIFY(allNearWhite(img, net.pixel(0.5, 0), 3)); // no dot, no line
    QVERIFY(!inkBox(img, QRect(int(net.pixel(0.5, 0).x()) + 10, int(net.pixel(0.5, 0).y()) - 14, 14, 15))
                 .isEmpty());
}

void TestStereonet::analysisOffShowsOnlyTheNetAndPlanes() {
    auto planes = [] {
        return QList<PlaneRecord>{makePlane(1, 90, 45), makePlane(2, 160, 35, Fault),
                                  makePlane(3, 250, 60, Bedding)};
    };
    DataCenter full;
    full.planes = planes();
    full.wedges = {makeWedge(102, QPointF(0.3, 0.3), QPointF(-0.3, -0.1)),
                   makeWedge(203, QPointF(-0.2, 0.5), QPointF(0.2, -0.5))};
    full.judgeZone.frictionRadius = 0.5;
    full.judgeZone.limitPoint1 = QPointF(0.5, -0.866);
    full.judgeZone.limitPoint2 = QPointF(-0.5, -0.866);
    full.judgeZone.slidingZone = {QPointF(0, 0.2), QPointF(0.4, 0.3), QPointF(0, 0.6)};
    full.ShowMark = 3;
    recompute(full);

    DataCenter bare;
    bare.planes = planes();
    bare.ShowMark = 0;
    recompute(bare);

    for (bool bigCircle : {true, false}) {
        full.BigCircle = bare.BigCircle = bigCircle;
        full.analysisOff = true;
        QCOMPARE(picture(full), picture(bare));
        full.analysisOff = false;
        const QImage on = picture(full);
        QVERIFY(on != picture(bare));
        // The zone fill appears with the analysis on.
        const NetFrame net = pictureFrame(on);
        QVERIFY(near(rgbAt(on, net.pixel(0.05, -0.25)), 169, 218, 255, 3));
    }
}

void TestStereonet::wedgeCrosses() {
    DataCenter project;
    dropSlope(project);
    project.analysisOff = false;
    project.ShowMark = 0;
    PlaneRecord hidden = makeWedge(304, QPointF(-0.5, -0.2), QPointF(-0.5, -0.2));
    hidden.calculated = false;
    project.wedges = {makeWedge(102, QPointF(0.3, 0.3), QPointF(-0.35, -0.25)), hidden};
    QImage img = picture(project);
    const NetFrame net = pictureFrame(img);
    auto armsRed = [&](const QImage& image, QPointF m, const std::function<bool(QRgb)>& colour) {
        const QPointF c = net.pixel(m.x(), m.y());
        for (const QPointF d : {QPointF(3, 3), QPointF(-3, -3), QPointF(3, -3), QPointF(-3, 3)})
            if (!anyNear(image, c + d, 1, colour))
                return false;
        return true;
    };
    QVERIFY(armsRed(img, QPointF(0.3, 0.3), reddish));
    QVERIFY(allNearWhite(img, net.pixel(0.3, 0.3) + QPointF(9, 0), 1)); // 5-pixel arms only
    QVERIFY(allNearWhite(img, net.pixel(-0.35, -0.25), 6));             // not at the pole
    QVERIFY(allNearWhite(img, net.pixel(-0.5, -0.2), 6));               // not calculated

    project.BigCircle = false;
    img = picture(project);
    QVERIFY(armsRed(img, QPointF(-0.35, -0.25), reddish));
    QVERIFY(allNearWhite(img, net.pixel(0.3, 0.3), 6));

    // Highlighted once: green and 3 pixels wide, then red again.
    project.wedges[0].highlighted = true;
    img = picture(project);
    QVERIFY(!project.wedges[0].highlighted);
    QVERIFY(armsRed(img, QPointF(-0.35, -0.25), greenish));
    const QPointF c = net.pixel(-0.35, -0.25);
    const QRect around(int(c.x()) - 7, int(c.y()) - 7, 15, 15);
    const int thick = inkCount(img, around);
    img = picture(project);
    QVERIFY(armsRed(img, QPointF(-0.35, -0.25), reddish));
    QVERIFY(thick >= 2 * inkCount(img, around));
}

void TestStereonet::labelModes() {
    DataCenter project;
    project.analysisOff = false;
    project.planes = {makePlane(1, 120, 45), makePlane(2, 250, 30, Fault, QStringLiteral("f1"))};
    recompute(project);
    auto at = [&](int mode) {
        project.ShowMark = qint16(mode);
        return picture(project);
    };

    // Great circles: modes 2 and 3 are the same, 1 differs, 0 has no text.
    project.BigCircle = true;
    const QImage g0 = at(0), g1 = at(1), g2 = at(2), g3 = at(3);
    QCOMPARE(g2, g3);
    QVERIFY(g1 != g0);
    QVERIFY(g2 != g1);

    // Poles: mode 2 writes nothing at all (not even the slope's label differs
    // from mode 3), mode 3 adds pole labels.
    project.BigCircle = false;
    dropSlope(project);
    const QImage p0 = at(0), p1 = at(1), p2 = at(2), p3 = at(3);
    QCOMPARE(p2, p0);
    QVERIFY(p1 != p0);
    QVERIFY(p3 != p0);
    const NetFrame net = pictureFrame(p3);
    const QPointF pole = net.pixel(project.planes[0].PolePoint.x(), project.planes[0].PolePoint.y());
    const QRect box = diffBox(p0, p3);
    QVERIFY(box.intersects(QRect(int(pole.x()) + 10, int(pole.y()) - 13, 20, 14)));

    // Wedges: mode 1 and 3 labelled, mode 2 not.
    project.planes.clear();
    project.wedges = {makeWedge(205, QPointF(0.2, 0.2), QPointF(0.2, 0.2))};
    const QImage w0 = at(0), w1 = at(1), w2 = at(2), w3 = at(3);
    QCOMPARE(w2, w0);
    const QRect w1box = diffBox(w0, w1);
    QVERIFY(!w1box.isEmpty());
    QVERIFY(qAbs(w1box.left() - (int(net.R * 0.2) + 10 + int(net.origin.x()))) <= 3);
    QVERIFY(diffBox(w0, w3).width() > 2 * w1box.width()); // "2×5:123.4°∠30°" is longer than "2×5"
}

void TestStereonet::labelPositions() {
    DataCenter project;
    project.analysisOff = false;
    dropSlope(project);
    const int p = 20 * 200 / 300;
    // Upper hemisphere, direction 100: the end with the larger x is the start
    // point (azimuth 10) in the upper half; direction 80: the end point
    // (azimuth 170) in the lower half, so the text moves 20 pixels down.
    for (double direction : {100.0, 80.0}) {
        project.planes = {makePlane(1, direction, 40)};
        recompute(project);
        project.ShowMark = 0;
        const QImage none = picture(project);
        project.ShowMark = 2;
        const QImage labelled = picture(project);
        const NetFrame net = pictureFrame(none);
        const PlaneRecord& r = project.planes[0];
        const QPointF a = r.EndPoint.x() > r.StartPoint.x() ? r.EndPoint : r.StartPoint;
        const double x = net.origin.x() + int(net.R * a.x() + p);
        const double y = net.origin.y() + (a.y() < 0 ? int(-(net.R * a.y() - 20)) : int(-net.R * a.y()));
        const QRect box = diffBox(none, labelled);
        const QString where = QStringLiteral("direction %1: box %2,%3 %4x%5 expected %6,%7")
                                  .arg(direction)
                                  .arg(box.left())
                                  .arg(box.top())
                                  .arg(box.width())
                                  .arg(box.height())
                                  .arg(x)
                                  .arg(y);
        QVERIFY2(box.left() >= x - 1 && box.left() <= x + 3, qPrintable(where));
        QVERIFY2(box.top() >= y - 1.3 * p && box.bottom() <= y + 0.45 * p && box.bottom() >= y - 2,
                 qPrintable(where));
        QVERIFY2(box.width() > 6 * p, qPrintable(where)); // "1(节理):100°∠40°"
    }

    // Mode 1: the number beside the arc's middle.
    project.planes = {makePlane(3, 100, 40)};
    recompute(project);
    project.ShowMark = 0;
    const QImage none = picture(project);
    project.ShowMark = 1;
    const QImage one = picture(project);
    const NetFrame net = pictureFrame(none);
    const QPointF m = project.planes[0].MidPoint;
    const QRect box = diffBox(none, one);
    QVERIFY(qAbs(box.left() - (net.origin.x() + int(net.R * m.x() + 10))) <= 3);
    QVERIFY(qAbs(box.bottom() - (net.origin.y() + int(-net.R * m.y()))) <= 2);
    QVERIFY(box.width() < p);
}

void TestStereonet::labelSizeFollowsRadiusAndFontSize() {
    DataCenter project;
    project.analysisOff = false;
    dropSlope(project);
    project.planes = {makePlane(8, 100, 40)};
    recompute(project);
    auto labelHeight = [&](int size, int fontSize) {
        displayOptions().fontSize = fontSize;
        project.ShowMark = 0;
        const QImage none = picture(project, size, size);
        project.ShowMark = 1;
        return diffBox(none, picture(project, size, size)).height();
    };
    const int h20 = labelHeight(750, 20); // R = 300: 20-pixel font
    QVERIFY2(h20 >= 11 && h20 <= 20, qPrintable(QString::number(h20)));
    const int h40 = labelHeight(750, 40);
    QVERIFY2(h40 >= 2 * h20 - 3 && h40 <= 2 * h20 + 3, qPrintable(QString::number(h40)));
    const int half = labelHeight(375, 20); // R = 150: 10-pixel font
    QVERIFY2(half >= h20 / 2 - 2 && half <= h20 / 2 + 2, qPrintable(QString::number(half)));
    // A size the settings would never hold is drawn as the default.
    QCOMPARE(labelHeight(750, 60), h20);
}

void TestStereonet::highlightIsOneShot() {
    DataCenter project;
    dropSlope(project);
    project.planes = {makePlane(1, 90, 45)};
    recompute(project);
    const PlaneRecord& r = project.planes[0];
    const QImage normal = picture(project);
    const NetFrame net = pictureFrame(normal);
    // A point on the arc, away from its dot.
    const double a = qDegreesToRadians(r.StartAngle + 0.3 * r.SpanRadius);
    const QPointF on = net.pixel(r.CenterPoint.x(), r.CenterPoint.y()) +
                       net.R * r.CircleRadius * QPointF(std::cos(a), -std::sin(a));
    const QRect around(int(on.x()) - 4, int(on.y()) - 4, 9, 9);
    QVERIFY(anyNear(normal, on, 1, bluish));
    const int thin = inkCount(normal, around);

    project.planes[0].highlighted = true;
    QImage img = picture(project);
    QVERIFY(!project.planes[0].highlighted);
    QVERIFY2(inkCount(img, around) >= 2 * thin,
             qPrintable(QStringLiteral("%1 %2").arg(thin).arg(inkCount(img, around))));
    QVERIFY(anyNear(img, on, 1, bluish)); // colour unchanged
    QCOMPARE(picture(project), normal);

    // Poles: a green 3-pixel ring around the kind-coloured dot.
    project.BigCircle = false;
    const QImage poleNormal = picture(project);
    project.planes[0].highlighted = true;
    img = picture(project);
    QVERIFY(!project.planes[0].highlighted);
    const QPointF pole = net.pixel(r.PolePoint.x(), r.PolePoint.y());
    QCOMPARE(rgbAt(img, pole), qRgb(0, 0, 255));
    QVERIFY(anyNear(img, pole + QPointF(4, 0), 1, greenish));
    QVERIFY(!anyNear(poleNormal, pole, 6, greenish));
    QCOMPARE(picture(project), poleNormal);
}

namespace {
// Records every text the drawing asks the translation call for.
class RecordingTranslator : public QTranslator {
public:
    QSet<QPair<QString, QString>> asked;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
        const_cast<RecordingTranslator*>(this)->asked.insert(
            {QString::fromUtf8(context), QString::fromUtf8(source)});
        return QString();
    }
};
} // namespace

void TestStereonet::lettersPassThroughTranslation() {
    RecordingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    DataCenter project;
    project.analysisOff = false;
    project.ShowMark = 1;
    project.analyse();
    picture(project);
    QCoreApplication::removeTranslator(&translator);
    QSet<QString> letters;
    for (const auto& asked : qAsConst(translator.asked))
        if (asked.first != QLatin1String("DataCenter"))
            letters.insert(asked.second);
    for (const char* letter : {"O", "N", "E", "S", "W"})
        QVERIFY2(letters.contains(QLatin1String(letter)), letter);
    // The slope's own mark in labelling mode 1.
    QVERIFY(translator.asked.contains({QStringLiteral("DataCenter"), QStringLiteral("S")}));
}

QTEST_MAIN(TestStereonet)
#include "test_stereonet.moc"
