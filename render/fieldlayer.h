#pragma once

#include "model/fielddata/rose.h"

#include <QColor>
#include <QVector>

class DataCenter;
class QImage;
class QPainter;
struct FieldView;

// The measurement layer of the stereonet: filled density bands, contour
// lines, the poles (small dots coloured by kind) and a legend of the levels.
// It is drawn under everything else of the net. The bands, lines and poles
// are painted once per view and net radius into an image that repaints only
// copy.
namespace FieldLayer {

// Colour of the band from level `index` (0-based) up, of `count` levels:
// from pale yellow to dark red.
QColor bandColour(int index, int count);

// The layer of a project whose layer is shown (FieldViews::layerShown);
// painter origin at the net centre, R the net radius in pixels.
void draw(QPainter& painter, double R, const DataCenter& project);

// The legend of levels beside the net: one colour box per band with its
// lower level, the unit and the method, top left at (x, y) in the
// painter's coordinates; p is the label pixel size. Returns the y below it.
double drawLegend(QPainter& painter, double x, double y, int p, const FieldView& view);

// The density plot on its own: white background, the net circle with its
// ticks and letters, bands, lines, poles and legend, as the report shows it;
// with joint sets, their windows, means and cones (SetLayer) and their
// legend below the levels.
void renderDensityPicture(QImage& image, const DataCenter& project);

// The two pictures of the report's section 结构面统计: the density plot
// (800 × 600) and the strike rose (10° sectors, counts, weighted; 600 × 600).
// Null images for a project without measurements.
void renderReportPictures(const DataCenter& project, QImage& density, QImage& rose);
// The rose of the report and of karven-batch --rose: strike, 10° sectors,
// counts, weighted.
RoseSettings reportRoseSettings();

} // namespace FieldLayer
