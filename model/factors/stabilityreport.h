#pragma once

#include "model/factors/stabilityfactors.h"

#include <QString>

class DataCenter;
class QTextStream;

// The factor-of-safety texts: the section of the calculation report, the
// sliding-mode words and the sentence offered with the conclusion. Texts are
// translated in the context "DataCenter".

// Writes the report section "稳定性计算" with the inputs and, for every
// calculated plane and wedge, its working, factor, state and the required
// factor. Writes nothing unless the calculation is switched on.
void writeStabilitySection(QTextStream& out, const DataCenter& project);

// How a wedge moves, for planes a and b: "双面滑动", "沿结构面1单面滑动",
// "脱离两滑面".
QString wedgeModeWord(WedgeMode mode, int planeA, int planeB);

// "Fs=1.23" with two decimals.
QString factorText(double fs);

// One sentence with every calculated factor and the required factor, for
// the conclusion text; empty when the calculation is off or gives nothing.
QString stabilityConclusion(const DataCenter& project);
