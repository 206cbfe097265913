#pragma once

#include "model/fielddata/setstatistics.h"

#include <QVector>

// Set windows, assignment of poles to sets, and sets found automatically
// from the peaks of the pole density.

// A window: the cone of half-angle `halfAngle` about the pole of the plane
// centerDirection∠centerAngle. Axial: it holds a pole and its antipode alike,
// so a window near the primitive circle reaches across it.
struct SetWindow {
    double centerDirection = 0;
    double centerAngle = 0;
    double halfAngle = 20;
};

// For each axis, the window that holds it (index into `windows`), -1 for
// none. Where windows overlap, the one whose centre is nearest wins; on a tie
// the earlier one.
QVector<int> assignToWindows(const QVector<UnitAxis>& axes, const QVector<SetWindow>& windows);

// A density maximum: its axis and its density value.
struct DensityPeak {
    UnitAxis axis{{0, 0, 1}};
    double value = 0;
};

// The peaks of a density sampled at `nodes` (axes, any spread over the
// hemisphere; a node and its antipode are the same point): nodes whose value
// is at least `threshold` and not below any node within `neighbourAngle`
// (degrees), highest first. A peak is merged into a higher one when it lies
// closer than `minSeparation` (degrees), or when the density between them
// never falls below `saddleRatio` times its own value (the lowest point of
// the great-circle arc between them, each point taken as the highest node
// within `neighbourAngle`): a peak that is only a bump on another's flank
// (its topographic prominence is small) is no set of its own. A ratio above
// 1 switches that test off.
QVector<DensityPeak> densityPeaks(const QVector<UnitAxis>& nodes, const QVector<double>& values,
                                  double neighbourAngle, double threshold, double minSeparation,
                                  double saddleRatio = 0.6);

struct AutoSetOptions {
    int count = 0;             // sets wanted; 0: as many as the peaks
    double threshold = 0;      // least density of a peak, in the density's unit
    double minSeparation = 20; // peaks closer than this (degrees) are merged
    double coneAngle = 25;     // a pole joins a set within this angle (degrees) of its centre
    int iterations = 10;       // refinement rounds (0: nearest peak only)
};

struct AutoSets {
    QVector<DensityPeak> peaks; // the peaks used, highest first
    QVector<UnitAxis> centres;  // final set centres (oriented means)
    QVector<int> assignment;    // per axis: set index or -1
    QVector<SetWindow> windows; // a window per set: its centre and the cone angle
};

// Sets from density peaks: the `count` highest peaks (all when 0) seed the
// sets, each axis joins the nearest centre within the cone, and each centre
// moves to its set's oriented mean until no axis changes set. That is the
// crisp limit of the fuzzy k-means of axial data of Hammah & Curran (1998,
// Int. J. Rock Mech. Min. Sci. 35, 889–905), whose distance 1 − (x·v)²
// orders centres as the axial angle does, with the counting-cone peaks of
// Shanley & Mahtab (1976, Math. Geol. 8, 9–23) as seeds and the cone as the
// limit beyond which a pole stays unassigned.
AutoSets autoSets(const QVector<UnitAxis>& axes, const QVector<double>& weights,
                  const QVector<DensityPeak>& peaks, const AutoSetOptions& options);
