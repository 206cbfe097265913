#pragma once

#include "model/fielddata/density.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QVector>

// Contours of a density grid (density.h) for given levels, in net
// coordinates (unit radius, x east, y north), cut at the primitive circle:
// ready to be scaled onto the screen, the report's picture or the CAD drawing.
//
// Marching squares on the grid's nodes: a node belongs to the region of a
// level when its density is at least the level and it lies within the
// primitive circle. Where a cell's edge leaves the region the boundary
// crosses it at the density interpolated linearly along the edge, or where
// the edge meets the primitive circle, whichever comes first. Saddle cells
// are decided by the mean of their four corners.

struct ContourLevel {
    double level = 0;
    // The boundary of {density ≥ level} within the primitive: closed rings
    // (the first point is not repeated) with the region on their left, so
    // outer rings run counter-clockwise (north up) and holes clockwise. Along
    // the primitive they follow it by chords one grid cell long.
    QVector<QPolygonF> rings;
    // The contour lines: the rings without their stretches along the
    // primitive. A line that closes on itself repeats its first point at the
    // end; the others end on the primitive circle.
    QVector<QPolygonF> lines;
};

// One ContourLevel per level, in the order given (levels ascending).
QVector<ContourLevel> densityContours(const DensityGrid& grid, const QVector<double>& levels);

// The filled band of contours[k]: density from its level up to the next
// level (the last band: everything above its level), as an odd-even path.
QPainterPath contourBand(const QVector<ContourLevel>& contours, int k);
