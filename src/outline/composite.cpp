#include "outline/composite.h"
#include "outline/cff_glyph.h"
#include "outline/gvar.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace {

// Far beyond any drawing, and small enough that nothing computed from a
// point overflows.
constexpr double CoordinateLimit = 1 << 30;

double f2dot14(ByteReader& r)
{
    return r.i16() / 16384.0;
}

} // namespace

bool ReadComponentRecord(ByteReader& r, ComponentRecord& rec)
{
    rec.flags = r.u16();
    rec.glyph = r.u16();
    const bool xy = rec.flags & ARGS_ARE_XY_VALUES;
    if (rec.flags & ARG_1_AND_2_ARE_WORDS) {
        rec.arg1 = xy ? int(r.i16()) : int(r.u16());
        rec.arg2 = xy ? int(r.i16()) : int(r.u16());
    } else {
        rec.arg1 = xy ? int(std::int8_t(r.u8())) : int(r.u8());
        rec.arg2 = xy ? int(std::int8_t(r.u8())) : int(r.u8());
    }
    ComponentMatrix& m = rec.matrix;
    if (rec.flags & WE_HAVE_A_SCALE) {
        m[0] = m[3] = f2dot14(r);
    } else if (rec.flags & WE_HAVE_AN_X_AND_Y_SCALE) {
        m[0] = f2dot14(r);
        m[3] = f2dot14(r);
    } else if (rec.flags & WE_HAVE_A_TWO_BY_TWO) {
        for (double& v : m)
            v = f2dot14(r);
    }
    return r.ok();
}

namespace {

// Half away from zero, without a library call: this runs for every point.
int roundAway(double v)
{
    v = std::clamp(v, -CoordinateLimit, CoordinateLimit);
    return int(v < 0 ? v - 0.5 : v + 0.5);
}

struct Offset {
    int x = 0, y = 0;
};

// A component's matrix in 16.16, as FreeType holds it; its F2Dot14 values
// are exact there. Converted once a part, not once a point.
using FixedMatrix = std::array<Fixed, 4>;

FixedMatrix toFixed(const ComponentMatrix& m)
{
    return {ToFixed(m[0]), ToFixed(m[1]), ToFixed(m[2]), ToFixed(m[3])};
}

// Each product in 16.16 and rounded on its own, as FreeType transforms
// component points.
Offset transformed(const FixedMatrix& m, int x, int y)
{
    const auto product = [](std::int32_t v, Fixed scale) { return std::int64_t(MulFix(v, scale)); };
    const auto limit = std::int64_t(CoordinateLimit);
    return {int(std::clamp(product(x, m[0]) + product(y, m[2]), -limit, limit)),
            int(std::clamp(product(x, m[1]) + product(y, m[3]), -limit, limit))};
}

// m applied after the part's own transform.
void placePart(PlacedOutline& part, const ComponentMatrix& m, int dx, int dy)
{
    const bool identity = m == IdentityMatrix;
    if (identity && dx == 0 && dy == 0)
        return;
    const FixedMatrix fixed = identity ? FixedMatrix{FixedOne, 0, 0, FixedOne} : toFixed(m);
    constexpr long long limit = 1 << 30;
    for (OutlinePoint& p : part.outline.points) {
        if (!identity) {
            const Offset moved = transformed(fixed, p.x, p.y);
            p.x = moved.x;
            p.y = moved.y;
        }
        p.x = int(std::clamp(p.x + (long long)dx, -limit, limit));
        p.y = int(std::clamp(p.y + (long long)dy, -limit, limit));
    }
    const ComponentMatrix a = part.matrix;
    part.matrix = {m[0] * a[0] + m[2] * a[1], m[1] * a[0] + m[3] * a[1], m[0] * a[2] + m[2] * a[3],
                   m[1] * a[2] + m[3] * a[3]};
    const Offset offset = transformed(fixed, part.dx, part.dy);
    part.dx = roundAway(double(offset.x) + dx);
    part.dy = roundAway(double(offset.y) + dy);
}

// Point `index` of parts [from, to), counted across them in order.
const OutlinePoint* pointAt(const std::vector<PlacedOutline>& parts, std::size_t from, std::size_t to, long index)
{
    for (std::size_t k = from; k < to && index >= 0; ++k) {
        const auto& points = parts[k].outline.points;
        if (std::size_t(index) < points.size())
            return &points[std::size_t(index)];
        index -= long(points.size());
    }
    return nullptr;
}

// The component records varied at each depth of a composite, and the points
// they are varied as, kept from glyph to glyph: resolving a whole font at a
// location allocates little.
struct VariedStorage {
    std::array<std::vector<ComponentRecord>, MaxComponentDepth> records;
    std::vector<OutlinePoint> points;
    std::vector<int> ends;
};

// Resolves into out.parts, reusing the outlines already there: decoding a
// whole font allocates little.
class Resolver {
public:
    Resolver(const FontState& font, const Location& location, WorkingValues& work, ResolvedGlyph& out,
             bool components)
        : font_(font), location_(location), work_(work), out_(out), components_(components)
    {
    }

    // The first variation failure met; the glyph is then resolved again at the default.
    const MaybeFailure& variationFailure() const { return variationFailure_; }

    // Appends glyph g's parts; a composite's own records go to out.components at depth 0.
    bool resolve(int g)
    {
        if (used_ == out_.parts.size())
            out_.parts.emplace_back();
        PlacedOutline& part = out_.parts[used_];
        DecodedOutline decoded = DecodeOutline(font_, g, location_, part.outline, work_);
        const OutlineStatus status = decoded.status;
        if (depth_ == 0)
            out_.status = status;
        if (status == OutlineStatus::Abandoned)
            out_.failure = std::move(decoded.failure);
        if (status == OutlineStatus::Empty && !location_.normalized.empty()) {
            std::vector<OutlinePoint>& none = varied_.points;
            none.clear();
            vary(g, {}, none);
        }
        if (status == OutlineStatus::Abandoned || status == OutlineStatus::Empty)
            return status != OutlineStatus::Abandoned;
        if (status == OutlineStatus::Decoded) {
            points_ += part.outline.points.size();
            if (points_ > MaxResolvedPoints)
                return fail("glyph " + std::to_string(depth_ == 0 ? g : active_[0])
                            + " has more than 65535 points");
            part.glyph = g;
            part.matrix = IdentityMatrix;
            part.dx = part.dy = 0;
            ++used_;
            if (!location_.normalized.empty())
                vary(g, part.outline.ends, part.outline.points);
            return true;
        }
        return !components_ || resolveComposite(g);
    }

    std::size_t used() const { return used_; }
    // At a location: the varied advance of the glyph resolved last.
    std::int32_t advance() const { return advance_; }

private:
    // The four phantom points: the origin and the advance, then two for vertical metrics.
    std::array<OutlinePoint, 4> phantoms(int g) const
    {
        const std::size_t k = std::size_t(g);
        const std::int32_t origin = std::int32_t(font_.GlyphBox[k].XMin) - font_.HMetrics[k].Lsb;
        return {OutlinePoint{origin, 0}, OutlinePoint{origin + font_.HMetrics[k].AdvanceWidth, 0}, OutlinePoint{},
                OutlinePoint{}};
    }

    // Varies `points` in place (with the phantoms after them); records the varied advance.
    void vary(int g, std::span<const int> ends, std::vector<OutlinePoint>& points)
    {
        if (std::size_t(g) >= font_.HMetrics.size() || std::size_t(g) >= font_.GlyphBox.size())
            return;
        const auto extra = phantoms(g);
        points.insert(points.end(), extra.begin(), extra.end());
        if (MaybeFailure failure = VaryPoints(font_, g, location_, ends, points); failure && !variationFailure_)
            variationFailure_ = std::move(failure);
        const std::size_t n = points.size() - 4;
        advance_ = VariedAdvance(font_, g, location_).value_or(points[n + 1].x - points[n].x);
        points.resize(n);
    }

    // The component offsets of composite g moved by its deltas, one point a
    // record; empty when the records cannot be read whole (the walk that
    // follows reports that). They are kept for this depth until its composite
    // is resolved.
    std::span<const ComponentRecord> variedRecords(int g, ByteReader r)
    {
        std::vector<ComponentRecord>& records = varied_.records[std::size_t(depth_)];
        records.clear();
        ComponentRecord rec;
        do {
            rec = ComponentRecord();
            if (!ReadComponentRecord(r, rec) || records.size() >= MaxComponentVisits)
                return {};
            records.push_back(rec);
        } while (rec.flags & MORE_COMPONENTS);
        std::vector<OutlinePoint>& points = varied_.points;
        std::vector<int>& ends = varied_.ends;
        points.clear();
        ends.clear();
        for (const ComponentRecord& c : records) {
            ends.push_back(int(points.size()));
            points.push_back({c.arg1, c.arg2});
        }
        vary(g, ends, points);
        for (std::size_t k = 0; k < records.size(); ++k)
            if (records[k].flags & ARGS_ARE_XY_VALUES) {
                records[k].arg1 = std::int16_t(points[k].x);
                records[k].arg2 = std::int16_t(points[k].y);
            }
        return records;
    }

    bool fail(const std::string& why)
    {
        out_.failure = {BadComposite, work_, why};
        return false;
    }

    // A composite's records lie within its own data: up to the next glyph,
    // or to the end of the file where loca goes backwards. Each record is
    // resolved as it is read.
    bool resolveComposite(int g)
    {
        if (depth_ >= MaxComponentDepth)
            return fail("glyph " + std::to_string(g) + " nests composites deeper than 16");
        const std::size_t start = std::size_t(font_.Glyf.Offset) + font_.GlyphOffset[std::size_t(g)];
        const std::size_t next = std::size_t(font_.Glyf.Offset) + font_.GlyphOffset[std::size_t(g) + 1];
        const std::size_t end = std::min(next > start ? next : font_.FontBytes.size(), font_.FontBytes.size());
        ByteReader r(std::span<const std::uint8_t>(font_.FontBytes).first(end));
        r.seek(start);
        r.skip(10); // numberOfContours and the box

        const bool outermost = depth_ == 0;
        const std::span<const ComponentRecord> varied = location_.normalized.empty() ? std::span<const ComponentRecord>()
                                                                                       : variedRecords(g, r);
        active_[std::size_t(depth_++)] = g;
        const std::size_t base = used_;
        ComponentRecord rec;
        std::size_t index = 0;
        do {
            rec = ComponentRecord();
            if (!ReadComponentRecord(r, rec))
                return fail("the records of glyph " + std::to_string(g) + " run past its data");
            if (index < varied.size())
                rec = varied[index++];
            const std::int32_t ownAdvance = advance_;
            Component applied;
            if (!resolveComponent(g, rec, base, applied))
                return false;
            if (!(rec.flags & USE_MY_METRICS))
                advance_ = ownAdvance;
            if (outermost)
                out_.components.push_back(applied);
        } while (rec.flags & MORE_COMPONENTS);
        --depth_;
        return true; // instructions after the last record are not needed
    }

    bool checkComponent(int g, const ComponentRecord& rec)
    {
        if (++visits_ > MaxComponentVisits)
            return fail("glyph " + std::to_string(active_[0]) + " has more than 4096 components");
        if (rec.glyph >= font_.NumGlyphs)
            return fail("glyph " + std::to_string(g) + " names glyph " + std::to_string(rec.glyph)
                        + ", which is not in the font");
        if (std::find(active_.begin(), active_.begin() + depth_, rec.glyph) != active_.begin() + depth_)
            return fail("glyph " + std::to_string(g) + " refers back to glyph " + std::to_string(rec.glyph));
        return true;
    }

    // The offset of a component: given, or by matching a point of the
    // glyph so far (parts [base, first)) to one of the component's (parts [first, used)).
    bool placeComponent(int g, const ComponentRecord& rec, std::size_t base, std::size_t first, Component& applied)
    {
        if (rec.flags & ARGS_ARE_XY_VALUES) {
            double dx = rec.arg1, dy = rec.arg2;
            if ((rec.flags & SCALED_COMPONENT_OFFSET) && !(rec.flags & UNSCALED_COMPONENT_OFFSET)) {
                dx *= std::hypot(rec.matrix[0], rec.matrix[2]);
                dy *= std::hypot(rec.matrix[3], rec.matrix[1]);
            }
            applied.dx = roundAway(dx);
            applied.dy = roundAway(dy);
            return true;
        }
        const OutlinePoint* parent = pointAt(out_.parts, base, first, rec.arg1);
        const OutlinePoint* child = pointAt(out_.parts, first, used_, rec.arg2);
        if (!parent || !child)
            return fail("glyph " + std::to_string(g) + " matches point " + std::to_string(rec.arg1) + " to point "
                        + std::to_string(rec.arg2) + " of glyph " + std::to_string(rec.glyph)
                        + ", which do not both exist");
        applied.dx = roundAway(double(parent->x) - child->x);
        applied.dy = roundAway(double(parent->y) - child->y);
        applied.parentPoint = rec.arg1;
        applied.childPoint = rec.arg2;
        return true;
    }

    bool resolveComponent(int g, const ComponentRecord& rec, std::size_t base, Component& applied)
    {
        if (!checkComponent(g, rec))
            return false;
        const std::size_t first = used_;
        if (!resolve(rec.glyph))
            return false;
        // A given offset is applied with the matrix, in one pass over the
        // points; matching points needs them transformed first.
        const bool matched = !(rec.flags & ARGS_ARE_XY_VALUES);
        if (matched)
            for (std::size_t k = first; k < used_; ++k)
                placePart(out_.parts[k], rec.matrix, 0, 0);
        applied = {rec.glyph, rec.flags, rec.matrix};
        if (!placeComponent(g, rec, base, first, applied))
            return false;
        for (std::size_t k = first; k < used_; ++k)
            placePart(out_.parts[k], matched ? IdentityMatrix : rec.matrix, applied.dx, applied.dy);
        return true;
    }

    const FontState& font_;
    const Location& location_;
    MaybeFailure variationFailure_;
    std::int32_t advance_ = 0;
    WorkingValues& work_;
    ResolvedGlyph& out_;
    bool components_;
    std::array<int, MaxComponentDepth> active_{}; // composites being resolved, outermost first
    int depth_ = 0;
    std::size_t used_ = 0;    // parts of out_ filled so far
    int visits_ = 0;
    std::size_t points_ = 0;
    static thread_local VariedStorage varied_;
};

thread_local VariedStorage Resolver::varied_;

} // namespace

int ResolvedGlyph::NumberOfContours() const
{
    int n = 0;
    for (const PlacedOutline& part : parts)
        n += int(part.outline.ends.size());
    return n;
}

namespace {

// One resolution; the variation failure it met, if any.
MaybeFailure resolveAt(const FontState& font, int g, const Location& location, WorkingValues& work,
                       ResolvedGlyph& out, bool components)
{
    out.components.clear();
    out.failure = {};
    out.reports.clear();
    out.advance = std::size_t(g) < font.HMetrics.size() ? font.HMetrics[std::size_t(g)].AdvanceWidth : 0;
    Resolver resolver(font, location, work, out, components);
    const bool resolved = resolver.resolve(g);
    if (!location.normalized.empty())
        out.advance = resolver.advance();
    out.parts.resize(resolved ? resolver.used() : 0);
    if (!resolved) {
        out.status = OutlineStatus::Abandoned;
        out.components.clear();
    }
    return resolver.variationFailure();
}

} // namespace

void ResolveGlyph(const FontState& font, int g, const Location& location, WorkingValues& work, ResolvedGlyph& out,
                  bool components)
{
    if (font.Cff)
        return ResolveCffGlyph(font, g, location, work, out, components);
    if (g < 0 || std::size_t(g) + 1 >= font.GlyphOffset.size()) {
        // A glyph the location table does not reach (a font without glyf
        // and loca lists glyphs all the same): nothing to draw.
        out = ResolvedGlyph{};
        out.status = OutlineStatus::Empty;
        return;
    }
    MaybeFailure failure = resolveAt(font, g, location, work, out, components);
    if (!failure)
        return;
    resolveAt(font, g, Location{}, work, out, components);
    out.reports.push_back(std::move(*failure));
}

std::int32_t AdvanceAt(const FontState& font, int g, const Location& location, const ResolvedGlyph& resolved)
{
    if (g < 0 || std::size_t(g) >= font.HMetrics.size())
        return 0;
    if (location.normalized.empty())
        return font.HMetrics[std::size_t(g)].AdvanceWidth;
    if (font.Cff)
        return VariedAdvance(font, g, location).value_or(font.HMetrics[std::size_t(g)].AdvanceWidth);
    return resolved.advance;
}

ResolvedGlyph ResolveGlyph(const FontState& font, int g, const Location& location, WorkingValues& work,
                           bool components)
{
    ResolvedGlyph out;
    ResolveGlyph(font, g, location, work, out, components);
    return out;
}

GlyphProgram GlyphInstructions(const FontState& font, int g)
{
    if (font.Cff || g < 0 || std::size_t(g) + 1 >= font.GlyphOffset.size())
        return {};
    // The glyph's data, bounded as a composite's records are.
    const std::size_t start = std::size_t(font.Glyf.Offset) + font.GlyphOffset[std::size_t(g)];
    const std::size_t next = std::size_t(font.Glyf.Offset) + font.GlyphOffset[std::size_t(g) + 1];
    if (next == start)
        return {};
    const std::size_t end = std::min(next > start ? next : font.FontBytes.size(), font.FontBytes.size());
    ByteReader r(std::span<const std::uint8_t>(font.FontBytes).first(end));
    r.seek(start);
    const int numberOfContours = r.i16();
    r.skip(8); // the box
    bool instructed = numberOfContours >= 0;
    if (instructed) {
        r.skip(2 * std::size_t(numberOfContours));
    } else {
        ComponentRecord rec;
        do {
            if (!ReadComponentRecord(r, rec))
                break;
            instructed |= (rec.flags & WE_HAVE_INSTRUCTIONS) != 0;
        } while (rec.flags & MORE_COMPONENTS);
    }
    const std::size_t length = instructed ? r.u16() : 0;
    const std::span<const std::uint8_t> bytes = r.bytes(length);
    if (!r.ok())
        return {{}, Failure{ReadPastEnd, {g, 0, 0, 0}, "the instructions of glyph " + std::to_string(g)}};
    return {bytes, std::nullopt};
}
