#pragma once

#include <QString>
#include <QVector>

class QImage;
class QPainter;
class QRectF;
struct FieldData;

// The rose diagram (玫瑰花图) of a project's measurements: sectors of strike
// (drawn over the northern half circle, strikes being axial) or of dip
// direction (over the full circle), 5° or 10° wide, by count or by percent,
// weighted or not.
namespace RoseDiagram {

struct Options {
    bool strike = true;   // false: dip direction
    int sector = 10;      // 5 or 10 degrees
    bool percent = false; // false: counts
    bool weighted = true; // weights (and Terzaghi's correction when switched on) count
};

// Sector totals from north clockwise: 180 / sector of them for strikes
// (the first one starting at 270°, i.e. strikes folded into -90 .. 90), 360
// / sector for dip directions. Percentages are of the whole.
QVector<double> sectors(const FieldData& field, const Options& options);

// The title: "走向玫瑰花图" or "倾向玫瑰花图" with sector, count and scale.
QString title(const FieldData& field, const Options& options);

// Draws the diagram with its rings, scale labels, compass letters and title
// into `area` (white background not included).
void draw(QPainter& painter, const QRectF& area, const FieldData& field, const Options& options);

// The diagram on a white image (for the report, the copied picture and
// karven-batch --rose).
void renderImage(QImage& image, const FieldData& field, const Options& options);

} // namespace RoseDiagram
