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
    std::size_t length = 2;
    for (const std::string& item : items)
        length += item.size() + 2;
    std::string out;
    out.reserve(length);
    out += "[";
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (k)
            out += ", ";
        out += items[k];
    }
    out += "]";
    return out;
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

std::vector<std::pair<std::string, std::string>> PaintFields(const PaintNode& n, const ColourTables& tables,
                                                             const PaintSettings& settings)
{
    std::vector<std::pair<std::string, std::string>> fields;
    switch (n.kind) {
    case PaintKind::ColrLayers:
        return fields;
    case PaintKind::Solid:
        return {{"palette_index", std::to_string(n.paletteIndex)},
                {"alpha", jsonNumber(n.alpha)},
                {"color", jsonString(ColourText(PaletteColour(tables, settings, n.paletteIndex, n.alpha)))}};
    case PaintKind::Glyph:
    case PaintKind::ColrGlyph:
        return {{"glyph", std::to_string(n.glyph)}};
    case PaintKind::Composite:
        return {{"mode", jsonString(CompositeModeName(n.mode))}};
    default:
        break;
    }
    const auto names = PaintFieldNames(n.kind);
    for (std::size_t k = 0; k < names.size() && k < n.values.size(); ++k)
        fields.emplace_back(names[k], jsonNumber(n.values[k]));
    if (IsGradient(n.kind))
        fields.emplace_back("extend", jsonString(extendName(n.line.extend)));
    return fields;
}

bool IsGradient(PaintKind kind)
{
    return kind == PaintKind::LinearGradient || kind == PaintKind::RadialGradient || kind == PaintKind::SweepGradient;
}

std::string PaintJson(const PaintNode& n, const ColourTables& tables, const PaintSettings& settings)
{
    JsonObject o;
    o.add("format", jsonString(PaintKindName(n.kind)));
    for (const auto& [name, value] : PaintFields(n, tables, settings))
        o.add(name, value);
    const auto child = [&](std::size_t k) { return PaintJson(n.children.at(k), tables, settings); };
    if (n.kind == PaintKind::ColrLayers) {
        std::vector<std::string> layers;
        for (const PaintNode& c : n.children)
            layers.push_back(PaintJson(c, tables, settings));
        return o.add("layers", listJson(layers)).str();
    }
    if (n.kind == PaintKind::Composite)
        return o.add("source", child(0)).add("backdrop", child(1)).str();
    if (IsGradient(n.kind))
        return o.add("stops", stopsJson(n.line, tables, settings)).str();
    if (n.kind == PaintKind::Solid)
        return o.str();
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
