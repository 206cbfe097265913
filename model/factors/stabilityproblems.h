#pragma once

#include "model/factors/stabilityfactors.h"
#include "model/factors/stabilityparams.h"

#include <QList>
#include <QString>

// The inputs of the factor-of-safety calculation that lie outside their
// physical range. A project holding any of them is not calculated until
// they are mended: a value is never replaced by a default, since a
// substituted input can make a slope look safe.
//
// Physical bounds (all values finite):
//   height H              0 < H ≤ 2000 m     (higher than any engineered rock slope)
//   upperDip ψs           0 ≤ ψs < face dip
//   unitWeight γ          γw < γ ≤ 50 kN/m³  (the heaviest ores weigh about 45)
//   waterWeight γw        0 < γw ≤ 15 kN/m³  (brines stay below 12)
//   crackDistance b       0 ≤ b ≤ 10000 m
//   crackWater            0 ≤ ratio ≤ 1
//   seismic αw            0 ≤ αw ≤ 0.5       (GB 50330-2013 Table 5.2.6 tops out at 0.25)
//   safetyClass           1, 2 or 3
//   Plane cohesion c      0 ≤ c ≤ 50000 kPa  (50 MPa, beyond intact hard rock)
//   Plane friction φ      0 ≤ φ < 90°
struct ParamProblem {
    QString element;   // project-file element: "Stability" or "Plane"
    int planeId = 0;   // "Plane": the id of its structural plane
    QString attribute; // project-file attribute, e.g. "seismic"
    QString label;     // the dialog's field name, e.g. "综合水平地震系数αw"
    QString range;     // allowed range as messages show it, e.g. "0≤αw≤0.5"
    double value = 0;  // the value held (may be NaN or infinite)
};

// Upper bounds named above.
namespace StabilityBounds {
constexpr double MaxHeight = 2000;
constexpr double MaxUnitWeight = 50;
constexpr double MaxWaterWeight = 15;
constexpr double MaxCrackDistance = 10000;
constexpr double MaxSeismic = 0.5;
constexpr double MaxCohesion = 50000;
} // namespace StabilityBounds

// Every input out of range, in the order of the element's attributes and
// then the planes by id; empty when the calculation may run. faceDip is the
// slope's dip (the bound of ψs).
QList<ParamProblem> stabilityParamProblems(const StabilityParams& params, double faceDip);

// One line naming the problem for a message or an error line:
// "Stability 的 seismic（综合水平地震系数αw）为 0.51，超出范围 0≤αw≤0.5".
QString paramProblemText(const ParamProblem& problem);

// All problems joined with "；".
QString paramProblemsText(const QList<ParamProblem>& problems);

// A block whose working is not finite everywhere (an overflow the bounds
// did not foresee) gets a reason instead of a factor and a state: no
// verdict is ever drawn from a value that is not a number. True when the
// block was kept.
bool keepFiniteBlock(PlanarFactor& factor);
bool keepFiniteBlock(WedgeFactor& factor);
