#pragma once

#include <QVector>

class DataCenter;
class QPainter;
class QPainterPath;
struct FieldView;
struct NetCurvePiece;

// The joint sets over the measurement layer: each set's window (dashed), its
// mean great circle, the α95 cone (solid) and the variability cone (dotted)
// about the mean pole, the mean pole as a triangle with the set's name, all
// in the set's colour. Drawn only for a view with sets.
namespace SetLayer {

// The sets of `view` (the project's FieldViews::of); painter origin at the
// net centre, R the net radius in pixels, p the label pixel size.
void draw(QPainter& painter, double R, int p, const DataCenter& project, const FieldView& view);

// The sets' legend, one row per set (colour, name, mean plane, count), top
// left at (x, y); returns the y below it.
double drawLegend(QPainter& painter, double x, double y, int p, const FieldView& view);

// Pieces of a cone in pixels (origin at the net centre, y down).
QPainterPath piecesPath(const QVector<NetCurvePiece>& pieces, double R);

} // namespace SetLayer
