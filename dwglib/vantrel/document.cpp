#include "document.h"

#include <cmath>
#include <stdexcept>

namespace vantrel {

double LineType::patternLength() const
{
    double sum = 0.0;
    for (const auto& s : segments)
        sum += std::fabs(s.length);
    return sum;
}

CadDocument::CadDocument()
{
    // Handles follow the order AutoCAD uses for a new drawing's objects.
    blockControl = newHandle();     // 1
    layerControl = newHandle();     // 2
    styleControl = newHandle();     // 3
    ltypeControl = newHandle();     // 4 (AutoCAD: 5; any unique value works)
    viewControl = newHandle();
    ucsControl = newHandle();
    vportControl = newHandle();
    appidControl = newHandle();
    dimstyleControl = newHandle();

    Dictionary nod;
    nod.handle = newHandle();
    dictionaries.push_back(nod);

    ltypeByBlock = newHandle();
    ltypeByLayer = newHandle();
    ltypeContinuous = newHandle();
    lineTypes.push_back({ltypeByBlock, "ByBlock", "", {}, 0});
    lineTypes.push_back({ltypeByLayer, "ByLayer", "", {}, 0});
    lineTypes.push_back({ltypeContinuous, "Continuous", "Solid line", {}, 0});

    Layer l0;
    l0.handle = newHandle();
    l0.name = "0";
    l0.color = 7;
    l0.lineType = ltypeContinuous;
    layers.push_back(l0);
    currentLayer = l0.handle;

    TextStyle standard;
    standard.handle = newHandle();
    standard.name = "Standard";
    standard.fontFile = "txt";
    styles.push_back(standard);
    currentStyle = standard.handle;

    appIds.push_back({newHandle(), "ACAD"});
    dimStyles.push_back({newHandle(), "Standard"});
    currentDimStyle = dimStyles.back().handle;
    vports.push_back({newHandle(), "*Active"});

    // Dictionaries hanging off the named-object dictionary.
    auto addDict = [&](const std::string& name, bool withDefault = false) -> Dictionary& {
        Dictionary d;
        d.handle = newHandle();
        d.owner = dictionaries.front().handle;
        d.withDefault = withDefault;
        dictionaries.front().entries.push_back({name, d.handle});
        dictionaries.push_back(d);
        return dictionaries.back();
    };
    addDict("ACAD_COLOR");
    addDict("ACAD_GROUP");
    const Handle layoutDict = addDict("ACAD_LAYOUT").handle;
    addDict("ACAD_MATERIAL");
    const Handle mlineDict = addDict("ACAD_MLINESTYLE").handle;
    addDict("ACAD_PLOTSETTINGS");
    Dictionary& plotStyles = addDict("ACAD_PLOTSTYLENAME", true);
    Placeholder normal{newHandle(), plotStyles.handle};
    plotStyles.entries.push_back({"Normal", normal.handle});
    plotStyles.defaultEntry = normal.handle;
    placeholders.push_back(normal);

    // AutoCAD names the style object STANDARD and its dictionary entry Standard.
    MLineStyle mls{newHandle(), mlineDict, "STANDARD"};
    mlineStyles.push_back(mls);
    currentMLineStyle = mls.handle;
    findDictionary(mlineDict)->entries.push_back({"Standard", mls.handle});

    // Model and paper space with their BLOCK/ENDBLK and layouts.
    for (int i = 0; i < 2; ++i) {
        BlockRecord b;
        b.handle = newHandle();
        b.name = i == 0 ? "*Model_Space" : "*Paper_Space";
        b.paperSpace = i == 1;
        b.blockEntity = newHandle();
        b.endBlock = newHandle();
        Layout lay;
        lay.handle = newHandle();
        lay.name = i == 0 ? "Model" : "Layout1";
        lay.tabOrder = i;
        lay.block = b.handle;
        lay.modelSpace = i == 0;
        b.layout = lay.handle;
        blocks.push_back(b);
        layouts.push_back(lay);
        findDictionary(layoutDict)->entries.push_back({lay.name, lay.handle});
    }
}

Layer* CadDocument::findLayer(const std::string& name)
{
    for (auto& l : layers)
        if (l.name == name)
            return &l;
    return nullptr;
}

TextStyle* CadDocument::findStyle(const std::string& name)
{
    for (auto& s : styles)
        if (s.listed && s.name == name)
            return &s;
    return nullptr;
}

LineType* CadDocument::findLineType(const std::string& name)
{
    for (auto& l : lineTypes)
        if (l.name == name)
            return &l;
    return nullptr;
}

Dictionary* CadDocument::findDictionary(Handle h)
{
    for (auto& d : dictionaries)
        if (d.handle == h)
            return &d;
    return nullptr;
}

Handle CadDocument::namedDictionaryEntry(const std::string& name) const
{
    for (const auto& e : dictionaries.front().entries)
        if (e.name == name)
            return e.target;
    return 0;
}

Layer& CadDocument::addLayer(const std::string& name, int color)
{
    if (name.empty() || findLayer(name))
        throw std::invalid_argument("layer name empty or taken: " + name);
    Layer l;
    l.handle = newHandle();
    l.name = name;
    l.color = color;
    l.lineType = ltypeContinuous;
    layers.push_back(l);
    return layers.back();
}

TextStyle& CadDocument::addStyle(const TextStyle& style)
{
    if (style.listed && (style.name.empty() || findStyle(style.name)))
        throw std::invalid_argument("text style name empty or taken: " + style.name);
    TextStyle s = style;
    s.handle = newHandle();
    styles.push_back(s);
    return styles.back();
}

LineType& CadDocument::addLineType(const LineType& lt)
{
    if (lt.name.empty() || findLineType(lt.name))
        throw std::invalid_argument("line type name empty or taken: " + lt.name);
    LineType l = lt;
    l.handle = newHandle();
    lineTypes.push_back(l);
    return lineTypes.back();
}

Entity& CadDocument::addEntity(Entity e)
{
    if (e.layer == 0)
        e.layer = layer0();
    e.handle = newHandle();
    if (e.kind == EntityKind::Polyline2D) {
        e.vertexHandles.clear();
        for (size_t i = 0; i < e.vertices.size(); ++i)
            e.vertexHandles.push_back(newHandle());
        e.seqend = newHandle();
    }
    if (e.kind == EntityKind::Text && e.style == 0)
        e.style = currentStyle;
    modelSpace().entities.push_back(std::move(e));
    return modelSpace().entities.back();
}

}  // namespace vantrel
