#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

// Inputs of the factor-of-safety calculation of one project (the
// "Stability" element of the project file). Off by default; a project that
// never switched it on writes nothing and behaves as before.
struct PlaneStrength {
    double cohesion = 0; // c, kPa
    double friction = 0; // φ, degrees
};

// One load case (工况): its own water and seismic load, checked against its
// own required factor. Which column of GB 50330-2013 Table 5.3.2 applies
// follows from the seismic coefficient: 地震工况 when αw > 0, else 一般工况
// (the natural and the rain case). See model/factors/loadcases.h.
struct LoadCase {
    QString name;                // "天然工况", "暴雨工况", "地震工况" or the engineer's own
    double crackWater = 0;       // water in the tension crack as a fraction of its depth, 0..1
    bool wedgeSaturated = false; // wedges dry or saturated
    double seismic = 0;          // comprehensive horizontal seismic coefficient αw, 0..0.5
    double requiredTyped = 0;    // Fst typed by the engineer (≥ the table's value); 0: from the table
};

// An anchor (锚杆/锚索) on one block. Its line lies in the vertical plane of
// `bearing` (planes: their dip direction; wedges: by default the trend of
// the line of intersection, or for a wedge that slides on one plane alone
// under its own weight that plane's dip direction), runs from the face into
// the rock inclined
// `inclination` below horizontal, and pulls the block along that line into
// the slope with `force`.
struct BlockAnchor {
    double force = 0;          // T: planes kN per metre of slope, wedges kN (0: no anchor)
    double inclination = 15;   // ψT below horizontal, degrees (−90 < ψT < 90)
    bool bearingGiven = false; // wedges: bearing typed; otherwise the way the wedge slides (see above)
    double bearing = 0;        // wedges: azimuth of the anchor's line seen out of the slope, degrees 0..360
};

// Key of a wedge's anchor: the ids of its two planes, the smaller first
// (wedgeKey), so that the key survives planes changing places.
using WedgeKey = QPair<int, int>;
inline WedgeKey wedgeKey(int idA, int idB) {
    return idA < idB ? WedgeKey(idA, idB) : WedgeKey(idB, idA);
}

struct StabilityParams {
    bool present = false; // element read from the file or ever set: written back
    bool enabled = false; // calculate factors of safety
    double height = 30;   // slope height H, m (> 0)
    double upperDip = 0;  // upper slope surface dip ψs, degrees, same way as the face (0 ≤ ψs < face dip)
    double upperLength = 0;    // horizontal length of the upper slope behind the crest (normal to the
                               // face's strike) before the ground turns horizontal (a bench), m; 0: unbounded
    double unitWeight = 25;    // γ, kN/m³ (γ > γw)
    double waterWeight = 9.81; // γw, kN/m³ (> 0)
    bool crackCritical = true; // tension crack at the critical position, else at crackDistance
    double crackDistance = 0;  // b behind the crest, m (≥ 0)
    // The element's own load (the only case of a project without `cases`;
    // with cases, these mirror the first case so that older readers see it).
    double crackWater = 0;       // water depth in the crack as a fraction of its depth, 0..1
    bool wedgeSaturated = false; // wedges: dry or saturated
    double seismic = 0;          // comprehensive horizontal seismic coefficient αw, 0..0.5 (0 = none)
    int safetyClass = 2;         // 1, 2, 3 (一级, 二级, 三级)
    bool permanent = true;       // 永久 (else 临时)
    QMap<int, PlaneStrength>
        planes; // by structural plane id; a missing id uses c = 0, φ = planar friction angle
    // Load cases in the order the report shows them; empty: the one case made
    // of the element's own values (loadCasesOf in model/factors/loadcases.h).
    QList<LoadCase> cases;
    // Anchors: planes by id, wedges by the ids of their two planes. A block
    // without an entry has no anchor (the required force is then given at
    // the default inclination of BlockAnchor).
    QMap<int, BlockAnchor> planeAnchors;
    QMap<WedgeKey, BlockAnchor> wedgeAnchors;
};
