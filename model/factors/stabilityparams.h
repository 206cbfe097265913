#pragma once

#include <QMap>

// Inputs of the factor-of-safety calculation of one project (the
// "Stability" element of the project file). Off by default; a project that
// never switched it on writes nothing and behaves as before.
struct PlaneStrength {
    double cohesion = 0; // c, kPa
    double friction = 0; // φ, degrees
};

struct StabilityParams {
    bool present = false;       // element read from the file or ever set: written back
    bool enabled = false;       // calculate factors of safety
    double height = 30;         // slope height H, m (> 0)
    double upperDip = 0;        // upper slope surface dip ψs, degrees, same way as the face (0 ≤ ψs < face dip)
    double unitWeight = 25;     // γ, kN/m³ (γ > γw)
    double waterWeight = 9.81;  // γw, kN/m³ (> 0)
    bool crackCritical = true;  // tension crack at the critical position, else at crackDistance
    double crackDistance = 0;   // b behind the crest, m (≥ 0)
    double crackWater = 0;      // water depth in the crack as a fraction of its depth, 0..1
    bool wedgeSaturated = false; // wedges: dry or saturated
    double seismic = 0;         // comprehensive horizontal seismic coefficient αw, 0..0.5 (0 = none)
    int safetyClass = 2;        // 1, 2, 3 (一级, 二级, 三级)
    bool permanent = true;      // 永久 (else 临时)
    QMap<int, PlaneStrength> planes; // by structural plane id; a missing id uses c = 0, φ = planar friction angle
};
