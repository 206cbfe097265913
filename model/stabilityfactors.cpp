// Factors of safety for planar and wedge sliding.
#include "model/stabilityfactors.h"

#include "model/datacenter.h"

double requiredFactor(const StabilityParams&) { return 0; }
QString factorStateWord(double, double) { return QString(); }
QString wedgeModeCode(WedgeMode) { return QString(); }
bool isValidStabilityParams(const StabilityParams&, double) { return true; }
StabilityFactors computeStabilityFactors(const DataCenter&) { return StabilityFactors(); }
