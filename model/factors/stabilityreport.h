#pragma once

#include "model/factors/stabilityfactors.h"

#include <QString>

class DataCenter;
class QTextStream;

// The factor-of-safety texts: the section of the calculation report, the
// sliding-mode words and the sentence offered with the conclusion. Texts are
// translated in the context "DataCenter".

// Writes the report section "稳定性计算": the inputs and load cases, a
// summary table (one row per block, Fs, state, Fst and whether it is met
// per case, the anchor force required where a case falls short), then per
// block its kinematic verdict, a picture (planar blocks: the section to
// scale; wedges: a sketch seen square to the face) and its working in every
// case. Writes nothing unless the calculation is switched on.
void writeStabilitySection(QTextStream& out, const DataCenter& project);

// How a wedge moves, for planes a and b: "双面滑动", "沿结构面1单面滑动",
// "脱离两滑面".
QString wedgeModeWord(WedgeMode mode, int planeA, int planeB);

// "Fs=1.23" with two decimals.
QString factorText(double fs);

// The state word of GB 50330-2013 Table 5.3.1 of a factor in a case;
// "未定（无Fst）" where the case has no required factor (a temporary
// slope's seismic case) and the factor is 1.05 or more.
QString caseStateWord(double fs, const CaseFactors& loadCase);

// One sentence with every calculated factor (per case when there are
// several) and the required factors, for the conclusion text; empty when
// the calculation is off or gives nothing.
QString stabilityConclusion(const DataCenter& project);
