#pragma once

#include "model/factors/stabilityparams.h"

#include <QList>
#include <QString>

// Load cases (工况) of the factor-of-safety calculation and their required
// factors of GB 50330-2013 Table 5.3.2.

// The cases a project computes: its own `cases`, or — for a project file
// written before load cases existed — one case made of the element's own
// crack water, wedge water and seismic coefficient (named 地震工况 when
// αw > 0, else 天然工况), which gives the same numbers as before.
QList<LoadCase> loadCasesOf(const StabilityParams& params);

// The cases offered when the calculation is newly switched on: 天然工况
// (the current inputs without seismic load), 暴雨工况 (crack full, wedges
// saturated) and 地震工况 (natural water with αw; the current αw, or 0.05 —
// GB 50330-2013 Table 5.2.6, 8度 0.20g — when none is set).
QList<LoadCase> defaultLoadCases(const StabilityParams& params);

// Makes the element's own crack water, wedge water and seismic coefficient
// those of the first case, so that an older reader of the file computes it.
void mirrorFirstCase(StabilityParams& params);

// Fst of GB 50330-2013 Table 5.3.2 for the safety class, permanent or
// temporary slope and the case (地震工况 when αw > 0, else 一般工况);
// false when the table gives none (a temporary slope in the seismic case).
bool tableRequiredFactor(int safetyClass, bool permanent, bool seismic, double& required);

// The required factor a case is checked against: the engineer's typed value
// when set, else the table's. `fromTable` tells which; `missing` is true
// (and the result NaN) when nothing was typed and the table has no value.
double caseRequiredFactor(const StabilityParams& params, const LoadCase& loadCase, bool& fromTable,
                          bool& missing);
