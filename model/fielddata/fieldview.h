#pragma once

#include "model/fielddata/measurements.h"

#include <QPointF>
#include <QPolygonF>
#include <QString>
#include <QVector>

#include <memory>

class DataCenter;

// What a project's measurements look like on its net: the poles, the pole
// density over a square grid of the projection plane, the contour levels and
// their lines, and the densest direction. Net units throughout (the
// primitive circle has radius 1, x east, y north), so the screen, the
// pictures and the CAD drawing scale the same data. The density itself is
// computed on the sphere (each grid node is the projection of a direction);
// only the node positions depend on the projection.
struct FieldView {
    // Poles in drawing order and the kind of each (2 joint, 3 bedding,
    // 4 fault, as the planes).
    QVector<QPointF> poles;
    QVector<int> kinds;

    // Density at gridSize × gridSize nodes, row-major from the south-west
    // node (-gridExtent, -gridExtent) to the north-east one. Nodes outside
    // the primitive circle carry the density of the direction the formula
    // projects there (the opposite hemisphere's mirror), so contours meet
    // the circle cleanly.
    int gridSize = 0;
    double gridExtent = 1;
    QVector<double> grid;

    // Ascending contour levels and, per level, its lines clipped to the
    // primitive circle.
    QVector<double> levels;
    QVector<QVector<QPolygonF>> contours;

    // Unit of densities and levels: "%" (counting and smoothing, percent of
    // the weighted poles per 1 % of the hemisphere) or "sigma" (Kamb).
    QString unit;
    DensityMethod method = DensityMethod::Schmidt;
    double countingArea = 1; // percent of the hemisphere

    int count = 0;            // measurements
    double weightedCount = 0; // sum of their weights (Terzaghi's included)
    // Maximum density and the plane whose pole lies there.
    double maxValue = 0;
    double maxDirection = 0, maxAngle = 0;
    QPointF maxPoint;

    bool isEmpty() const { return poles.isEmpty(); }
    // Density at a net point by bilinear interpolation of the grid.
    double densityAt(double x, double y) const;
};

namespace FieldViews {

// Grid nodes per side: 0.02 net units apart, two nodes beyond the circle.
constexpr int DefaultGridSize = 105;

// Net position of the pole of a plane (dip direction, dip) on the upper or
// lower hemisphere, as the planes' poles are placed.
QPointF polePoint(double direction, double angle, bool upper);
// The unit axis a net point stands for (east, north, up).
void axisAt(double x, double y, bool upper, double axis[3]);
// The plane whose pole is the axis: dip direction in [0, 360), dip in [0, 90].
void planeOfAxis(const double axis[3], double& direction, double& angle);

// Contour levels: a "nice" step (1, 2, 2.5 or 5 times a power of ten) giving
// three to eight levels up to the maximum for percentages; 2, 4, 6, ... σ
// (wider steps above 16 σ) for Kamb.
QVector<double> autoLevels(double maxValue, const QString& unit);

// Lines of one level through a row-major grid of n × n values at
// -extent .. extent (marching squares, joined into polylines), clipped to
// the unit circle.
QVector<QPolygonF> contourLines(const QVector<double>& grid, int n, double extent, double level);

// The view of a project's measurements on its hemisphere. Computed anew.
FieldView compute(const FieldData& field, bool upper, int gridSize = DefaultGridSize);

// The view of a project, from a small per-thread cache keyed by everything
// the view depends on: a repaint, a picture and a CAD drawing of an
// unchanged project compute it once.
std::shared_ptr<const FieldView> of(const DataCenter& project);

// Whether the project's stereonet carries the measurement layer: it has
// measurements and the layer is switched on.
bool layerShown(const DataCenter& project);

} // namespace FieldViews
