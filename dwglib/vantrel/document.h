// A small CAD document model: header values, symbol tables with their
// default entries, model and paper space blocks, layouts, dictionaries
// and the entities 2-D polyline, circle, arc and text.
//
// Every object carries its handle; handles are given out by the document
// when an object is created, so references can be set up front and the
// writer only serialises.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

using Handle = uint64_t;

struct Vec2 { double x = 0, y = 0; };
struct Vec3 { double x = 0, y = 0, z = 0; };

// Header values the writer takes from the document; everything else in the
// header section is written with AutoCAD's defaults for a new drawing.
struct HeaderValues {
    int insUnits = 0;                 // $INSUNITS, 4 = millimetres
    double angBase = 0.0;             // $ANGBASE
    int angDir = 0;                   // $ANGDIR, 0 = counter-clockwise
    bool worldView = true;            // $WORLDVIEW
    bool showModelSpace = true;       // $TILEMODE
    Vec3 insBase;                     // $INSBASE
    Vec3 ucsOrigin;                   // $UCSORG
    Vec3 ucsXAxis{1, 0, 0};           // $UCSXDIR
    Vec3 ucsYAxis{0, 1, 0};           // $UCSYDIR
    std::string codePage = "ANSI_1252";  // $DWGCODEPAGE
    double textSize = 2.5;            // $TEXTSIZE
    double ltScale = 1.0;             // $LTSCALE
};

struct LineTypeSegment {
    double length = 0.0;
    int flags = 0;                    // 4 = shape, 2 = text, 1 = absolute rotation
    int shapeNumber = 0;
    Handle style = 0;                 // shape/text style for flags 2/4
    double scale = 1.0;
    Vec2 offset;
    double rotation = 0.0;            // radians
};

struct LineType {
    Handle handle = 0;
    std::string name;
    std::string description;
    std::vector<LineTypeSegment> segments;
    int flags = 0;
    double patternLength() const;
};

struct TextStyle {
    Handle handle = 0;
    std::string name;                 // empty for an unnamed shape file
    int flags = 0;                    // 1 = shape file, 4 = vertical
    double height = 0.0;
    double widthFactor = 1.0;
    double obliqueAngle = 0.0;
    int generation = 0;
    double lastHeight = 2.5;
    std::string fontFile;
    std::string bigFontFile;
    bool listed = true;               // entry of the style control object
};

struct Layer {
    Handle handle = 0;
    std::string name;
    int color = 7;                    // ACI, negative = off
    Handle lineType = 0;
    int lineweight = -3;              // -3 = default
    bool plot = true;
};

struct AppId { Handle handle = 0; std::string name; };
struct DimStyle { Handle handle = 0; std::string name; };
struct VPort { Handle handle = 0; std::string name; };

enum class EntityKind { Polyline2D, Circle, Arc, Text };

// Line type reference of an entity: by layer, by block, continuous or a
// named table entry.
enum class LineTypeRef { ByLayer = 0, ByBlock = 1, Continuous = 2, Handle = 3 };

struct Entity {
    EntityKind kind = EntityKind::Circle;
    Handle handle = 0;
    Handle layer = 0;
    int color = 256;                  // ACI, 256 = by layer, 0 = by block
    LineTypeRef ltypeRef = LineTypeRef::ByLayer;
    Handle lineType = 0;
    double ltScale = 1.0;

    // Polyline2D
    std::vector<Vec2> vertices;
    std::vector<Handle> vertexHandles;
    Handle seqend = 0;
    bool closed = false;
    // Circle / Arc
    Vec3 center;
    double radius = 0.0;
    double startAngle = 0.0;          // radians
    double endAngle = 0.0;
    // Text
    Vec3 insert;
    Vec3 alignment;
    double height = 0.0;
    std::string text;                 // UTF-8
    int hAlign = 0;                   // 0 left 1 centre 2 right 3 aligned 4 middle 5 fit
    int vAlign = 0;                   // 0 baseline 1 bottom 2 middle 3 top
    double rotation = 0.0;            // radians
    double widthFactor = 1.0;
    Handle style = 0;
};

struct BlockRecord {
    Handle handle = 0;
    std::string name;
    Handle blockEntity = 0;           // BLOCK
    Handle endBlock = 0;              // ENDBLK
    Handle layout = 0;
    bool paperSpace = false;
    std::vector<Entity> entities;
};

struct Layout {
    Handle handle = 0;
    std::string name;
    int tabOrder = 0;
    Handle block = 0;
    bool modelSpace = false;
};

struct DictionaryEntry { std::string name; Handle target = 0; };

struct Dictionary {
    Handle handle = 0;
    Handle owner = 0;
    std::vector<DictionaryEntry> entries;
    bool hardOwner = false;
    int cloning = 1;
    bool withDefault = false;         // ACDBDICTIONARYWDFLT
    Handle defaultEntry = 0;
};

struct Placeholder { Handle handle = 0; Handle owner = 0; };
struct MLineStyle { Handle handle = 0; Handle owner = 0; std::string name; };

class CadDocument {
public:
    // A document with every default object a new AutoCAD drawing has:
    // the control objects, layer "0", line types ByBlock/ByLayer/Continuous,
    // text style Standard, application ACAD, dimension style Standard,
    // viewport *Active, *Model_Space and *Paper_Space with their layouts,
    // and the named-object dictionary with its standard entries.
    CadDocument();

    Handle newHandle() { return nextHandle_++; }
    Handle handleSeed() const { return nextHandle_; }

    HeaderValues header;

    // Control objects of the symbol tables.
    Handle blockControl = 0, layerControl = 0, styleControl = 0, ltypeControl = 0,
           viewControl = 0, ucsControl = 0, vportControl = 0, appidControl = 0,
           dimstyleControl = 0;

    std::vector<Layer> layers;
    std::vector<TextStyle> styles;
    std::vector<LineType> lineTypes;
    std::vector<AppId> appIds;
    std::vector<DimStyle> dimStyles;
    std::vector<VPort> vports;
    std::vector<BlockRecord> blocks;   // [0] model space, [1] paper space
    std::vector<Layout> layouts;
    std::vector<Dictionary> dictionaries;  // [0] named-object dictionary
    std::vector<Placeholder> placeholders;
    std::vector<MLineStyle> mlineStyles;

    // Named look-ups; null when absent.
    Layer* findLayer(const std::string& name);
    TextStyle* findStyle(const std::string& name);
    LineType* findLineType(const std::string& name);
    Dictionary* findDictionary(Handle h);
    const Dictionary* namedObjects() const { return &dictionaries.front(); }
    Handle namedDictionaryEntry(const std::string& name) const;

    BlockRecord& modelSpace() { return blocks[0]; }
    const BlockRecord& modelSpace() const { return blocks[0]; }
    BlockRecord& paperSpace() { return blocks[1]; }

    // Adders give the new object a handle and return it.
    Layer& addLayer(const std::string& name, int color);
    TextStyle& addStyle(const TextStyle& style);
    LineType& addLineType(const LineType& lt);

    // Entities are added to model space. Polylines receive handles for
    // their vertices and sequence end.
    Entity& addEntity(Entity e);

    Handle layer0() const { return layers.front().handle; }
    Handle ltypeByLayer = 0, ltypeByBlock = 0, ltypeContinuous = 0;
    Handle currentStyle = 0;           // $TEXTSTYLE
    Handle currentLayer = 0;           // $CLAYER
    Handle currentDimStyle = 0;        // $DIMSTYLE
    Handle currentMLineStyle = 0;      // $CMLSTYLE

private:
    Handle nextHandle_ = 1;
};

}  // namespace vantrel
