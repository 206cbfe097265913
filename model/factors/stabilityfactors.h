#pragma once

#include "model/factors/stabilityparams.h"
#include "model/factors/wedgesliding.h"

#include <QList>
#include <QString>

class DataCenter;

// Factor-of-safety results for the kinematically unstable planes (planar
// sliding, 2-D section along the plane's dip direction) and wedges (rigid
// tetrahedral wedge). Computed on demand from a project whose analysis is on.

// How a wedge moves: WedgeMode of model/factors/wedgesliding.h.

struct PlanarFactor {
    int index = -1;        // position of the plane in project.planes
    int id = 0;            // plane id (ids may repeat: find the plane by index)
    bool hasBlock = false; // false: the geometry allows no sliding block (see reason)
    QString reason;        // why there is no block (user-visible, Chinese)
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
    double normalForce = 0;   // effective normal force on the plane, kN/m (never below 0)
    double drivingForce = 0;  // force down the plane, kN/m
    double fs = 0;
};

struct WedgeFactor {
    int index = -1;               // position of the wedge in project.wedges
    int indexA = -1, indexB = -1; // positions of its planes in project.planes
    int id = 0;                   // wedge id 100*a+b as shown (-1 beyond int), never a key
    int planeA = 0, planeB = 0;   // ids of the two planes, as shown
    bool hasBlock = false;        // false: no wedge can form (see reason)
    QString reason;
    WedgeMode mode = WedgeMode::Both;
    double cohesionA = 0, frictionA = 0, cohesionB = 0, frictionB = 0;
    // Working.
    double wedgeHeight = 0;          // height of the top vertex above the daylight point
    double volume = 0;               // m³
    double weight = 0;               // kN
    double areaA = 0, areaB = 0;     // m²
    double waterA = 0, waterB = 0;   // water force on A, B (kN)
    double normalA = 0, normalB = 0; // effective normal reactions (kN)
    double drivingForce = 0;         // active force along the sliding direction (kN)
    double fs = 0;                   // 0 when the wedge loses contact on both planes
};

struct StabilityFactors {
    double required = 0; // Fst
    bool seismicCase = false;
    QList<PlanarFactor> planes;
    QList<WedgeFactor> wedges;
};

// Factors are compared with the table limits with this tolerance, so that
// a value that is a limit but for rounding (1.2999999999) counts as it.
constexpr double FactorTolerance = 1e-9;

// Required factor Fst of GB 50330-2013 Table 5.3.2 for the class, kind and
// load case (seismic when αw > 0).
double requiredFactor(const StabilityParams& params);

// Stability state word of GB 50330-2013 Table 5.3.1: "不稳定", "欠稳定",
// "基本稳定" or "稳定".
QString factorStateWord(double fs, double required);

// Fs ≥ Fst (the state word is then "稳定").
bool meetsRequiredFactor(double fs, double required);

// "AB", "A", "B" or "none".
QString wedgeModeCode(WedgeMode mode);

// True when every input lies in its physical range: stabilityParamProblems
// (model/factors/stabilityproblems.h) finds nothing.
bool isValidStabilityParams(const StabilityParams& params, double faceDip);

// Factors for every class-3 plane and wedge of a project whose analysis is
// on and whose calculation is enabled; empty lists otherwise.
StabilityFactors computeStabilityFactors(const DataCenter& project);
