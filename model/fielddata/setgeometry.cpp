#include "model/fielddata/setgeometry.h"

#include <cmath>

namespace {
constexpr double kDeg = 0.017453292519943295;
// A projected circle wider than this (net units) is drawn as its chord: over
// the primitive's diameter it departs from the chord by less than
// 1/(2 · 10⁴), far below a pixel or a CAD drawing's precision.
constexpr double kLargestCircle = 1e4;

double degreesIn360(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0)
        a += 360.0;
    return a >= 360.0 ? 0.0 : a;
}

QPointF onPrimitive(const QPointF& p) {
    const double n = std::hypot(p.x(), p.y());
    return n > 0 ? p / n : p;
}

// The part of the chord u·q = p (u a unit vector) inside the primitive.
void clipLine(const QPointF& u, double p, QVector<NetCurvePiece>& pieces) {
    if (!(std::fabs(p) < 1))
        return;
    const double h = std::sqrt(1 - p * p);
    const QPointF foot = p * u;
    const QPointF along(-u.y(), u.x());
    NetCurvePiece piece;
    piece.kind = NetCurvePiece::Segment;
    piece.start = foot - h * along;
    piece.end = foot + h * along;
    pieces.append(piece);
}

// The part of the circle about m with radius r inside the primitive.
void clipCircle(const QPointF& m, double r, QVector<NetCurvePiece>& pieces) {
    const double d = std::hypot(m.x(), m.y());
    if (!(r > 0))
        return;
    NetCurvePiece piece;
    piece.centre = m;
    piece.radius = r;
    if (d + r <= 1 + 1e-12) {
        piece.kind = NetCurvePiece::Circle;
        pieces.append(piece);
        return;
    }
    if (d >= 1 + r || r >= d + 1)
        return; // wholly outside, or around the primitive
    // A point at angle t about m lies inside when d² + r² + 2rd cos(t − ψ) ≤ 1,
    // ψ the direction of m: the arc facing the net's centre.
    const double k = qBound(-1.0, (1 - d * d - r * r) / (2 * r * d), 1.0);
    const double beta = std::acos(k) / kDeg;
    const double psi = std::atan2(m.y(), m.x()) / kDeg;
    piece.kind = NetCurvePiece::Arc;
    piece.startAngle = degreesIn360(psi + beta);
    piece.endAngle = degreesIn360(psi - beta);
    piece.start =
        onPrimitive(m + r * QPointF(std::cos(piece.startAngle * kDeg), std::sin(piece.startAngle * kDeg)));
    piece.end =
        onPrimitive(m + r * QPointF(std::cos(piece.endAngle * kDeg), std::sin(piece.endAngle * kDeg)));
    pieces.append(piece);
}

// The circle of the sphere v·n = c (n a unit vector) on the net. A direction
// plotting at q = (x, y) is v = (2x, 2y, h(1 − |q|²)) / (1 + |q|²) (h = ±1 for
// the upper and lower hemisphere: sphere.h's netDirection), so the circle is
//   A|q|² + Bx + Cy + D = 0,  A = −(h n_z + c), B = 2n_x, C = 2n_y, D = h n_z − c,
// a circle, or a line where A vanishes (the circle runs through the point
// the projection is taken from). Its points inside the primitive are those
// of the hemisphere drawn.
void projectedCircle(const UnitAxis& n, double c, bool upper, QVector<NetCurvePiece>& pieces) {
    const double h = upper ? 1 : -1;
    const double A = -(h * n[2] + c), B = 2 * n[0], C = 2 * n[1], D = h * n[2] - c;
    const double bc = std::hypot(B, C);
    if (A != 0) {
        const QPointF m(-B / (2 * A), -C / (2 * A));
        const double r2 = (B * B + C * C) / (4 * A * A) - D / A;
        const double r = r2 > 0 ? std::sqrt(r2) : 0.0;
        if (r <= kLargestCircle) {
            clipCircle(m, r, pieces);
            return;
        }
    }
    if (bc > 0)
        clipLine(QPointF(B / bc, C / bc), -D / bc, pieces);
}
} // namespace

double pieceSpan(const NetCurvePiece& piece) {
    switch (piece.kind) {
    case NetCurvePiece::Circle:
        return 360.0;
    case NetCurvePiece::Arc: {
        const double span = piece.endAngle - piece.startAngle;
        return span > 0 ? span : span + 360.0;
    }
    case NetCurvePiece::Segment:
        break;
    }
    return 0.0;
}

QPointF piecePoint(const NetCurvePiece& piece, double t) {
    if (piece.kind == NetCurvePiece::Segment)
        return piece.start + t * (piece.end - piece.start);
    const double a = (piece.kind == NetCurvePiece::Arc ? piece.startAngle : 0.0) + t * pieceSpan(piece);
    return piece.centre + piece.radius * QPointF(std::cos(a * kDeg), std::sin(a * kDeg));
}

QVector<NetCurvePiece> smallCirclePieces(const UnitAxis& axis, double halfAngle, bool upperHemisphere) {
    QVector<NetCurvePiece> pieces;
    const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    if (!(halfAngle > 0 && halfAngle <= 90) || !(length > 0) || !std::isfinite(length))
        return pieces;
    const UnitAxis n{{axis[0] / length, axis[1] / length, axis[2] / length}};
    // At 90° the cones about both ends are the one great circle normal to the axis.
    const double c = halfAngle == 90 ? 0.0 : std::cos(halfAngle * kDeg);
    projectedCircle(n, c, upperHemisphere, pieces);
    if (c > 0)
        projectedCircle(UnitAxis{{-n[0], -n[1], -n[2]}}, c, upperHemisphere, pieces);
    return pieces;
}
