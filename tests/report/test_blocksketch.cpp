#include "model/factors/blocksketch.h"
#include "model/fonts.h"

#include <QByteArray>
#include <QImage>
#include <QtTest>

#include <cmath>

// The pictures of the report's working: the planar block's section to
// scale and the wedge seen square to the face.
class TestBlockSketch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }
    void planarSectionIsToScale();
    void waterAndAnchorShowOnlyWhenThere();
    void nothingToDrawGivesNoPicture();
    void wedgeCornersLieOnTheirPlanes();
    void wedgeSeenFromTheFront();
    void dataUriHoldsThePicture();
};

namespace {
constexpr double kDeg = 0.017453292519943295;

bool isBlock(QRgb c) { // the block's brown and its hatching
    return qRed(c) > qGreen(c) + 25 && qGreen(c) > qBlue(c) + 20 && qRed(c) > 120 && qRed(c) < 215;
}
bool isWater(QRgb c) {
    return qBlue(c) > qRed(c) + 120 && qBlue(c) > 150; // the crack's water, not the pressure on the plane
}
bool isAnchor(QRgb c) {
    return qGreen(c) > qRed(c) + 50 && qGreen(c) > qBlue(c) + 20;
}
bool isWedgeShade(QRgb c) {
    return qRed(c) > 230 && qGreen(c) > 150 && qGreen(c) < 225 && qBlue(c) < 195;
}

QRect boundsOf(const QImage& image, bool (*match)(QRgb)) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

int count(const QImage& image, bool (*match)(QRgb)) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += match(image.pixel(x, y));
    return n;
}

PlanarSketch hoekBrayBlock() {
    // Face 60°, plane 30°, H 20 m, crack 4.5 m behind the crest (z from the
    // section's own geometry).
    PlanarSketch s;
    s.faceDip = 60;
    s.planeDip = 30;
    s.height = 20;
    s.crackDistance = 4.5;
    s.crackDepth = 20 - (4.5 + 20 / std::tan(60 * kDeg)) * std::tan(30 * kDeg);
    return s;
}
} // namespace

void TestBlockSketch::planarSectionIsToScale() {
    // The block spans the crack's distance from the toe across and the
    // crest's height up: its picture keeps that ratio, whatever the shape.
    for (const double b : {0.0, 4.5, 15.0}) {
        for (const double upper : {0.0, 10.0}) {
            PlanarSketch s = hoekBrayBlock();
            s.crackDistance = b;
            s.upperDip = upper;
            const QImage image = planarSectionPicture(s);
            QVERIFY(!image.isNull());
            const QRect box = boundsOf(image, isBlock);
            const double across = 20 / std::tan(60 * kDeg) + b;
            const double up = 20 + b * std::tan(upper * kDeg);
            const double ratio = (box.width() / double(box.height())) / (across / up);
            QVERIFY2(std::abs(ratio - 1) < 0.04, qPrintable(QStringLiteral("b %1, ψs %2: ratio %3")
                                                                .arg(b)
                                                                .arg(upper)
                                                                .arg(ratio)));
        }
    }
}

void TestBlockSketch::waterAndAnchorShowOnlyWhenThere() {
    PlanarSketch s = hoekBrayBlock();
    QImage dry = planarSectionPicture(s);
    QCOMPARE(count(dry, isWater), 0);
    QCOMPARE(count(dry, isAnchor), 0);
    s.waterDepth = s.crackDepth / 2;
    s.anchor = true;
    s.anchorForce = 250;
    s.anchorDip = 20;
    const QImage wet = planarSectionPicture(s);
    QVERIFY(count(wet, isWater) > 200);
    QVERIFY(count(wet, isAnchor) > 100);
    // The water stands in the crack from its foot: the crack's water column
    // is as high, to the picture's scale, as zw is to H.
    s.anchor = false;
    s.waterDepth = s.crackDepth; // the crack full: its column spans z
    const QImage full = planarSectionPicture(s);
    const QRect block = boundsOf(full, isBlock);
    int column = 0;
    for (int y = 0; y < full.height(); ++y)
        column += isWater(full.pixel(block.left() + 1, y)) || isWater(full.pixel(block.left(), y)) ||
                  isWater(full.pixel(block.left() - 1, y));
    const double expected = block.height() * s.crackDepth / 20.0;
    QVERIFY2(std::abs(column - expected) < 0.06 * expected + 3,
             qPrintable(QStringLiteral("%1 vs %2").arg(column).arg(expected)));
}

void TestBlockSketch::nothingToDrawGivesNoPicture() {
    PlanarSketch s = hoekBrayBlock();
    s.planeDip = 60; // as steep as the face
    QVERIFY(planarSectionPicture(s).isNull());
    s = hoekBrayBlock();
    s.height = std::nan("");
    QVERIFY(planarSectionPicture(s).isNull());
    s = hoekBrayBlock();
    s.crackDistance = 1000; // beyond the plane's outcrop: z < 0
    s.upperDip = 0;
    QVERIFY(planarSectionPicture(s).isNull());
    WedgeSketch w;
    QVERIFY(wedgePicture(w).isNull()); // all corners at the origin
}

void TestBlockSketch::wedgeCornersLieOnTheirPlanes() {
    const Vec3 a = upwardNormal(150, 55), b = upwardNormal(220, 50), face = upwardNormal(180, 62);
    for (const double upperDip : {0.0, 20.0}) {
        const Vec3 upper = upwardNormal(180, upperDip);
        const double h = 20;
        WedgeSketch w;
        QVERIFY(wedgeCorners(a, b, face, upper, h, w));
        auto on = [](const Vec3& n, const Vec3& p, double d) {
            return std::abs(n[0] * p[0] + n[1] * p[1] + n[2] * p[2] - d) < 1e-9;
        };
        const double dU = upper[2] * h;
        QVERIFY(on(a, w.crestA, 0) && on(face, w.crestA, 0) && on(upper, w.crestA, dU));
        QVERIFY(on(b, w.crestB, 0) && on(face, w.crestB, 0) && on(upper, w.crestB, dU));
        QVERIFY(on(a, w.top, 0) && on(b, w.top, 0) && on(upper, w.top, dU));
        // With a horizontal top the crest is H above the daylight point.
        if (upperDip == 0)
            QCOMPARE(w.crestA[2], h);
    }
    WedgeSketch w;
    QVERIFY(!wedgeCorners(a, a, face, upwardNormal(180, 0), 20, w)); // one plane twice
}

void TestBlockSketch::wedgeSeenFromTheFront() {
    WedgeSketch w;
    w.faceDirection = 180;
    w.faceDip = 62;
    w.nameA = QStringLiteral("结构面1");
    w.nameB = QStringLiteral("结构面2");
    QVERIFY(wedgeCorners(upwardNormal(150, 55), upwardNormal(220, 50), upwardNormal(180, 62),
                         upwardNormal(180, 0), 20, w));
    const QImage image = wedgePicture(w);
    QVERIFY(!image.isNull());
    // Seen from the south, plane 1 (dipping south-east) bounds the wedge on
    // the viewer's left, plane 2 on the right: red left of blue.
    auto meanX = [&](bool (*match)(QRgb)) {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (match(image.pixel(x, y))) {
                    sum += x;
                    ++n;
                }
        return n ? sum / n : -1.0;
    };
    const double red = meanX([](QRgb c) { return qRed(c) > 170 && qGreen(c) < 60 && qBlue(c) < 60; });
    const double blue = meanX([](QRgb c) { return qBlue(c) > 170 && qRed(c) < 60 && qGreen(c) < 120; });
    QVERIFY(red > 0 && blue > 0 && red < blue);
    QVERIFY(count(image, isWedgeShade) > 2000);
}

void TestBlockSketch::dataUriHoldsThePicture() {
    const QImage picture = planarSectionPicture(hoekBrayBlock());
    const QString uri = pngDataUri(picture);
    QVERIFY(uri.startsWith(QStringLiteral("data:image/png;base64,")));
    const QImage back = QImage::fromData(QByteArray::fromBase64(uri.mid(22).toLatin1()), "PNG");
    QCOMPARE(back.convertToFormat(QImage::Format_ARGB32), picture.convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(pngDataUri(QImage()), QStringLiteral("data:image/png;base64,"));
}

QTEST_MAIN(TestBlockSketch)
#include "test_blocksketch.moc"
