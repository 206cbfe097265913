#include "caddoc.h"

#include <cmath>
#include <stdexcept>

namespace vantrel {

bool initCadDocument(CadDocument& doc) noexcept
{
    try {
        HeaderValues& h = doc.header;
        h.insUnits = 4;                       // millimetres
        h.angBase = 0.0;
        h.angDir = 0;                         // counter-clockwise
        h.worldView = true;
        h.showModelSpace = true;
        h.insBase = {0, 0, 0};
        h.ucsOrigin = {0, 0, 0};
        h.ucsXAxis = {1, 0, 0};
        h.ucsYAxis = {0, 1, 0};
        h.codePage = "ANSI_936";

        if (TextStyle* standard = doc.findStyle("Standard")) {
            standard->fontFile = "Arial.ttf";
            standard->bigFontFile.clear();
        }

        TextStyle zt;
        zt.name = kTextStyleName;
        zt.height = 0.0;
        zt.lastHeight = 0.0;
        zt.widthFactor = 1.0;
        zt.fontFile = "SimSun.ttf";
        zt.bigFontFile = "";
        doc.addStyle(zt);

        // The shape file the boundary line type draws its ticks from. Shape
        // file styles (flag 1) never appear among the text styles users
        // pick from; the style control still owns it, as in AutoCAD files.
        TextStyle px;
        px.name = kShapeStyleName;
        px.flags = 1;
        px.height = 0.0;
        px.widthFactor = 1.0;
        px.lastHeight = 0.0;
        px.fontFile = "ltypeshp.shx";
        const Handle pxHandle = doc.addStyle(px).handle;

        LineType bp;
        bp.name = kBoundaryLineType;
        bp.description = "qxtw line __|__|__|__|__|__|__|__|__|__|__|__";
        LineTypeSegment shape;
        shape.length = 0.0;
        shape.flags = 4;
        shape.shapeNumber = 130;
        shape.style = pxHandle;
        shape.scale = 0.5;
        shape.offset = {0.0, 0.5};
        shape.rotation = 0.0;
        LineTypeSegment dash;
        dash.length = 1.0;
        bp.segments = {dash, shape, dash};
        doc.addLineType(bp);

        if (!doc.findLineType(kDashLineType)) {
            LineType iso;
            iso.name = kDashLineType;
            iso.description = "ISO dash __ __ __ __ __ __ __ __ __ __ __ __ __";
            LineTypeSegment a, b;
            a.length = 12.0;
            b.length = -3.0;
            iso.segments = {a, b};
            doc.addLineType(iso);
        }

        doc.addLayer(kLayerName, 7);
        return true;
    } catch (...) {
        return false;
    }
}

namespace {

void requireFinite(double v)
{
    if (!std::isfinite(v))
        throw std::invalid_argument("number is not finite");
}

// The entity's layer: the drawing's own, or a further one made on first use.
const Layer* entityLayer(CadDocument& doc, const std::string& name) {
    if (name.empty())
        return doc.findLayer(kLayerName);
    if (const Layer* layer = doc.findLayer(name))
        return layer;
    if (name.size() > 31)
        throw std::invalid_argument("layer name too long");
    for (const char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                        c == '_' || c == '-';
        if (!ok)
            throw std::invalid_argument("layer name character");
    }
    return &doc.addLayer(name, 7);
}

Entity base(CadDocument& doc, EntityKind kind, int color, double ltScale, const std::string& layerName) {
    if (color < 0 || color > 256)
        throw std::invalid_argument("colour index out of range");
    requireFinite(ltScale);
    const Layer* layer = entityLayer(doc, layerName);
    if (!layer)
        throw std::runtime_error("layer missing");
    Entity e;
    e.kind = kind;
    e.layer = layer->handle;
    e.color = color;
    e.ltScale = ltScale;
    return e;
}

void useLineType(CadDocument& doc, Entity& e, const char* name)
{
    const LineType* lt = doc.findLineType(name);
    if (!lt)
        throw std::runtime_error("line type missing");
    e.ltypeRef = LineTypeRef::Handle;
    e.lineType = lt->handle;
}

}  // namespace

void addPolyline(CadDocument& doc, const std::vector<Vec2>& vertices, int styleCode, int color,
                 double ltScale, const std::string& layer) {
    Entity e = base(doc, EntityKind::Polyline2D, color, ltScale, layer);
    for (const Vec2& v : vertices) {
        requireFinite(v.x);
        requireFinite(v.y);
    }
    e.vertices = vertices;
    if (styleCode == 6)
        useLineType(doc, e, kDashLineType);
    doc.addEntity(std::move(e));
}

void addCircle(CadDocument& doc, Vec2 center, double radius, int styleCode, int color, double ltScale,
               const std::string& layer) {
    Entity e = base(doc, EntityKind::Circle, color, ltScale, layer);
    requireFinite(center.x);
    requireFinite(center.y);
    requireFinite(radius);
    e.center = {center.x, center.y, 0.0};
    e.radius = radius;
    if (styleCode == 6)
        useLineType(doc, e, kDashLineType);
    doc.addEntity(std::move(e));
}

void addArc(CadDocument& doc, Vec2 center, double radius, double startAngle, double endAngle, int styleCode,
            int color, double ltScale, const std::string& layer) {
    Entity e = base(doc, EntityKind::Arc, color, ltScale, layer);
    for (double v : {center.x, center.y, radius, startAngle, endAngle})
        requireFinite(v);
    e.center = {center.x, center.y, 0.0};
    e.radius = radius;
    e.startAngle = startAngle;
    e.endAngle = endAngle;
    if (styleCode == 1)
        useLineType(doc, e, kBoundaryLineType);
    doc.addEntity(std::move(e));
}

void addText(CadDocument& doc, Vec2 at, const std::string& utf8, double height, int hAlign, int vAlign,
             double rotation, const std::string& layer) {
    Entity e = base(doc, EntityKind::Text, 256, 1.0, layer);
    for (double v : {at.x, at.y, height, rotation})
        requireFinite(v);
    if (hAlign < 0 || hAlign > 5 || vAlign < 0 || vAlign > 3)
        throw std::invalid_argument("alignment code out of range");
    const TextStyle* style = doc.findStyle(kTextStyleName);
    if (!style)
        throw std::runtime_error("text style missing");
    e.style = style->handle;
    e.insert = {at.x, at.y, 0.0};
    e.alignment = {at.x, at.y, 0.0};
    e.height = height;
    e.text = utf8;
    e.hAlign = hAlign;
    e.vAlign = vAlign;
    e.rotation = rotation;
    doc.addEntity(std::move(e));
}

}  // namespace vantrel
