#pragma once

#include "model/factors/stabilityparams.h"
#include "model/factors/wedgesliding.h"

#include <QList>
#include <QString>

class DataCenter;

// Factor-of-safety results for every candidate block: each plane that
// daylights within the included angle (state codes 12 and 3x; planar
// sliding, 2-D section along the plane's dip direction) and each wedge whose
// line of intersection daylights (codes 12 and 3x; rigid tetrahedral wedge),
// in every load case. Computed on demand from a project whose analysis is on.

// How a wedge moves: WedgeMode of model/factors/wedgesliding.h.

// Anchor results shared by planes and wedges (forces: planes kN/m, wedges kN).
struct AnchorFactor {
    double force = 0;       // T given for the block (0: none)
    double inclination = 0; // ψT below horizontal of the given anchor, or the default one
    double bearing = 0;     // azimuth of the anchor's line (planes: the dip direction)
    // Only when the block has a factor and Fs < Fst in its case:
    bool needed = false;        // Fs < Fst: an anchor force is required
    bool reachable = false;     // some force at `inclination` brings Fs to Fst
    double required = 0;        // total T at `inclination` that gives exactly Fst
    bool bestFound = false;     // a least force was found over the inclinations
    double bestInclination = 0; // ψT (−90..90) at which the required T is least
    double bestForce = 0;       // that least T
};

struct PlanarFactor {
    int id = 0;                     // plane id (shown); find the plane by `index`
    int index = -1;                 // position in project.planes
    bool kinematicUnstable = false; // the stereonet's verdict was unstable (code 3x)
    bool hasBlock = false;          // false: the geometry allows no sliding block (see reason)
    QString reason;                 // why there is no block (user-visible, Chinese)
    // Section and inputs.
    double faceDip = 0;  // ψf, apparent dip of the face in the plane's dip direction
    double planeDip = 0; // ψp
    double upperDip = 0; // upper surface's apparent dip in that direction
    double height = 0;   // H
    double cohesion = 0, friction = 0;
    double seismic = 0; // kH
    // Working.
    double crackDistance = 0; // b behind the crest, horizontal in the section
    double crackDepth = 0;    // z
    double waterDepth = 0;    // zw
    double length = 0;        // A, slip length (area per metre run)
    double weight = 0;        // W, kN/m
    double uplift = 0;        // U
    double crackForce = 0;    // V
    double normalForce = 0;   // effective normal force on the plane incl. the anchor, kN/m (never below 0)
    double drivingForce = 0;  // force down the plane less the anchor's part, kN/m
    bool lifted = false;      // water/seismic load lifts the block off the plane: fs = 0
    // The critical crack is searched up to the plane's outcrop in the upper
    // surface (or in the bench behind it), else — when the plane never
    // reaches the ground behind the crest — up to an assumed ten slope
    // heights; with the critical crack and limitAssumed, the report says the
    // search was bounded there (crackDistance == crackLimit: the bound set
    // the answer).
    double crackLimit = 0;     // largest b searched, m (horizontal in the section)
    bool limitAssumed = false; // crackLimit is the assumed 10·H, not the outcrop
    double fs = 0;
    AnchorFactor anchor;
};

struct WedgeFactor {
    int id = 0;                     // wedge id 100*a+b (shown); find the wedge by `index`
    int index = -1;                 // position in project.wedges
    int indexA = -1, indexB = -1;   // positions of planes A and B in project.planes
    bool kinematicUnstable = false; // the stereonet's verdict was unstable (code 3x)
    int planeA = 0, planeB = 0;     // plane ids (shown)
    bool hasBlock = false;          // false: no wedge can form (see reason)
    QString reason;
    WedgeMode mode = WedgeMode::Both;
    double cohesionA = 0, frictionA = 0, cohesionB = 0, frictionB = 0;
    // Working.
    double wedgeHeight = 0;          // height of the top vertex above the daylight point
    double volume = 0;               // m³
    double weight = 0;               // kN
    double areaA = 0, areaB = 0;     // m²
    double peakWaterPressure = 0;    // saturated: γw·h/2 on the line of intersection (kPa), else 0
    double waterA = 0, waterB = 0;   // water force on A, B (kN)
    double normalA = 0, normalB = 0; // effective normal reactions (kN)
    double drivingForce = 0;         // active force along the sliding direction (kN)
    double fs = 0;                   // 0 when the wedge loses contact on both planes
    AnchorFactor anchor;             // bearing: azimuth of the anchor's line
};

// The blocks of one load case. Every case lists the same blocks in the same
// order (planes in project order, then wedges in project order).
struct CaseFactors {
    LoadCase loadCase;
    double required = 0;           // Fst used (NaN when requiredMissing)
    bool requiredFromTable = true; // Fst from GB 50330-2013 Table 5.3.2, else typed by the engineer
    bool requiredMissing = false;  // a temporary slope in a seismic case: the table gives no Fst
    QList<PlanarFactor> planes;
    QList<WedgeFactor> wedges;
};

struct StabilityFactors {
    // The first case, as before load cases existed.
    double required = 0; // Fst (NaN when the table has none, see CaseFactors)
    bool seismicCase = false;
    QList<PlanarFactor> planes;
    QList<WedgeFactor> wedges;
    QList<CaseFactors> cases; // every case; cases[0] repeats the fields above
};

// Factors are compared with the table limits with this tolerance, so that
// a value that is a limit but for rounding (1.2999999999) counts as it.
constexpr double FactorTolerance = 1e-9;

// The upper-slope length L (measured square to the face's strike) as it
// stands in the section along a plane's dip direction, d degrees off the
// face's: L / cos d; 0 (unbounded) stays 0.
double sectionUpperLength(double upperLength, double directionDelta);

// Required factor Fst of GB 50330-2013 Table 5.3.2 for the class, kind and
// the element's own load (seismic when αw > 0); NaN for a temporary slope
// in the seismic case, which the table leaves open. Per case:
// caseRequiredFactor in model/factors/loadcases.h.
double requiredFactor(const StabilityParams& params);

// Stability state word of GB 50330-2013 Table 5.3.1: "不稳定", "欠稳定",
// "基本稳定" or "稳定"; "未定（无Fst）" for Fs ≥ 1.05 when required is NaN
// (no Fst in Table 5.3.2 for the case).
QString factorStateWord(double fs, double required);

// Fs ≥ Fst (the state word is then "稳定").
bool meetsRequiredFactor(double fs, double required);

// "AB", "A", "B" or "none".
QString wedgeModeCode(WedgeMode mode);

// Physical bounds of the inputs of load cases, anchors and the bench.
constexpr double MaxUpperLength = 10000; // m
constexpr int MaxLoadCases = 20;
constexpr int MaxCaseName = 40;         // characters
constexpr double MaxRequired = 5;       // a typed Fst
constexpr double MaxPlanarAnchor = 1e5; // kN per metre of slope
constexpr double MaxWedgeAnchor = 1e6;  // kN

// True when the upper-slope length, every load case (crack water 0..1,
// αw 0..0.5, a typed Fst not below the table's — or 1.0 where the table has
// none — and at most MaxRequired) and every anchor (0 ≤ T ≤ the maximum,
// −90 < ψT < 90, bearing 0..360) lies in its range; NaN fails every test.
bool loadCaseInputsValid(const StabilityParams& params);

// True when every input lies in its physical range: stabilityParamProblems
// (model/factors/stabilityproblems.h) names none, and loadCaseInputsValid.
bool isValidStabilityParams(const StabilityParams& params, double faceDip);

// Factors for every candidate plane and wedge of a project whose analysis is
// on and whose calculation is enabled, in every load case; empty lists
// otherwise (the cases are listed even then, with no blocks).
StabilityFactors computeStabilityFactors(const DataCenter& project);
