#pragma once

#include "model/fielddata/contours.h"
#include "model/fielddata/density.h"
#include "model/fielddata/measurements.h"
#include "model/fielddata/setgeometry.h"
#include "model/fielddata/setstatistics.h"
#include "model/planerecord.h"

#include <QPointF>
#include <QString>
#include <QVector>

#include <memory>

class DataCenter;

// One joint set on the net: its window, its statistics, the mean pole and
// the cones about it (confidence α95 and variability), in net units.
struct FieldSetView {
    QString name;
    int color = 1; // AutoCAD colour index
    SetStatistics statistics;
    QVector<NetCurvePiece> window;      // the window's cone
    QVector<NetCurvePiece> confidence;  // α95 about the mean pole
    QVector<NetCurvePiece> variability; // variability cone about the mean pole
    QPointF meanPole;                   // where the mean pole plots (sets with poles)
    // The mean plane as the net draws it: steeper than the data dialog's
    // 89.9° it is drawn at 89.9°, as 用作结构面 enters it.
    double meanDirection = 0, meanAngle = 0;

    bool hasMean() const { return statistics.count > 0; }
};

// What a project's measurements look like on its net, for the screen, the
// pictures, the report, the CAD drawing and karven-batch alike: the poles,
// the density grid, its maximum, the contour levels with their lines and
// bands. Net units (the primitive circle has radius 1, x east, y north).
// The numbers come from the shared computations (density.h, contours.h);
// this is the mapping of a project onto them.
struct FieldView {
    // Poles in drawing order and the kind of each (2 joint, 3 bedding,
    // 4 fault, as the planes).
    QVector<QPointF> poles;
    QVector<int> kinds;

    DensityGrid grid;
    DensityMaximum maximum;
    // Ascending levels (the project's typed ones, else automatic) and their
    // contours.
    QVector<double> levels;
    QVector<ContourLevel> contours;

    // "%" (per 1 % of the hemisphere's area) or "sigma" (Kamb).
    QString unit;
    DensityMethod method = DensityMethod::Schmidt;
    double countingArea = 1;  // percent of the hemisphere (Kamb's from the count)
    double coneHalfAngle = 0; // degrees

    int count = 0;            // measurements
    double weightedCount = 0; // sum of their weights (Terzaghi's included)
    // Maximum density and the plane whose pole lies there.
    double maxValue = 0;
    double maxDirection = 0, maxAngle = 0;
    QPointF maxPoint; // on the net

    // Joint sets, in the project's order; empty for a project without sets.
    QVector<FieldSetView> sets;
    // Per pole, the index of its set in `sets` (-1: none); empty without sets.
    QVector<int> poleSets;

    bool isEmpty() const { return poles.isEmpty(); }
};

namespace FieldViews {

// The view of a project's measurements on its hemisphere. Computed anew.
FieldView compute(const FieldData& field, bool upper);

// The view of a project, from a small per-thread cache keyed by everything
// the view depends on: repaints, pictures and CAD drawings of an unchanged
// project compute it once.
std::shared_ptr<const FieldView> of(const DataCenter& project);

// A set's mean great circle as a plane record with the project's net
// geometry, drawn as structural planes are.
PlaneRecord meanPlaneRecord(const DataCenter& project, const FieldSetView& set);

// Whether the project's stereonet carries the measurement layer: it has
// measurements and the layer is switched on.
bool layerShown(const DataCenter& project);

} // namespace FieldViews
