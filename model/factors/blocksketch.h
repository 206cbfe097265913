#pragma once

#include "model/factors/wedgesliding.h"

#include <QImage>
#include <QString>

// Pictures of the blocks of the factor-of-safety working, for the
// calculation report: the planar block's section drawn to scale and a
// sketch of a wedge seen square to the face. Plain values in, a picture
// out; lengths in metres, angles in degrees.

// The section of a planar block along the sliding plane's dip direction
// (as PlanarFactor holds it): the face falls to the right to the toe, the
// sliding plane runs from the toe back into the slope.
struct PlanarSketch {
    double faceDip = 60;      // ψf, apparent dip of the face in the section
    double planeDip = 30;     // ψp
    double upperDip = 0;      // apparent dip of the upper surface (rising away from the crest)
    double height = 10;       // H
    double crackDistance = 0; // b, horizontal, behind the crest
    double crackDepth = 0;    // z
    double waterDepth = 0;    // zw, water in the crack
    double upperLength = 0;   // horizontal length of the upper slope behind the crest; 0: not bounded
    bool anchor = false;      // draw the anchor
    double anchorForce = 0;   // T, kN per metre
    double anchorDip = 0;     // ψT, below horizontal, into the slope
};

// The four corners of a tetrahedral wedge: the daylight point of the line
// of intersection is the origin (east, north, up, metres).
struct WedgeSketch {
    Vec3 crestA{{0, 0, 0}}; // plane A, the face and the upper surface
    Vec3 crestB{{0, 0, 0}}; // plane B, the face and the upper surface
    Vec3 top{{0, 0, 0}};    // planes A, B and the upper surface
    double faceDirection = 0, faceDip = 60; // the face's dip direction and dip
    QString nameA, nameB;                   // labels of the two planes' traces
    bool anchor = false;
    double anchorTrend = 0, anchorPlunge = 0;
};

// The corners of the wedge of planes A and B (upward normals) under the face
// and the upper surface, the upper surface lying upperHeight above the
// origin; false when three of the planes meet in no single point.
bool wedgeCorners(const Vec3& normalA, const Vec3& normalB, const Vec3& normalFace, const Vec3& normalUpper,
                  double upperHeight, WedgeSketch& out);

// The section of a planar block, to scale, with H, z, b, zw, the water, the
// anchor and a scale bar; a null image when the inputs draw no block.
QImage planarSectionPicture(const PlanarSketch& sketch);

// The wedge seen square to the face: the face and the upper surface, the
// traces of A and B on both, the wedge shaded, the line of intersection
// dashed, and a scale bar; a null image when the corners draw no wedge.
QImage wedgePicture(const WedgeSketch& sketch);

// "data:image/png;base64,..." of the picture (empty data for a null image).
QString pngDataUri(const QImage& picture);
