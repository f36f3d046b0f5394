#include "colour/paint_tree.h"

#include <algorithm>
#include <array>

#include "sfnt/reader.h"

namespace {

constexpr std::array<const char*, CompositeModeCount> ModeNames{
    "clear", "src", "dest", "src_over", "dest_over", "src_in", "dest_in", "src_out", "dest_out", "src_atop",
    "dest_atop", "xor", "plus", "screen", "overlay", "darken", "lighten", "color_dodge", "color_burn", "hard_light",
    "soft_light", "difference", "exclusion", "multiply", "hsl_hue", "hsl_saturation", "hsl_color", "hsl_luminosity"};

constexpr const char* LinearFields[] = {"x0", "y0", "x1", "y1", "x2", "y2"};
constexpr const char* RadialFields[] = {"x0", "y0", "radius0", "x1", "y1", "radius1"};
constexpr const char* SweepFields[] = {"center_x", "center_y", "start_angle", "end_angle"};
constexpr const char* TransformFields[] = {"xx", "yx", "xy", "yy", "dx", "dy"};
constexpr const char* TranslateFields[] = {"dx", "dy"};
constexpr const char* ScaleFields[] = {"scale_x", "scale_y", "center_x", "center_y"};
constexpr const char* RotateFields[] = {"angle", "center_x", "center_y"};
constexpr const char* SkewFields[] = {"x_skew_angle", "y_skew_angle", "center_x", "center_y"};

// How a stored field reads: FWORD, UFWORD, F2DOT14 or Fixed.
enum class Field : char { Fword = 'W', Ufword = 'U', F2Dot14 = 'F', Fixed = 'X' };

struct Reading {
    const Colr& colr;
    const Location& location;
    std::vector<std::string>& messages;
    std::vector<int> painting; // the glyphs whose graphs are being read, outermost first
    int paints = 0, stops = 0;
    bool toldDepth = false, toldPaints = false, toldStops = false;
    int explained = 0; // paints left out with a reason given (or given before, for a limit)

    void tell(bool& told, const std::string& text)
    {
        if (!told)
            messages.push_back(text);
        told = true;
        ++explained;
    }
    void leaveOut(const std::string& text)
    {
        messages.push_back(text);
        ++explained;
    }
};

// The fields `layout` names at r, then for a Var format its varIndexBase's
// deltas added, as reals.
std::vector<double> readFields(Reading& in, ByteReader& r, std::string_view layout, bool var)
{
    std::vector<double> raw;
    for (const char c : layout)
        raw.push_back(Field(c) == Field::Ufword ? double(r.u16())
                      : Field(c) == Field::Fixed ? double(std::int32_t(r.u32()))
                                                 : double(r.i16()));
    if (var) {
        const std::uint32_t base = r.u32();
        for (std::size_t f = 0; f < raw.size(); ++f)
            raw[f] += VarDelta(in.colr, base, int(f), in.location);
    }
    for (std::size_t f = 0; f < raw.size(); ++f)
        raw[f] /= Field(layout[f]) == Field::F2Dot14 ? 16384.0 : Field(layout[f]) == Field::Fixed ? 65536.0 : 1.0;
    return raw;
}

bool readColourLine(Reading& in, std::size_t at, bool var, ColourLine& line)
{
    ByteReader r(in.colr.table);
    r.seek(at);
    const int extend = r.u8();
    const int numStops = r.u16();
    const std::size_t stopSize = var ? 10 : 6;
    if (!r.ok() || !r.canRead(std::size_t(numStops) * stopSize))
        return false;
    if (in.stops + numStops > MaxStopsPerGlyph) {
        in.tell(in.toldStops, "the glyph's gradients have more than " + std::to_string(MaxStopsPerGlyph)
                                  + " colour stops; the rest are left out");
        return false;
    }
    in.stops += numStops;
    // An extend this program does not know is taken as pad, as the format asks.
    line.extend = extend == 1 ? Extend::Repeat : extend == 2 ? Extend::Reflect : Extend::Pad;
    line.stops.resize(std::size_t(numStops));
    for (ColourStop& s : line.stops) {
        s.offset = r.i16();
        s.paletteIndex = r.u16();
        s.alpha = r.i16();
        if (var) {
            const std::uint32_t base = r.u32();
            s.offset += VarDelta(in.colr, base, 0, in.location);
            s.alpha += VarDelta(in.colr, base, 1, in.location);
        }
        s.offset /= 16384.0;
        s.alpha /= 16384.0;
    }
    return r.ok();
}

std::optional<PaintNode> readPaint(Reading& in, std::size_t at, int depth);

// The paint at `offset` from the paint that starts at `start`, as child of node.
bool readChild(Reading& in, std::size_t start, std::uint32_t offset, int depth, PaintNode& node)
{
    std::optional<PaintNode> child = readPaint(in, start + offset, depth + 1);
    if (child)
        node.children.push_back(std::move(*child));
    return bool(child);
}

// Glyph g's graph below a PaintColrGlyph, unless g is being painted already.
bool readColrGlyph(Reading& in, PaintNode& node, int depth)
{
    const int g = node.glyph;
    if (std::find(in.painting.begin(), in.painting.end(), g) != in.painting.end()) {
        in.leaveOut("a PaintColrGlyph re-enters glyph " + std::to_string(g)
                    + ", which is being painted; it is left out");
        return false;
    }
    const std::optional<std::size_t> paint = BaseGlyphPaint(in.colr, g);
    if (!paint) {
        in.leaveOut("a PaintColrGlyph names glyph " + std::to_string(g)
                    + ", which has no colour paint; it is left out");
        return false;
    }
    node.clip = GlyphClip(in.colr, g, in.location);
    in.painting.push_back(g);
    const bool read = readChild(in, *paint, 0, depth, node);
    in.painting.pop_back();
    return read;
}

bool readLayers(Reading& in, ByteReader& r, PaintNode& node, int depth)
{
    const std::uint32_t numLayers = r.u8();
    const std::uint32_t first = r.u32();
    if (!r.ok())
        return false;
    for (std::uint32_t k = 0; k < numLayers; ++k) {
        const std::optional<std::size_t> layer = LayerPaint(in.colr, first + k);
        if (!layer) {
            in.leaveOut("a PaintColrLayers names layers " + std::to_string(first) + " to "
                        + std::to_string(std::uint64_t(first) + numLayers - 1) + ", past the "
                        + std::to_string(in.colr.numLayers) + " of the LayerList; those past it are left out");
            break;
        }
        readChild(in, *layer, 0, depth, node);
    }
    return true;
}

// The values of a scale, rotate or skew form, spelled out with its centre.
std::vector<double> spelledOut(int format, std::vector<double> v)
{
    const bool centre = (format - 16) / 2 % 2 == 1; // 18, 22, 26 and 30 and their Var forms
    if (format >= 20 && format <= 23) // uniform: one scale for both
        v.insert(v.begin() + 1, v[0]);
    if (format >= 24 && format <= 27)
        v[0] *= 180;
    if (format >= 28) {
        v[0] *= 180;
        v[1] *= 180;
    }
    if (!centre)
        v.insert(v.end(), {0.0, 0.0});
    return v;
}

// The fields and children of a paint from its format on; false when it cannot be read.
bool readBody(Reading& in, ByteReader& r, std::size_t start, PaintNode& n, int depth)
{
    const int f = n.format;
    const bool var = f % 2 == 1 && f > 2 && f < 32;
    if (f == 1) {
        n.kind = PaintKind::ColrLayers;
        return readLayers(in, r, n, depth);
    }
    if (f == 2 || f == 3) {
        n.kind = PaintKind::Solid;
        n.paletteIndex = r.u16();
        n.alpha = readFields(in, r, "F", var)[0];
        return r.ok();
    }
    if (f >= 4 && f <= 9) {
        n.kind = f < 6 ? PaintKind::LinearGradient : f < 8 ? PaintKind::RadialGradient : PaintKind::SweepGradient;
        const std::uint32_t line = ReadOffset24(r);
        n.values = readFields(in, r, f < 6 ? "WWWWWW" : f < 8 ? "WWUWWU" : "WWFF", var);
        if (n.kind == PaintKind::SweepGradient) // stored as (degrees / 180) - 1
            for (int k : {2, 3})
                n.values[std::size_t(k)] = (n.values[std::size_t(k)] + 1) * 180;
        return r.ok() && readColourLine(in, start + line, var, n.line);
    }
    if (f == 10) {
        n.kind = PaintKind::Glyph;
        const std::uint32_t paint = ReadOffset24(r);
        n.glyph = r.u16();
        return r.ok() && readChild(in, start, paint, depth, n);
    }
    if (f == 11) {
        n.kind = PaintKind::ColrGlyph;
        n.glyph = r.u16();
        return r.ok() && readColrGlyph(in, n, depth);
    }
    if (f == 32) {
        n.kind = PaintKind::Composite;
        const std::uint32_t source = ReadOffset24(r);
        const int mode = r.u8();
        const std::uint32_t backdrop = ReadOffset24(r);
        if (!r.ok() || mode >= CompositeModeCount)
            return false;
        n.mode = CompositeMode(mode);
        // Both are kept or neither: a composite without one of them is not the one the font has.
        return readChild(in, start, source, depth, n) && readChild(in, start, backdrop, depth, n);
    }
    if (f < 12 || f > 31)
        return false;
    const std::uint32_t paint = ReadOffset24(r);
    if (f <= 13) {
        n.kind = PaintKind::Transform;
        ByteReader affine(in.colr.table);
        affine.seek(start + ReadOffset24(r));
        n.values = readFields(in, affine, "XXXXXX", var);
        if (!affine.ok())
            return false;
    } else if (f <= 15) {
        n.kind = PaintKind::Translate;
        n.values = readFields(in, r, "WW", var);
    } else {
        static constexpr const char* Layouts[] = {"FF", "FFWW", "F", "FWW", "F", "FWW", "FF", "FFWW"};
        n.kind = f < 24 ? PaintKind::Scale : f < 28 ? PaintKind::Rotate : PaintKind::Skew;
        n.values = spelledOut(f, readFields(in, r, Layouts[(f - 16) / 2], var));
    }
    return r.ok() && readChild(in, start, paint, depth, n);
}

std::optional<PaintNode> readPaint(Reading& in, std::size_t at, int depth)
{
    if (depth > MaxPaintDepth) {
        in.tell(in.toldDepth, "the paint graph nests deeper than " + std::to_string(MaxPaintDepth)
                                  + " paints; the deeper ones are left out");
        return std::nullopt;
    }
    if (in.paints >= MaxPaintsPerGlyph) {
        in.tell(in.toldPaints, "the paint graph has more than " + std::to_string(MaxPaintsPerGlyph)
                                   + " paints; the rest are left out");
        return std::nullopt;
    }
    ++in.paints;
    ByteReader r(in.colr.table);
    r.seek(at);
    PaintNode node;
    node.format = r.u8();
    const int explained = in.explained;
    if (!r.ok() || !readBody(in, r, at, node, depth)) {
        if (in.explained == explained) // else what failed below has said why
            in.leaveOut("the paint at " + std::to_string(at) + " in COLR (format "
                        + std::to_string(node.format) + ") cannot be read; it is left out");
        return std::nullopt;
    }
    return node;
}

} // namespace

const char* CompositeModeName(CompositeMode mode)
{
    return ModeNames[std::size_t(mode)];
}

const char* PaintKindName(PaintKind kind)
{
    static constexpr const char* Names[] = {"PaintColrLayers", "PaintSolid", "PaintLinearGradient",
        "PaintRadialGradient", "PaintSweepGradient", "PaintGlyph", "PaintColrGlyph", "PaintTransform",
        "PaintTranslate", "PaintScale", "PaintRotate", "PaintSkew", "PaintComposite"};
    return Names[std::size_t(kind)];
}

std::span<const char* const> PaintFieldNames(PaintKind kind)
{
    switch (kind) {
    case PaintKind::LinearGradient: return LinearFields;
    case PaintKind::RadialGradient: return RadialFields;
    case PaintKind::SweepGradient: return SweepFields;
    case PaintKind::Transform: return TransformFields;
    case PaintKind::Translate: return TranslateFields;
    case PaintKind::Scale: return ScaleFields;
    case PaintKind::Rotate: return RotateFields;
    case PaintKind::Skew: return SkewFields;
    default: return {};
    }
}

std::optional<PaintNode> ReadPaintTree(const Colr& colr, int g, const Location& location,
                                       std::vector<std::string>& messages)
{
    const std::optional<std::size_t> paint = BaseGlyphPaint(colr, g);
    if (!paint)
        return std::nullopt;
    Reading in{colr, location, messages, {g}};
    std::optional<PaintNode> root = readPaint(in, *paint, 0);
    if (!root) { // the glyph is a colour glyph whose graph paints nothing
        root.emplace();
        root->kind = PaintKind::ColrLayers;
        root->format = 1;
    }
    return root;
}

int CountPaints(const PaintNode& node)
{
    int n = 1;
    for (const PaintNode& c : node.children)
        n += CountPaints(c);
    return n;
}
