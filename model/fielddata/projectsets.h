#pragma once

#include "model/fielddata/criticalcounts.h"
#include "model/fielddata/measurements.h"
#include "model/fielddata/setstatistics.h"
#include "model/fielddata/setwindows.h"

// Maps a project's measurements and joint sets onto the pure computations
// (set statistics, windows, automatic sets, critical percentages). Weights
// are those of the density (fieldpoles.h: quantity, times Terzaghi's weight
// when it is on).

// For each measurement the index of its set in field.sets, -1 for none (no
// name, or a name no set has).
QVector<int> measurementSetIndexes(const FieldData& field);

// The statistics of every set, in the order of field.sets; each set's poles
// are turned into the hemisphere about its window's centre.
QVector<SetStatistics> jointSetStatistics(const FieldData& field);

// Every measurement's set from the windows of field.sets (nearest centre
// where windows overlap; none outside every window).
void assignMeasurementsToSets(FieldData& field);

struct AutoSetRequest {
    int count = 0;             // sets wanted; 0: as many as the density has peaks
    double threshold = 3;      // least peak density, in multiples of a uniform sample's
    double minSeparation = 20; // peaks closer than this (degrees) are one
    double coneAngle = 25;     // window half-angle (degrees)
};

// Replaces the sets by sets found from the peaks of the poles' density
// (Fisher smoothing, which has no counting noise to make false peaks, with
// Robin & Jowett's K: 100, or 2(n + 1) for fewer than 100 poles) and assigns
// every measurement. Returns the number of sets found.
int findAutoSets(FieldData& field, const AutoSetRequest& request);

// The critical percentages of the measurements for a slope and its criteria,
// with field.wedgePairs; `statistics` gives the set planes (jointSetStatistics).
CriticalCounts measurementCriticalCounts(const FieldData& field, const QVector<SetStatistics>& statistics,
                                         const SlopeCriteria& criteria, int threads = 0);
