#pragma once

#include "model/fielddata/density.h"
#include "model/fielddata/measurements.h"

// Maps a project's measurements onto the pure computations: the poles with
// their weights, as the density, contours and rose take them.

// The weight of each measurement, in order: its own weight (quantity), times
// Terzaghi's weight (terzaghi.h) when `field.terzaghi` is on and the
// measurement names a traverse of `field.traverses` (others get 1).
QVector<double> measurementWeights(const FieldData& field);

// The poles of the measurements with measurementWeights.
QVector<WeightedAxis> measurementPoles(const FieldData& field);

// The density settings of the project (method, counting area).
DensitySettings densitySettings(const FieldData& field);
