#include "colour/colour_json.h"

#include <cstdio>

#include "report/json.h"

namespace {

const char* extendName(Extend e)
{
    return e == Extend::Repeat ? "repeat" : e == Extend::Reflect ? "reflect" : "pad";
}

std::string listJson(const std::vector<std::string>& items)
{
    std::string out = "[";
    for (std::size_t k = 0; k < items.size(); ++k)
        out += (k ? ", " : "") + items[k];
    return out + "]";
}

std::string stopsJson(const ColourLine& line, const ColourTables& tables, const PaintSettings& settings)
{
    std::vector<std::string> stops;
    for (const ColourStop& s : line.stops)
        stops.push_back(JsonObject()
                            .add("offset", jsonNumber(s.offset))
                            .add("palette_index", s.paletteIndex)
                            .add("alpha", jsonNumber(s.alpha))
                            .add("color", jsonString(ColourText(PaletteColour(tables, settings, s.paletteIndex, s.alpha))))
                            .str());
    return listJson(stops);
}

} // namespace

std::string ColourText(Rgba c)
{
    char text[10];
    std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", c.r, c.g, c.b, c.a);
    return text;
}

std::string PaintJson(const PaintNode& n, const ColourTables& tables, const PaintSettings& settings)
{
    JsonObject o;
    o.add("format", jsonString(PaintKindName(n.kind)));
    const auto child = [&](std::size_t k) { return PaintJson(n.children.at(k), tables, settings); };
    switch (n.kind) {
    case PaintKind::ColrLayers: {
        std::vector<std::string> layers;
        for (const PaintNode& c : n.children)
            layers.push_back(PaintJson(c, tables, settings));
        return o.add("layers", listJson(layers)).str();
    }
    case PaintKind::Solid:
        return o.add("palette_index", n.paletteIndex)
            .add("alpha", jsonNumber(n.alpha))
            .add("color", jsonString(ColourText(PaletteColour(tables, settings, n.paletteIndex, n.alpha))))
            .str();
    case PaintKind::Glyph:
    case PaintKind::ColrGlyph:
        return o.add("glyph", n.glyph).add("paint", child(0)).str();
    case PaintKind::Composite:
        return o.add("mode", jsonString(CompositeModeName(n.mode))).add("source", child(0)).add("backdrop", child(1)).str();
    default:
        break;
    }
    const auto names = PaintFieldNames(n.kind);
    for (std::size_t k = 0; k < names.size() && k < n.values.size(); ++k)
        o.add(names[k], jsonNumber(n.values[k]));
    if (n.kind == PaintKind::LinearGradient || n.kind == PaintKind::RadialGradient || n.kind == PaintKind::SweepGradient)
        return o.add("extend", jsonString(extendName(n.line.extend))).add("stops", stopsJson(n.line, tables, settings)).str();
    return o.add("paint", child(0)).str();
}

std::string LayersJson(const std::vector<ColrLayer>& layers, const ColourTables& tables, const PaintSettings& settings)
{
    std::vector<std::string> items;
    for (const ColrLayer& l : layers)
        items.push_back(JsonObject()
                            .add("glyph", l.glyph)
                            .add("palette_index", l.paletteIndex)
                            .add("color", jsonString(ColourText(PaletteColour(tables, settings, l.paletteIndex, 1))))
                            .str());
    return listJson(items);
}

std::string StrikeJson(const StrikeGlyph& glyph)
{
    return JsonObject()
        .add("ppem", glyph.strike.ppem)
        .add("image_format", jsonString(glyph.imageFormat))
        .add("width", glyph.width)
        .add("height", glyph.height)
        .add("origin_x", glyph.originX)
        .add("origin_y", glyph.originY)
        .str();
}

std::string SvgJson(const SvgGlyphDocument& document)
{
    return JsonObject()
        .add("document", document.document)
        .add("first_glyph", document.record.firstGlyph)
        .add("last_glyph", document.record.lastGlyph)
        .add("gzipped", document.gzipped ? "true" : "false")
        .add("length", jsonNumber(document.record.length))
        .str();
}
