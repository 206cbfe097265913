// Karven's drawing setup on top of the document model: the text styles,
// line types and layer the interchange drawing uses, and the entity
// builders that apply the style codes.
#pragma once

#include "document.h"

namespace vantrel {

// Names the drawing uses.
inline constexpr const char* kLayerName = "KVQXTW";
inline constexpr const char* kTextStyleName = "QXTWZT";
inline constexpr const char* kShapeStyleName = "QXTWPX";
inline constexpr const char* kBoundaryLineType = "QXTWBP";
inline constexpr const char* kDashLineType = "ACAD_ISO02W100";

// Header values, Standard's fonts, QXTWZT, the shape style QXTWPX,
// QXTWBP, ACAD_ISO02W100 (unless present) and layer KVQXTW with colour 7.
// Returns false when the document cannot take them (e.g. a name clash).
bool initCadDocument(CadDocument& doc) noexcept;

// Entity builders; each throws std::invalid_argument for values a DWG
// cannot hold (non-finite numbers, colour outside 0..256, a layer name
// other than 1 to 31 ASCII letters, digits, '_' and '-') and
// std::runtime_error when the document lacks a layer, style or line type
// it needs. They add to model space, on layer KVQXTW or, when `layer` is
// given, on that layer (created with colour 7 at its first entity).
void addPolyline(CadDocument& doc, const std::vector<Vec2>& vertices, int styleCode, int color,
                 double ltScale, const std::string& layer = std::string());
void addCircle(CadDocument& doc, Vec2 center, double radius, int styleCode, int color, double ltScale,
               const std::string& layer = std::string());
void addArc(CadDocument& doc, Vec2 center, double radius, double startAngle, double endAngle, int styleCode,
            int color, double ltScale, const std::string& layer = std::string());
void addText(CadDocument& doc, Vec2 at, const std::string& utf8, double height, int hAlign, int vAlign,
             double rotation, const std::string& layer = std::string());

}  // namespace vantrel
