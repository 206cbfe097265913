#pragma once

#include "model/fielddata/contours.h"
#include "model/fielddata/density.h"
#include "model/fielddata/measurements.h"

#include <QPointF>
#include <QString>
#include <QVector>

#include <memory>

class DataCenter;

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

    bool isEmpty() const { return poles.isEmpty(); }
};

namespace FieldViews {

// The view of a project's measurements on its hemisphere. Computed anew.
FieldView compute(const FieldData& field, bool upper);

// The view of a project, from a small per-thread cache keyed by everything
// the view depends on: repaints, pictures and CAD drawings of an unchanged
// project compute it once.
std::shared_ptr<const FieldView> of(const DataCenter& project);

// Whether the project's stereonet carries the measurement layer: it has
// measurements and the layer is switched on.
bool layerShown(const DataCenter& project);

} // namespace FieldViews
