#pragma once

#include "model/fielddata/setstatistics.h"

#include <QPointF>
#include <QVector>

// Small circles (cones about an axis) on Karven's equal-angle net, as the
// joint sets draw them: set windows, confidence and variability cones.
// Net units: the primitive circle has radius 1, x east, y north (as
// PlaneRecord's points).
//
// The equal-angle projection maps every circle of the sphere onto a circle
// of the plane (a straight line when the circle passes through the point
// projected from), so a cone's boundary is drawn as circles and arcs, which
// the CAD drawing keeps as CIRCLE and ARC entities. A cone is axial: the
// part that reaches past the primitive circle re-enters from the opposite
// side, as the cone about the antipode of the axis.

// One drawable piece of such a curve, inside the primitive circle.
struct NetCurvePiece {
    enum Kind {
        Circle,  // the whole circle: centre, radius
        Arc,     // counter-clockwise from startAngle to endAngle about centre; ends on the primitive
        Segment, // a straight chord from start to end (a circle too large to draw as one)
    };
    Kind kind = Circle;
    QPointF centre;
    double radius = 0;
    double startAngle = 0; // Arc: degrees counter-clockwise from east, 0 ≤ angle < 360
    double endAngle = 0;
    QPointF start, end; // Arc and Segment: the end points, on the primitive circle
};

// Counter-clockwise span of an arc in degrees (0 < span ≤ 360; 360 for a
// whole circle); 0 for a segment.
double pieceSpan(const NetCurvePiece& piece);

// The point at the fraction t (0..1) along a piece: from its start angle
// (Circle: east of its centre) or from its start point.
QPointF piecePoint(const NetCurvePiece& piece, double t);

// The boundary of the axial cone of half-angle `halfAngle` (degrees,
// 0 < a ≤ 90) about `axis` (either end) on the net of the given hemisphere:
// one whole circle when the cone stays within the hemisphere, else an arc
// for each end of the axis, the two meeting the primitive circle at
// antipodal points. Empty for a half-angle outside (0, 90] or a zero axis.
QVector<NetCurvePiece> smallCirclePieces(const UnitAxis& axis, double halfAngle, bool upperHemisphere);
