#pragma once

// Planar sliding of a rigid block in a two-dimensional section (unit width
// along strike): the limit-equilibrium block of Hoek & Bray, Rock Slope
// Engineering (3rd ed., 1981, ch. 7), with a vertical tension crack in the
// upper slope surface, water in the crack and along the sliding plane, and
// a horizontal seismic force kH·W. Plain C++; angles in degrees.

// The section: toe of the face at the origin, the sliding plane through the
// toe, the crest H above the toe.
struct PlanarSection {
    double faceDip = 0;     // ψf
    double planeDip = 0;    // ψp (0 ≤ ψp < ψf)
    double upperDip = 0;    // ψs, upper slope surface (0 ≤ ψs < ψf)
    double height = 0;      // H, m
    double upperLength = 0; // horizontal length of the upper slope behind the crest in the section, beyond
                            // which the ground is horizontal (a bench); 0: the upper slope runs on
};

struct PlanarLoads {
    double unitWeight = 25;    // γ, kN/m³
    double waterWeight = 9.81; // γw, kN/m³
    double cohesion = 0;       // c, kPa
    double friction = 0;       // φ, degrees
    double crackWater = 0;     // zw / z, 0 (dry) .. 1 (full)
    double seismic = 0;        // kH (GB 50330: Q = αw·G)
    double anchorForce = 0;    // T, kN per metre of slope, pulling the block into the slope
    double anchorInclination =
        0; // ψT below horizontal (the anchor runs into the rock against the dip direction)
};

enum class PlanarStatus {
    Block,            // a block forms; fs is valid
    Invalid,          // inputs outside their physical range or not finite
    PlaneTooSteep,    // ψp ≥ ψf: the plane does not daylight in the face
    CrackMissesPlane, // z ≤ 0: the crack lies beyond the plane's outcrop in the upper surface
    NoDrivingForce,   // nothing pushes the block down the plane (flat dry plane, no seismic)
};

struct PlanarResult {
    PlanarStatus status = PlanarStatus::Invalid;
    double crackDistance = 0;  // b, horizontal distance of the crack behind the crest in the section, m
    double crackDepth = 0;     // z, m
    double waterDepth = 0;     // zw, m
    double length = 0;         // A, length of the sliding plane, m (area per metre run)
    double weight = 0;         // W, kN/m
    double uplift = 0;         // U, kN/m
    double crackForce = 0;     // V, kN/m
    double normalForce = 0;    // effective normal force on the plane with the anchor (never below 0), kN/m
    double drivingForce = 0;   // force down the plane less the anchor's part, kN/m
    bool lifted = false;       // the effective normal force would be negative: the block lifts off, fs = 0
    double crackLimit = 0;     // planarCrackLimit of the section
    bool limitAssumed = false; // that limit is the assumed ten slope heights
    double fs = 0;
};

// The block cut off by a crack b behind the crest.
PlanarResult planarFactorAt(const PlanarSection& section, const PlanarLoads& loads, double crackDistance);

// Largest crack distance that still cuts the sliding plane: its outcrop in
// the upper surface or the bench beyond it, or ten slope heights where the
// plane never reaches the ground behind the crest (an upper surface as steep
// as the plane or steeper, and no bench; `assumed` then says so).
double planarCrackLimit(const PlanarSection& section, bool* assumed = nullptr);

// The crack position between the crest and planarCrackLimit that gives the
// lowest factor of safety under the given loads.
PlanarResult planarFactorCritical(const PlanarSection& section, const PlanarLoads& loads);
