#pragma once

// Sliding of a rigid tetrahedral wedge cut from the slope by two planes A
// and B, the slope face and the upper slope surface, solved in vector form
// (limit equilibrium of forces; Hoek & Bray, Rock Slope Engineering, 3rd
// ed., 1981, ch. 8 and Appendix 3). Plain C++.

#include "model/vec3.h"

// How a wedge moves: sliding along the line of intersection on both planes,
// sliding on one plane alone, or lifted off both (see wedgeFactor).
enum class WedgeMode { Both, OnA, OnB, NoContact };

// Upward unit normal of a plane given as dip direction and dip, degrees.
Vec3 upwardNormal(double dipDirection, double dip);

// The four bounding planes by their upward unit normals. The origin is the
// point where the line of intersection of A and B daylights in the face; the
// face passes through it and the upper surface lies upperHeight vertically
// above it.
struct WedgeGeometry {
    Vec3 normalA{{0, 0, 1}}, normalB{{0, 0, 1}}, normalFace{{0, 0, 1}}, normalUpper{{0, 0, 1}};
    double upperHeight = 0; // m
};

struct WedgeLoads {
    double unitWeight = 25;                                            // γ, kN/m³
    double waterWeight = 9.81;                                         // γw, kN/m³
    double cohesionA = 0, frictionA = 0, cohesionB = 0, frictionB = 0; // kPa, degrees
    bool saturated = false;
    double seismic = 0; // αw: a horizontal force αw·W in the trend of the line of intersection
    // Anchor: T pulls the wedge along a line in the vertical plane of
    // `anchorBearing`, inclined anchorInclination below horizontal, into the
    // slope. Without a bearing: the trend of the way the wedge slides under
    // its own weight (the line of intersection when it rests on both planes,
    // else the dip direction of the plane it rests on).
    double anchorForce = 0;       // T, kN
    double anchorInclination = 0; // ψT, degrees (−90..90)
    bool anchorBearingGiven = false;
    double anchorBearing = 0; // degrees
};

enum class WedgeStatus {
    Wedge,          // a wedge forms; mode and fs are valid
    Invalid,        // inputs out of range, or parallel planes
    NoDaylight,     // the line of intersection does not daylight in the face
    NoUpperOutcrop, // the line never reaches the upper surface
    NotTetrahedron, // the four planes enclose no wedge that rests on A or on B
    NoDrivingForce, // nothing pushes the wedge along its sliding direction
};

struct WedgeResult {
    WedgeStatus status = WedgeStatus::Invalid;
    WedgeMode mode = WedgeMode::Both;
    Vec3 line{{0, 0, 0}};                      // unit vector down the line of intersection
    Vec3 top{{0, 0, 0}};                       // top vertex (A, B and the upper surface)
    Vec3 crestA{{0, 0, 0}}, crestB{{0, 0, 0}}; // vertices of A and of B on the crest
    double height = 0;                         // height of the top vertex above the origin, m
    double volume = 0;                         // m³
    double weight = 0;                         // kN
    double areaA = 0, areaB = 0;               // m²
    double peakWaterPressure = 0;              // saturated: γw·h/2 on the line of intersection, kPa
    double waterA = 0, waterB = 0;             // water force on A, B, kN
    double anchorBearing = 0;                  // bearing the anchor acted in, degrees
    Vec3 inA{{0, 0, 0}}, inB{{0, 0, 0}};       // unit normals of A and B pointing into the wedge
    Vec3 resultant{{0, 0, 0}};       // active force on the wedge: weight, water, seismic, anchor, kN
    double normalA = 0, normalB = 0; // effective normal reactions (of the mode found), kN
    double drivingForce = 0;         // active force along the sliding direction, kN
    double fs = 0;                   // 0 when contact is lost on both planes
};

// The factor of the contact mode that the forces allow (Hoek & Bray 1981,
// Appendix 3, comprehensive solution; Goodman & Shi, Block Theory, 1985,
// ch. 8): both planes when both normal reactions of the two-plane solution
// are ≥ 0; plane A alone when the resultant presses the wedge onto A and its
// part lying in A does not drive the wedge into B (likewise B); lifted off
// both (fs = 0) only when none of these holds. When both single-plane modes
// are possible, the lower factor governs.
WedgeResult wedgeFactor(const WedgeGeometry& geometry, const WedgeLoads& loads);

// The factor of one contact mode whatever the forces, for checking: the
// normal forces it needs (negative when the mode is impossible) and the
// factor; `consistent` tells whether the forces allow the mode.
struct WedgeModeCheck {
    bool consistent = false;
    double normalA = 0, normalB = 0, drivingForce = 0, fs = 0;
    Vec3 direction{{0, 0, 0}}; // unit sliding direction
};
WedgeModeCheck wedgeModeFactor(const WedgeResult& wedge, const WedgeLoads& loads, WedgeMode mode);
