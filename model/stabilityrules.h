#pragma once

#include <array>

// The rules that judge one plane, or one wedge's line of intersection, against
// the slope face, on plain values: the apparent dips, the planar-sliding and
// toppling code, the wedge-sliding code and the line of two planes.
// DataCenter::analyse judges the project's planes and wedges with them, and
// the field-measurement statistics judge measured planes with the very same
// functions, so a measured plane is critical exactly when a typed plane of
// that attitude is judged unstable. The codes are those of StabilityState
// (model/datacenter.h).

// The slope face and the project's criteria (degrees).
struct SlopeCriteria {
    double direction = 0;            // dip direction of the face
    double angle = 45;               // dip ψ of the face
    double includedAngle = 30;       // β; 90 switches the test off
    double frictionAngle = 27;       // φ; 0 switches the test off
    bool topple = false;             // toppling judged
    double frictionAngleTopple = 30; // φt
};

// Angles of one record against the face.
struct ApparentDips {
    double directionDelta = 360;    // d: angle between the dip directions, 0..180
    double apparentAngle = -1;      // the record's apparent dip along the face's dip direction
    double slopeApparentAngle = -1; // s: the face's apparent dip along the record's direction
};

ApparentDips apparentDips(double slopeDirection, double slopeAngle, double direction, double angle);

// Planar sliding and toppling code of a plane of dip `dip` with the angles `a`.
int planarState(const SlopeCriteria& criteria, const ApparentDips& a, double dip);

// Wedge-sliding code of a line of plunge `plunge`, s being the face's apparent
// dip along the line's trend.
int wedgeState(const SlopeCriteria& criteria, double slopeApparentAngle, double plunge);

// Upward unit normal (east, north, up) of a plane.
std::array<double, 3> planeNormal(double direction, double angle);

// The line of intersection of two planes given by their upward normals: false
// when it is horizontal (also parallel planes) or vertical, which form no wedge.
bool intersectionLine(const std::array<double, 3>& a, const std::array<double, 3>& b, double& trend,
                      double& plunge);
