#pragma once

#include "model/fielddata/rose.h"

#include <QString>

class QImage;
class QPainter;
class QRectF;
struct FieldData;

// The rose diagram (玫瑰花图) of a project's measurements as a picture:
// strike sectors over the northern half circle (strikes being axial), dip
// directions over the full circle, with rings, their values, bearings and a
// title. The sectors are those of roseDiagram (model/fielddata/rose.h);
// weighted, each plane counts by its weight times Terzaghi's where that is on.
namespace RosePicture {

// The sectors of a project's measurements.
RoseDiagram roseOf(const FieldData& field, const RoseSettings& settings);

// "走向玫瑰花图（10°分组，200条）" and the like.
QString title(const FieldData& field, const RoseSettings& settings);

// Draws the diagram into `area` (no background).
void draw(QPainter& painter, const QRectF& area, const FieldData& field, const RoseSettings& settings);

// The diagram on a white image (the report, the copied picture, karven-batch --rose).
void renderImage(QImage& image, const FieldData& field, const RoseSettings& settings);

} // namespace RosePicture
