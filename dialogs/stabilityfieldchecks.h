#pragma once

#include "model/factors/stabilityparams.h"

#include <QList>
#include <QString>

// The ranges the dialog 稳定性计算参数 checks its fields against, with the
// names and ranges its message shows. Bounds: 0 < H ≤ 2000 m,
// 0 ≤ ψs < face dip, γw < γ ≤ 50 kN/m³, 0 < γw ≤ 15 kN/m³,
// 0 ≤ b ≤ 10000 m, 0 ≤ c ≤ 50000 kPa, 0 ≤ φ < 90°.
struct ParamProblem {
    QString element;   // "Stability", "Plane", "Case" or "Anchor"
    int planeId = 0;   // "Plane": the plane's id; "Case", "Anchor": the table row
    QString attribute; // the input, as the project file names it
    QString label;     // the field's name, e.g. "坡顶面倾角ψs"
    QString range;     // e.g. "0≤ψs＜65°"
    double value = 0;  // the value held (NaN: not filled in)
};

// Every input of the element and the plane strengths out of range, in the
// order of the dialog's fields.
QList<ParamProblem> stabilityFieldProblems(const StabilityParams& params, double faceDip);
