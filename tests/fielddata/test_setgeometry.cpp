// Cones about an axis on the equal-angle net: the drawable circles, arcs and
// chords of set windows and of confidence and variability cones.
#include "fishersample.h"
#include "model/fielddata/setgeometry.h"
#include "model/fielddata/sphere.h"

#include <QtTest>

#include <cmath>

namespace {
constexpr double kDeg = M_PI / 180.0;

double axialAngleTo(const UnitAxis& axis, const QPointF& netPoint, bool upper) {
    const Vec3 v = netDirection(netPoint, upper);
    const double c = std::fabs(v[0] * axis[0] + v[1] * axis[1] + v[2] * axis[2]);
    return std::acos(qMin(1.0, c)) / kDeg;
}

double distanceToSegment(const QPointF& q, const QPointF& a, const QPointF& b) {
    const QPointF ab = b - a;
    const double l2 = QPointF::dotProduct(ab, ab);
    const double t = l2 > 0 ? qBound(0.0, QPointF::dotProduct(q - a, ab) / l2, 1.0) : 0.0;
    const QPointF f = a + t * ab - q;
    return std::hypot(f.x(), f.y());
}

double distanceToPiece(const QPointF& q, const NetCurvePiece& piece) {
    if (piece.kind == NetCurvePiece::Segment)
        return distanceToSegment(q, piece.start, piece.end);
    const QPointF d = q - piece.centre;
    const double onCircle = std::fabs(std::hypot(d.x(), d.y()) - piece.radius);
    if (piece.kind == NetCurvePiece::Circle)
        return onCircle;
    double a = std::atan2(d.y(), d.x()) / kDeg - piece.startAngle;
    while (a < 0)
        a += 360;
    while (a >= 360)
        a -= 360;
    if (a <= pieceSpan(piece))
        return onCircle;
    const QPointF s = q - piece.start, e = q - piece.end;
    return qMin(std::hypot(s.x(), s.y()), std::hypot(e.x(), e.y()));
}

// The axis's end in the drawn hemisphere, and its angle from the vertical.
double angleFromVertical(const UnitAxis& axis, bool upper) {
    const double z = upper ? axis[2] : -axis[2];
    return std::acos(qMin(1.0, std::fabs(z))) / kDeg;
}

UnitAxis poleOf(double direction, double angle) {
    return planeAxis(direction, angle);
}
} // namespace

class TestSetGeometry : public QObject {
    Q_OBJECT
private slots:
    void knownCones();
    void randomConesAgainstSampledCircles();
    void straddlingConeReentersOpposite();
    void degenerateCones();
};

// The vertical axis gives a circle about the centre of radius tan(a/2); an
// inclined one a circle whose centre lies beyond the projected axis, at
// sin θ/(cos θ + cos a) with radius sin a/(cos θ + cos a) along the axis's
// azimuth (θ its angle from the vertical: the images of the cone's two
// points in the axis's vertical plane, at θ ± a, are a diameter; Priest 1985,
// Hemispherical Projection Methods in Rock Mechanics, §2.4).
void TestSetGeometry::knownCones() {
    for (const bool upper : {true, false}) {
        const QVector<NetCurvePiece> flat = smallCirclePieces(UnitAxis{{0, 0, 1}}, 30, upper);
        QCOMPARE(flat.size(), 1);
        QCOMPARE(int(flat[0].kind), int(NetCurvePiece::Circle));
        QVERIFY(std::hypot(flat[0].centre.x(), flat[0].centre.y()) < 1e-12);
        QVERIFY(std::fabs(flat[0].radius - std::tan(15 * kDeg)) < 1e-12);
    }
    // Pole of 145∠35 on the upper net: its upper end leans 35° from the
    // vertical towards the dip direction.
    const UnitAxis axis = poleOf(145, 35);
    const QVector<NetCurvePiece> pieces = smallCirclePieces(axis, 20, true);
    QCOMPARE(pieces.size(), 1);
    QCOMPARE(int(pieces[0].kind), int(NetCurvePiece::Circle));
    const double theta = 35 * kDeg, a = 20 * kDeg;
    const double rho = std::sin(theta) / (std::cos(theta) + std::cos(a));
    const QPointF expected(rho * std::sin(145 * kDeg), rho * std::cos(145 * kDeg));
    QVERIFY(std::hypot(pieces[0].centre.x() - expected.x(), pieces[0].centre.y() - expected.y()) < 1e-12);
    QVERIFY(std::fabs(pieces[0].radius - std::sin(a) / (std::cos(theta) + std::cos(a))) < 1e-12);
    // On the lower net the same cone lies on the opposite side.
    const QVector<NetCurvePiece> lower = smallCirclePieces(axis, 20, false);
    QCOMPARE(lower.size(), 1);
    QVERIFY(std::hypot(lower[0].centre.x() + expected.x(), lower[0].centre.y() + expected.y()) < 1e-12);
}

// For random axes, half-angles and both hemispheres: every piece lies inside
// the primitive and every point of it is at the half-angle from the axis
// (mapped back by the inverse projection); the cone's points on the sphere,
// sampled and projected one by one, each lie on a piece; and the pieces are
// one circle exactly when the cone stays within the hemisphere.
void TestSetGeometry::randomConesAgainstSampledCircles() {
    QRandomGenerator rng(20261208u);
    int arcs = 0, circles = 0;
    for (int run = 0; run < 3000; ++run) {
        const bool upper = rng.bounded(2);
        const UnitAxis axis = randomEnd(rng, uniformAxis(rng));
        // Mostly set-like angles, some near the limits.
        double halfAngle = 0.2 + 89.8 * rng.generateDouble();
        if (run % 10 == 0)
            halfAngle = 90;
        const QVector<NetCurvePiece> pieces = smallCirclePieces(axis, halfAngle, upper);
        QVERIFY(!pieces.isEmpty());
        const double theta = angleFromVertical(axis, upper);
        const bool within = theta + halfAngle < 90 - 1e-9;
        if (within) {
            QCOMPARE(pieces.size(), 1);
            QCOMPARE(int(pieces[0].kind), int(NetCurvePiece::Circle));
        } else if (theta + halfAngle > 90 + 1e-6) {
            QCOMPARE(pieces.size(), halfAngle == 90 ? 1 : 2);
        }
        for (const NetCurvePiece& piece : pieces) {
            arcs += piece.kind == NetCurvePiece::Arc;
            circles += piece.kind == NetCurvePiece::Circle;
            // A chord stands for a circle of radius over 10⁴: within 10⁻⁴ rad.
            const double tolerance = piece.kind == NetCurvePiece::Segment ? 0.01 : 1e-7;
            for (int k = 0; k <= 40; ++k) {
                const QPointF q = piecePoint(piece, k / 40.0);
                QVERIFY(std::hypot(q.x(), q.y()) <= 1 + 1e-9);
                const double off = std::fabs(axialAngleTo(axis, q, upper) - halfAngle);
                QVERIFY2(off < tolerance, qPrintable(QStringLiteral("run %1: %2° off").arg(run).arg(off)));
            }
            if (piece.kind != NetCurvePiece::Circle) {
                QVERIFY(std::fabs(std::hypot(piece.start.x(), piece.start.y()) - 1) < 1e-9);
                QVERIFY(std::fabs(std::hypot(piece.end.x(), piece.end.y()) - 1) < 1e-9);
            }
        }
        // Second formulation: the cone's points on the sphere, projected.
        const UnitAxis helper = std::fabs(axis[2]) < 0.9 ? UnitAxis{{0, 0, 1}} : UnitAxis{{1, 0, 0}};
        const UnitAxis e1 = normalised(crossOf(axis, helper));
        const UnitAxis e2 = crossOf(axis, e1);
        const double c = std::cos(halfAngle * kDeg), s = std::sin(halfAngle * kDeg);
        for (int k = 0; k < 180; ++k) {
            const double t = 2 * M_PI * k / 180;
            Vec3 v;
            v[0] = c * axis[0] + s * (std::cos(t) * e1[0] + std::sin(t) * e2[0]);
            v[1] = c * axis[1] + s * (std::cos(t) * e1[1] + std::sin(t) * e2[1]);
            v[2] = c * axis[2] + s * (std::cos(t) * e1[2] + std::sin(t) * e2[2]);
            const QPointF q = netPointOfAxis(v, upper);
            double nearest = 1e9;
            for (const NetCurvePiece& piece : pieces)
                nearest = qMin(nearest, distanceToPiece(q, piece));
            QVERIFY2(nearest < 1e-4, qPrintable(QStringLiteral("run %1: %2 off").arg(run).arg(nearest)));
        }
    }
    // The random cases met both common kinds of piece (chords: degenerateCones).
    QVERIFY(arcs > 100 && circles > 100);
}

// A window about a steep plane's pole (the pole near the primitive) reaches
// across it: two arcs, one about each end of the axis, whose end points are
// antipodal pairs on the primitive, and which bulge into opposite halves.
void TestSetGeometry::straddlingConeReentersOpposite() {
    for (const bool upper : {true, false}) {
        for (const double dip : {75.0, 80.0, 88.0, 90.0}) {
            const UnitAxis axis = poleOf(240, dip);
            const QVector<NetCurvePiece> pieces = smallCirclePieces(axis, 25, upper);
            QCOMPARE(pieces.size(), 2);
            QCOMPARE(int(pieces[0].kind), int(NetCurvePiece::Arc));
            QCOMPARE(int(pieces[1].kind), int(NetCurvePiece::Arc));
            const QPointF s0 = pieces[0].start, e0 = pieces[0].end;
            const QPointF s1 = pieces[1].start, e1 = pieces[1].end;
            const auto near = [](const QPointF& a, const QPointF& b) {
                return std::hypot(a.x() - b.x(), a.y() - b.y()) < 1e-9;
            };
            QVERIFY((near(s0, -s1) && near(e0, -e1)) || (near(s0, -e1) && near(e0, -s1)));
            const QPointF m0 = piecePoint(pieces[0], 0.5), m1 = piecePoint(pieces[1], 0.5);
            QVERIFY(QPointF::dotProduct(m0, m1) < 0);
            // The arcs' end points: where the cone crosses the horizontal.
            const double a = std::acos(std::fabs(dotOf(axis, UnitAxis{{s0.x(), s0.y(), 0}}))) / kDeg;
            QVERIFY(std::fabs(a - 25) < 1e-9);
        }
    }
}

void TestSetGeometry::degenerateCones() {
    const UnitAxis vertical{{0, 0, 1}};
    QVERIFY(smallCirclePieces(vertical, 0, true).isEmpty());
    QVERIFY(smallCirclePieces(vertical, -5, true).isEmpty());
    QVERIFY(smallCirclePieces(vertical, 90.5, true).isEmpty());
    QVERIFY(smallCirclePieces(vertical, qQNaN(), true).isEmpty());
    QVERIFY(smallCirclePieces(UnitAxis{{0, 0, 0}}, 20, true).isEmpty());
    QVERIFY(smallCirclePieces(UnitAxis{{qQNaN(), 0, 1}}, 20, true).isEmpty());
    // 90° about the vertical: the primitive itself, once.
    const QVector<NetCurvePiece> primitive = smallCirclePieces(vertical, 90, false);
    QCOMPARE(primitive.size(), 1);
    QVERIFY(std::fabs(primitive[0].radius - 1) < 1e-12);
    // 90° about a horizontal axis: the vertical great circle normal to it, a
    // diameter.
    const QVector<NetCurvePiece> diameter = smallCirclePieces(UnitAxis{{1, 0, 0}}, 90, true);
    QCOMPARE(diameter.size(), 1);
    QCOMPARE(int(diameter[0].kind), int(NetCurvePiece::Segment));
    QVERIFY(std::fabs(diameter[0].start.x()) < 1e-12 &&
            std::fabs(std::fabs(diameter[0].start.y()) - 1) < 1e-12);
    // A cone through the point projected from: the antipodal part is a chord
    // (θ = a = 60°).
    const QVector<NetCurvePiece> chord = smallCirclePieces(poleOf(0, 60), 60, true);
    QCOMPARE(chord.size(), 2);
    QCOMPARE(int(chord[1].kind), int(NetCurvePiece::Segment));
    // A hair-thin cone is a small circle about the projected axis.
    const QVector<NetCurvePiece> thin = smallCirclePieces(poleOf(100, 40), 0.01, true);
    QCOMPARE(thin.size(), 1);
    const QPointF p = netPointOfAxis(planePole(100, 40), true);
    QVERIFY(std::hypot(thin[0].centre.x() - p.x(), thin[0].centre.y() - p.y()) < 1e-4);
}

QTEST_GUILESS_MAIN(TestSetGeometry)
#include "test_setgeometry.moc"
