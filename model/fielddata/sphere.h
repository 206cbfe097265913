#pragma once

#include "model/vec3.h"

#include <QPointF>

// Directions in space and Karven's equal-angle net, for the statistics of
// measurements. Vectors are (east, north, up); angles in degrees.
//
// Net coordinates are those of the stereonet drawing (PlaneRecord's points):
// unit radius, x east, y north. Upper hemisphere: a direction plots where its
// upward end does; lower hemisphere: where its downward end does. The
// equal-angle (stereographic) projection puts a line at angle θ from the
// vertical at radius tan(θ/2).

// v / |v| (the vertical for a zero vector).
Vec3 unitVector(const Vec3& v);

// The upward unit normal (pole) of the plane with dip direction α and dip δ:
// (sin δ sin α, sin δ cos α, cos δ).
Vec3 planePole(double direction, double angle);

// The unit vector of a line with the given trend and plunge (plunging
// downward: z = −sin plunge).
Vec3 lineVector(double trend, double plunge);

// The plane whose pole is the axis `a` (either end), as dip direction
// (0 ≤ α < 360) and dip (0..90). A vertical axis gives α = 0, δ = 0.
void planeOfAxis(const Vec3& a, double& direction, double& angle);

// Where the axis `a` (either end) plots on the net of the given hemisphere:
// always within the unit circle (on it for a horizontal axis).
QPointF netPointOfAxis(const Vec3& a, bool upperHemisphere);

// The direction that plots at `p` on the net of the given hemisphere. Points
// outside the unit circle are the equal-angle projection continued beyond the
// primitive: directions of the other hemisphere (the antipodes of the axes
// plotting at p / |p|² on the far side).
Vec3 netDirection(const QPointF& p, bool upperHemisphere);
