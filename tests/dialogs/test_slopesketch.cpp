#include "model/fonts.h"
#include "render/slopesketch.h"

#include <QImage>
#include <QtTest>

#include <cmath>

// The slope sketch under the overview tree: section geometry, text and the
// direction of the hatching.
class TestSlopeSketch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }
    void setSketchMirrorsForNegativeSlopeDip();
    void sectionBranches();
    void dipText();
    void blankUntilSet();
    void toeAndHatchDirection();
    void upperSlopeAndHeight();

private:
    static QImage render(SlopeSketch& sketch) {
        sketch.resize(240, 160);
        QImage image(sketch.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        sketch.render(&image);
        return image;
    }
    static bool isBlue(QRgb c) { return qBlue(c) > qRed(c) + 60 && qBlue(c) > qGreen(c) + 60; }
    static bool isDark(QRgb c) { return qGray(c) < 100; }
};

void TestSlopeSketch::setSketchMirrorsForNegativeSlopeDip() {
    SlopeSketch sketch;
    QCOMPARE(sketch.faceAngle, 60.0);
    QCOMPARE(sketch.hatchAngle, 30.0);
    QCOMPARE(sketch.shownDip, 300.0);
    sketch.setSketch(-52.5, 40, 12.5);
    QCOMPARE(sketch.faceAngle, 52.5);
    QCOMPARE(sketch.hatchAngle, -40.0);
    QCOMPARE(sketch.shownDip, 12.5);
    sketch.setSketch(52.5, 40, 12.5);
    QCOMPARE(sketch.hatchAngle, 40.0);
    sketch.setSketch(0, 40, 0);
    QCOMPARE(sketch.hatchAngle, -40.0);
}

void TestSlopeSketch::sectionBranches() {
    const double u = 20;
    const QPolygonF gentle = SlopeSketch::sectionPolygon(45, u);
    QCOMPARE(gentle.size(), 7);
    QCOMPARE(gentle.first(), QPointF(0, 0));
    QCOMPARE(gentle.last(), QPointF(0, 0));
    QCOMPARE(gentle[1].x(), 80.0);
    QCOMPARE(gentle[1].y(), -80.0);
    QCOMPARE(gentle[2], QPointF(120, gentle[1].y()));
    QCOMPARE(gentle[3], QPointF(120, 40));
    QCOMPARE(gentle[4], QPointF(-40, 40));
    QCOMPARE(gentle[5], QPointF(-40, 0));

    const QPolygonF steep = SlopeSketch::sectionPolygon(45.1, u);
    QCOMPARE(steep[1].y(), -80.0);
    QCOMPARE(steep[1].x(), 80.0 / std::tan(qDegreesToRadians(45.1)));
    QVERIFY(steep[1].x() < 80.0);

    const QPolygonF flat = SlopeSketch::sectionPolygon(0, u);
    QCOMPARE(flat[1], QPointF(80, 0));
    const QPolygonF shallow = SlopeSketch::sectionPolygon(30, u);
    QCOMPARE(shallow[1].x(), 80.0);
    QCOMPARE(shallow[1].y(), -80.0 * std::tan(qDegreesToRadians(30.0)));
}

void TestSlopeSketch::dipText() {
    QCOMPARE(SlopeSketch::dipText(27.0), QStringLiteral("产状相对边坡视倾角为27°"));
    QCOMPARE(SlopeSketch::dipText(27.5), QStringLiteral("产状相对边坡视倾角为27.5°"));
    QCOMPARE(SlopeSketch::dipText(33.04), QStringLiteral("产状相对边坡视倾角为33°"));
    QCOMPARE(SlopeSketch::dipText(-12.0), QStringLiteral("产状相对边坡视倾角为-12°"));
}

void TestSlopeSketch::blankUntilSet() {
    SlopeSketch sketch;
    QImage image = render(sketch);
    int dark = 0;
    for (int y = 3; y < image.height() - 3; ++y)
        for (int x = 3; x < image.width() - 3; ++x)
            dark += isDark(image.pixel(x, y)) || isBlue(image.pixel(x, y));
    QCOMPARE(dark, 0);
    QVERIFY(isDark(image.pixel(1, 80)));                 // frame
    QVERIFY(isDark(image.pixel(image.width() - 1, 80))); // frame

    sketch.setSketch(60, 30, 250);
    image = render(sketch);
    QVERIFY(!isDark(image.pixel(80, 100)));
}

void TestSlopeSketch::toeAndHatchDirection() {
    // 240 x 160: u = 20, toe at (80, 100); the block spans x -40..120 and
    // y down to 40 around the toe.
    SlopeSketch sketch;
    auto hatchRisesToTheRight = [&](double slopeDip) {
        sketch.setSketch(slopeDip, 35, 20);
        const QImage image = render(sketch);
        [&] { QVERIFY(isDark(image.pixel(80, 100)) || isDark(image.pixel(81, 99))); }();
        // Compare how often a blue pixel continues up-right or down-right,
        // inside the block below the crest.
        int upRight = 0;
        int downRight = 0;
        for (int y = 105; y < 135; ++y) {
            for (int x = 60; x < 180; ++x) {
                if (!isBlue(image.pixel(x, y)))
                    continue;
                upRight += isBlue(image.pixel(x + 6, y - 4));
                downRight += isBlue(image.pixel(x + 6, y + 4));
            }
        }
        return upRight > 2 * downRight && upRight > 20     ? 1
               : downRight > 2 * upRight && downRight > 20 ? -1
                                                           : 0;
    };
    QCOMPARE(hatchRisesToTheRight(50), 1);
    QCOMPARE(hatchRisesToTheRight(-50), -1);
}

void TestSlopeSketch::upperSlopeAndHeight() {
    // With the calculation on, the upper surface rises from the crest at its
    // apparent dip and H is drawn in front of the face; switched off again,
    // the sketch is the plain one, pixel for pixel.
    const double u = 20;
    QCOMPARE(SlopeSketch::upperSectionPolygon(60, 0, u), SlopeSketch::sectionPolygon(60, u));
    const QPolygonF rising = SlopeSketch::upperSectionPolygon(60, 15, u);
    const QPolygonF plain = SlopeSketch::sectionPolygon(60, u);
    QCOMPARE(rising[1], plain[1]);
    QCOMPARE(rising[2].x(), plain[2].x());
    QVERIFY(std::abs((plain[1].y() - rising[2].y()) - (plain[2].x() - plain[1].x()) * std::tan(qDegreesToRadians(15.0))) <
            1e-9);
    // A surface nearly as steep as a steep face stays inside the sketch.
    QVERIFY(SlopeSketch::upperSectionPolygon(85, 84, u)[2].y() >= -6.5 * u);
    QCOMPARE(SlopeSketch::heightText(30), QStringLiteral("H=30 m"));
    QCOMPARE(SlopeSketch::heightText(42.505), QStringLiteral("H=42.51 m"));

    SlopeSketch sketch;
    sketch.setSketch(60, 30, 20);
    const QImage before = render(sketch);
    sketch.setUpperSlope(true, 15, 30);
    const QImage on = render(sketch);
    QVERIFY(on != before);
    // 240 x 160: toe at (80, 100); in front of the face (x < 80) above the
    // toe's level there is the dimension line and its words.
    int dark = 0;
    for (int y = 25; y < 98; ++y)
        for (int x = 5; x < 75; ++x)
            dark += isDark(on.pixel(x, y));
    QVERIFY(dark > 40);
    // The surface behind the crest: the hatching reaches above the crest's
    // level at the right edge of the block.
    const int crestY = 100 - 80;
    bool above = false;
    for (int y = crestY - 30; y < crestY - 3; ++y)
        above = above || isBlue(on.pixel(195, y)) || isDark(on.pixel(195, y));
    QVERIFY(above);
    sketch.setUpperSlope(false);
    QCOMPARE(render(sketch), before);
}

QTEST_MAIN(TestSlopeSketch)
#include "test_slopesketch.moc"
