#pragma once

#include "model/factors/stabilityparams.h"

// How the inputs of the factor-of-safety calculation are presented.

// True when the plane's strength was never entered: it has no entry, or its
// entry holds exactly the default (c = 0, φ = the planar friction angle),
// which is what files written before this distinction hold for every plane
// nobody set. The dialog and the report mark such planes.
bool strengthIsDefault(const StabilityParams& params, int planeId, double defaultFriction);
