// Cones about an axis on the equal-angle net: the drawable circles, arcs and
// chords of set windows and of confidence and variability cones.
#include "fishersample.h"
#include "model/fielddata/setgeometry.h"
#include "model/fielddata/sphere.h"

#include <QtTest>

#include <cmath>

namespace {
constexpr double kDeg = M_PI / 180.0;

double angleFromAxis(const UnitAxis& axis, const Vec3& v) {
    return std::acos(qMin(1.0, std::fabs(v[0] * axis[0] + v[1] * axis[1] + v[2] * axis[2]))) / kDeg;
}

double distance(const QPointF& a, const QPointF& b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

double distanceToPiece(const QPointF& q, const NetCurvePiece& piece) {
    const double ends = qMin(distance(q, piece.start), distance(q, piece.end));
    if (piece.kind == NetCurvePiece::Segment) {
        const QPointF d = piece.end - piece.start;
        const double t = QPointF::dotProduct(q - piece.start, d) / QPointF::dotProduct(d, d);
        return t < 0 || t > 1 ? ends : distance(q, piece.start + t * d);
    }
    const double around = std::atan2(q.y() - piece.centre.y(), q.x() - piece.centre.x()) / kDeg;
    const double from = std::fmod(around - piece.startAngle + 720, 360);
    const double onCircle = std::fabs(distance(q, piece.centre) - piece.radius);
    return piece.kind == NetCurvePiece::Circle || from <= pieceSpan(piece) ? onCircle : ends;
}
} // namespace

class TestSetGeometry : public QObject {
    Q_OBJECT
private slots:
    void randomCones();
    void knownAndDegenerateCones();
};

// Random axes, half-angles and hemispheres. Every point of every piece lies
// inside the primitive at the half-angle from the axis (mapped back by the
// inverse projection); the cone's points on the sphere, projected one by one
// (a second formulation), each lie on a piece; a cone within the hemisphere
// is one whole circle, one reaching past it two arcs whose ends are
// antipodal pairs on the primitive.
void TestSetGeometry::randomCones() {
    QRandomGenerator rng(20261208u);
    int arcs = 0, circles = 0;
    for (int run = 0; run < 600; ++run) {
        const bool upper = rng.bounded(2);
        const UnitAxis axis = randomEnd(rng, uniformAxis(rng));
        const double halfAngle = run % 10 == 0 ? 90 : 0.2 + 89.8 * rng.generateDouble();
        const QVector<NetCurvePiece> pieces = smallCirclePieces(axis, halfAngle, upper);
        const double theta = std::acos(std::fabs(axis[2])) / kDeg; // from the vertical
        if (theta + halfAngle < 90 - 1e-9) {
            QCOMPARE(pieces.size(), 1);
            QCOMPARE(int(pieces[0].kind), int(NetCurvePiece::Circle));
        } else if (theta + halfAngle > 90 + 1e-6 && halfAngle < 90) {
            QCOMPARE(pieces.size(), 2);
            const NetCurvePiece &a = pieces[0], &b = pieces[1];
            QVERIFY((distance(a.start, -b.start) < 1e-9 && distance(a.end, -b.end) < 1e-9) ||
                    (distance(a.start, -b.end) < 1e-9 && distance(a.end, -b.start) < 1e-9));
        }
        for (const NetCurvePiece& piece : pieces) {
            arcs += piece.kind == NetCurvePiece::Arc;
            circles += piece.kind == NetCurvePiece::Circle;
            // A chord stands for a circle of radius over 10⁴: within 10⁻⁴ rad.
            const double tolerance = piece.kind == NetCurvePiece::Segment ? 0.01 : 1e-7;
            for (int k = 0; k <= 40; ++k) {
                const QPointF q = piecePoint(piece, k / 40.0);
                QVERIFY(std::hypot(q.x(), q.y()) <= 1 + 1e-9);
                QVERIFY(std::fabs(angleFromAxis(axis, netDirection(q, upper)) - halfAngle) < tolerance);
            }
        }
        const UnitAxis helper = std::fabs(axis[2]) < 0.9 ? UnitAxis{{0, 0, 1}} : UnitAxis{{1, 0, 0}};
        const UnitAxis e1 = normalised(crossOf(axis, helper)), e2 = crossOf(axis, e1);
        const double c = std::cos(halfAngle * kDeg), s = std::sin(halfAngle * kDeg);
        for (int k = 0; k < 36; ++k) {
            const double t = 2 * M_PI * k / 36, u = std::cos(t), w = std::sin(t);
            const Vec3 v{{c * axis[0] + s * (u * e1[0] + w * e2[0]),
                          c * axis[1] + s * (u * e1[1] + w * e2[1]),
                          c * axis[2] + s * (u * e1[2] + w * e2[2])}};
            const QPointF q = netPointOfAxis(v, upper);
            double nearest = 1e9;
            for (const NetCurvePiece& piece : pieces)
                nearest = qMin(nearest, distanceToPiece(q, piece));
            QVERIFY2(nearest < 1e-4, qPrintable(QStringLiteral("run %1: %2 off").arg(run).arg(nearest)));
        }
    }
    QVERIFY(arcs > 50 && circles > 50);
}

// The vertical axis: a circle about the centre of radius tan(a/2). An
// inclined axis θ from the vertical: the images of the cone's two points in
// the axis's vertical plane, at θ ± a, are a diameter, so the centre lies at
// sin θ/(cos θ + cos a) along the axis's azimuth and the radius is
// sin a/(cos θ + cos a) (Priest 1985, Hemispherical Projection Methods in
// Rock Mechanics, §2.4). Degenerate cones: none outside (0, 90°], the
// primitive once at 90° about the vertical, a diameter at 90° about a
// horizontal axis, a chord for the part through the point projected from.
void TestSetGeometry::knownAndDegenerateCones() {
    const QVector<NetCurvePiece> flat = smallCirclePieces(UnitAxis{{0, 0, 1}}, 30, false);
    QCOMPARE(flat.size(), 1);
    QVERIFY(std::hypot(flat[0].centre.x(), flat[0].centre.y()) < 1e-12);
    QVERIFY(std::fabs(flat[0].radius - std::tan(15 * kDeg)) < 1e-12);
    for (const bool upper : {true, false}) {
        // The pole of 145∠35 leans 35° towards 145 (upper end) or 325.
        const QVector<NetCurvePiece> p = smallCirclePieces(planeAxis(145, 35), 20, upper);
        const double t = 35 * kDeg, a = 20 * kDeg, rho = std::sin(t) / (std::cos(t) + std::cos(a));
        const double azimuth = (upper ? 145 : 325) * kDeg;
        QCOMPARE(p.size(), 1);
        QVERIFY(distance(p[0].centre, rho * QPointF(std::sin(azimuth), std::cos(azimuth))) < 1e-12);
        QVERIFY(std::fabs(p[0].radius - std::sin(a) / (std::cos(t) + std::cos(a))) < 1e-12);
    }
    for (const double bad : {0.0, -5.0, 90.5, qQNaN()})
        QVERIFY(smallCirclePieces(UnitAxis{{0, 0, 1}}, bad, true).isEmpty());
    QVERIFY(smallCirclePieces(UnitAxis{{0, 0, 0}}, 20, true).isEmpty());
    const QVector<NetCurvePiece> primitive = smallCirclePieces(UnitAxis{{0, 0, 1}}, 90, true);
    QVERIFY(primitive.size() == 1 && std::fabs(primitive[0].radius - 1) < 1e-12);
    const QVector<NetCurvePiece> diameter = smallCirclePieces(UnitAxis{{1, 0, 0}}, 90, true);
    QVERIFY(diameter.size() == 1 && diameter[0].kind == NetCurvePiece::Segment);
    QVERIFY(distance(diameter[0].start, QPointF(0, -1)) < 1e-12 ||
            distance(diameter[0].start, QPointF(0, 1)) < 1e-12);
    const QVector<NetCurvePiece> chord = smallCirclePieces(planeAxis(0, 60), 60, true);
    QVERIFY(chord.size() == 2 && chord[1].kind == NetCurvePiece::Segment);
}

QTEST_GUILESS_MAIN(TestSetGeometry)
#include "test_setgeometry.moc"
