#include "colour/colour_glyph.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "outline/composite.h"
#include "outline/outline_walk.h"
#include "outline/working_values.h"
#include "sfnt/table_directory.h"

namespace {

constexpr int ForegroundIndex = 0xFFFF;

// Glyph g's outline at the location, its components resolved; none for a glyph the font does not have.
Contours glyphOutline(const FontState& font, int g, const Location& location)
{
    Contours outline;
    if (g < 0 || g >= font.NumGlyphs)
        return outline;
    WorkingValues work;
    work.GlyphIndex = g;
    const ResolvedGlyph resolved = ResolveGlyph(font, g, location, work);
    for (const PlacedOutline& part : resolved.parts)
        AppendContours(outline, part.outline);
    return outline;
}

struct Painting {
    const FontState& font;
    const ColourTables& tables;
    const PaintSettings& settings;
    PaintSurface& surface;
};

double lerp(double a, double b, double t) { return a + (b - a) * t; }

// The linear gradient's line from p0 to p1 turned as p2 asks: p1 moved onto
// the line through p0 perpendicular to p0 p2.
void linearLine(const std::vector<double>& v, Brush& b)
{
    const double nx = -(v[5] - v[1]), ny = v[4] - v[0];
    const double nn = nx * nx + ny * ny;
    b.x0 = v[0];
    b.y0 = v[1];
    b.x1 = v[2];
    b.y1 = v[3];
    if (nn == 0)
        return;
    const double k = ((v[2] - v[0]) * nx + (v[3] - v[1]) * ny) / nn;
    b.x1 = v[0] + nx * k;
    b.y1 = v[1] + ny * k;
}

// A gradient brush with its geometry moved to where the first and last
// stops lie, and the stops spread over 0 to 1; a solid one when the stops
// span nothing; nothing without stops.
std::optional<Brush> gradientBrush(const Painting& p, const PaintNode& n)
{
    std::vector<BrushStop> stops;
    for (const ColourStop& s : n.line.stops)
        stops.push_back({s.offset, PaletteColour(p.tables, p.settings, s.paletteIndex, s.alpha)});
    std::stable_sort(stops.begin(), stops.end(), [](const BrushStop& a, const BrushStop& b) { return a.offset < b.offset; });
    if (stops.empty())
        return std::nullopt;
    Brush b;
    const double first = stops.front().offset, last = stops.back().offset;
    if (!(last - first > 1e-9))
        return SolidBrush(stops.back().colour);
    const std::vector<double>& v = n.values;
    b.extend = n.line.extend;
    if (n.kind == PaintKind::LinearGradient) {
        b.kind = BrushKind::Linear;
        linearLine(v, b);
        const double x0 = b.x0, y0 = b.y0, x1 = b.x1, y1 = b.y1;
        b = {b.kind, {}, b.extend, {}, lerp(x0, x1, first), lerp(y0, y1, first), lerp(x0, x1, last), lerp(y0, y1, last)};
    } else if (n.kind == PaintKind::RadialGradient) {
        b.kind = BrushKind::Radial;
        b.x0 = lerp(v[0], v[3], first);
        b.y0 = lerp(v[1], v[4], first);
        b.r0 = lerp(v[2], v[5], first);
        b.x1 = lerp(v[0], v[3], last);
        b.y1 = lerp(v[1], v[4], last);
        b.r1 = lerp(v[2], v[5], last);
    } else {
        b.kind = BrushKind::Sweep;
        b.x0 = b.x1 = v[0];
        b.y0 = b.y1 = v[1];
        b.startAngle = lerp(v[2], v[3], first);
        b.endAngle = lerp(v[2], v[3], last);
    }
    for (BrushStop& s : stops)
        s.offset = (s.offset - first) / (last - first);
    b.stops = std::move(stops);
    return b;
}

// The transform of a Transform, Translate, Scale, Rotate or Skew paint.
Affine paintTransform(const PaintNode& n)
{
    const std::vector<double>& v = n.values;
    constexpr double Radians = std::numbers::pi / 180;
    switch (n.kind) {
    case PaintKind::Transform: return {v[0], v[1], v[2], v[3], v[4], v[5]};
    case PaintKind::Translate: return {1, 0, 0, 1, v[0], v[1]};
    default: break;
    }
    // A rotation has one value before its centre, a scale or a skew two.
    const std::size_t centre = n.kind == PaintKind::Rotate ? 1 : 2;
    const double cx = v[centre], cy = v[centre + 1];
    Affine t;
    if (n.kind == PaintKind::Scale) {
        t = {v[0], 0, 0, v[1], 0, 0};
    } else if (n.kind == PaintKind::Rotate) {
        const double c = std::cos(v[0] * Radians), s = std::sin(v[0] * Radians);
        t = {c, s, -s, c, 0, 0};
    } else {
        t = {1, std::tan(v[1] * Radians), -std::tan(v[0] * Radians), 1, 0, 0};
    }
    // About the centre: moved there, transformed, moved back.
    return Then(Then(Affine{1, 0, 0, 1, -cx, -cy}, t), Affine{1, 0, 0, 1, cx, cy});
}

void paintNode(const Painting& p, const PaintNode& n)
{
    switch (n.kind) {
    case PaintKind::ColrLayers:
        for (const PaintNode& layer : n.children)
            paintNode(p, layer);
        return;
    case PaintKind::Solid:
        p.surface.fill(SolidBrush(PaletteColour(p.tables, p.settings, n.paletteIndex, n.alpha)));
        return;
    case PaintKind::LinearGradient:
    case PaintKind::RadialGradient:
    case PaintKind::SweepGradient:
        if (const std::optional<Brush> brush = gradientBrush(p, n))
            p.surface.fill(*brush);
        return;
    case PaintKind::Glyph:
        p.surface.pushClipGlyph(n.glyph, glyphOutline(p.font, n.glyph, p.settings.location));
        paintNode(p, n.children.at(0));
        p.surface.popClip();
        return;
    case PaintKind::ColrGlyph:
        if (n.clip)
            p.surface.pushClipRect(*n.clip);
        paintNode(p, n.children.at(0));
        if (n.clip)
            p.surface.popClip();
        return;
    case PaintKind::Composite:
        p.surface.pushLayer();
        paintNode(p, n.children.at(1)); // the backdrop
        p.surface.pushLayer();
        paintNode(p, n.children.at(0)); // the source
        p.surface.popLayer(n.mode);
        p.surface.popLayer(CompositeMode::SrcOver);
        return;
    default:
        p.surface.pushTransform(paintTransform(n));
        paintNode(p, n.children.at(0));
        p.surface.popTransform();
    }
}

} // namespace

const char* ColourFormatName(ColourFormat format)
{
    static constexpr const char* Names[] = {"COLRv1", "COLRv0", "SVG", "CBDT", "sbix", "none"};
    return Names[std::size_t(format)];
}

ColourTables ReadColourTables(const FontState& font)
{
    ColourTables tables;
    if (const auto bytes = TableBytes(font, "COLR"); !bytes.empty()) {
        tables.colr = ReadColr(bytes);
        if (!tables.colr)
            tables.problems.push_back("the COLR table is shorter than its header; it is not used");
        else
            tables.problems.insert(tables.problems.end(), tables.colr->problems.begin(), tables.colr->problems.end());
    }
    if (const auto bytes = TableBytes(font, "CPAL"); !bytes.empty()) {
        tables.cpal = ReadCpal(bytes);
        if (!tables.cpal)
            tables.problems.push_back("the CPAL table runs past its end; colours are the foreground colour");
    }
    tables.numGlyphs = font.NumGlyphs;
    if (const auto bytes = TableBytes(font, "SVG "); !bytes.empty()) {
        tables.svgTable = bytes;
        tables.svg = ReadSvgIndex(bytes);
        if (!tables.svg->problem.empty())
            tables.problems.push_back("the SVG table is not used: " + tables.svg->problem);
    }
    tables.cblc = TableBytes(font, "CBLC");
    tables.cbdt = TableBytes(font, "CBDT");
    if (!tables.cblc.empty() && tables.cbdt.empty())
        tables.problems.push_back("the font has CBLC but no CBDT; its strikes are not used");
    if (const std::string problem = ReadCblcStrikes(tables.cblc).problem; !tables.cblc.empty() && !problem.empty())
        tables.problems.push_back(problem);
    tables.sbix = TableBytes(font, "sbix");
    if (const std::string problem = ReadSbixStrikes(tables.sbix, font.NumGlyphs).problem;
        !tables.sbix.empty() && !problem.empty())
        tables.problems.push_back(problem);
    return tables;
}

StrikeGlyph FindColourStrike(const ColourTables& tables, ColourFormat format, int g, int ppem)
{
    if (format == ColourFormat::Cbdt && !tables.cbdt.empty())
        return FindCbdtGlyph(tables.cblc, tables.cbdt, g, ppem);
    if (format == ColourFormat::Sbix && !tables.sbix.empty())
        return FindSbixGlyph(tables.sbix, tables.numGlyphs, g, ppem);
    return {};
}

namespace {

// The format glyph g is drawn by and, for CBDT and sbix, its glyph in the
// strike for ppem, looked up once. A glyph the strike for ppem lacks is
// still drawn by its format when another strike has it (the largest is
// asked): the picture is then empty rather than the outline's.
ColourFormat chooseFormat(const ColourTables& tables, int g, int ppem, std::optional<StrikeGlyph>& strike)
{
    if (tables.colr && BaseGlyphPaint(*tables.colr, g))
        return ColourFormat::ColrV1;
    bool cut = false;
    if (tables.colr && ColrV0Layers(*tables.colr, g, cut))
        return ColourFormat::ColrV0;
    if (tables.svg && FindSvgDocument(tables.svgTable, *tables.svg, g).found)
        return ColourFormat::Svg;
    // A strike glyph whose data is damaged is still the strike's: the
    // picture then says why it is missing, rather than drawing the outline.
    const auto has = [](const StrikeGlyph& s) { return s.found || !s.problem.empty(); };
    for (const ColourFormat format : {ColourFormat::Cbdt, ColourFormat::Sbix}) {
        StrikeGlyph atSize = FindColourStrike(tables, format, g, ppem);
        if (has(atSize) || (ppem != LargestStrike && has(FindColourStrike(tables, format, g, LargestStrike)))) {
            strike = std::move(atSize);
            return format;
        }
    }
    return ColourFormat::None;
}

} // namespace

ColourFormat ChooseColourFormat(const ColourTables& tables, int g)
{
    std::optional<StrikeGlyph> strike;
    return chooseFormat(tables, g, LargestStrike, strike);
}

Rgba PaletteColour(const ColourTables& tables, const PaintSettings& settings, int index, double alpha)
{
    Rgba c = settings.foreground;
    if (index != ForegroundIndex && tables.cpal && !tables.cpal->palettes.empty()) {
        const auto& palettes = tables.cpal->palettes;
        const auto& palette = palettes[std::size_t(settings.palette) < palettes.size() ? settings.palette : 0];
        if (std::size_t(index) < palette.size())
            c = palette[std::size_t(index)];
    }
    c.a = std::uint8_t(std::lround(std::clamp(alpha, 0.0, 1.0) * c.a));
    return c;
}

ColourGlyph DescribeColourGlyph(const ColourTables& tables, int g, const Location& location, int ppem)
{
    ColourGlyph out;
    out.glyph = g;
    out.format = chooseFormat(tables, g, ppem, out.strike);
    out.strikePpem = ppem;
    if (out.format == ColourFormat::ColrV1) {
        out.paint = ReadPaintTree(*tables.colr, g, location, out.messages);
        out.clip = GlyphClip(*tables.colr, g, location);
    } else if (out.format == ColourFormat::ColrV0) {
        bool cut = false;
        out.layers = ColrV0Layers(*tables.colr, g, cut).value_or(std::vector<ColrLayer>{});
        if (cut)
            out.messages.push_back("glyph " + std::to_string(g)
                                   + " has more layers than the COLR layer records hold; those past them are left out");
    } else if (out.format == ColourFormat::Svg) {
        out.svg = FindSvgDocument(tables.svgTable, *tables.svg, g);
    }
    return out;
}

void PaintColourGlyph(const FontState& font, const ColourTables& tables, const ColourGlyph& glyph,
                      const PaintSettings& settings, PaintSurface& surface)
{
    const Painting p{font, tables, settings, surface};
    if (glyph.format == ColourFormat::ColrV1 && glyph.paint) {
        if (glyph.clip)
            surface.pushClipRect(*glyph.clip);
        paintNode(p, *glyph.paint);
        if (glyph.clip)
            surface.popClip();
    } else if (glyph.format == ColourFormat::ColrV0) {
        for (const ColrLayer& layer : glyph.layers) {
            surface.pushClipGlyph(layer.glyph, glyphOutline(font, layer.glyph, settings.location));
            surface.fill(SolidBrush(PaletteColour(tables, settings, layer.paletteIndex, 1)));
            surface.popClip();
        }
    } else if (glyph.format == ColourFormat::None) {
        surface.pushClipGlyph(glyph.glyph, glyphOutline(font, glyph.glyph, settings.location));
        surface.fill(SolidBrush(settings.foreground));
        surface.popClip();
    }
}

Affine PaintTransform(const PaintNode& node)
{
    return paintTransform(node);
}
