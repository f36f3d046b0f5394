#include "outline/composite.h"
#include "outline/cff_glyph.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Far beyond any drawing, and small enough that nothing computed from a
// point overflows.
constexpr double CoordinateLimit = 1 << 30;

struct ComponentRecord {
    std::uint16_t flags = 0;
    int glyph = 0;
    int arg1 = 0, arg2 = 0;
    ComponentMatrix matrix = IdentityMatrix;
};

double f2dot14(ByteReader& r)
{
    return r.i16() / 16384.0;
}

// One record, or false when it runs past the glyph's data.
bool readRecord(ByteReader& r, ComponentRecord& rec)
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

// Half away from zero, without a library call: this runs for every point.
int roundAway(double v)
{
    v = std::clamp(v, -CoordinateLimit, CoordinateLimit);
    return int(v < 0 ? v - 0.5 : v + 0.5);
}

struct Offset {
    int x = 0, y = 0;
};

Offset transformed(const ComponentMatrix& m, int x, int y)
{
    return {roundAway(m[0] * x + m[2] * y), roundAway(m[1] * x + m[3] * y)};
}

// m applied after the part's own transform.
void placePart(PlacedOutline& part, const ComponentMatrix& m, int dx, int dy)
{
    const bool identity = m == IdentityMatrix;
    if (identity && dx == 0 && dy == 0)
        return;
    constexpr long long limit = 1 << 30;
    for (OutlinePoint& p : part.outline.points) {
        if (!identity) {
            const Offset moved = transformed(m, p.x, p.y);
            p.x = moved.x;
            p.y = moved.y;
        }
        p.x = int(std::clamp(p.x + (long long)dx, -limit, limit));
        p.y = int(std::clamp(p.y + (long long)dy, -limit, limit));
    }
    const ComponentMatrix a = part.matrix;
    part.matrix = {m[0] * a[0] + m[2] * a[1], m[1] * a[0] + m[3] * a[1], m[0] * a[2] + m[2] * a[3],
                   m[1] * a[2] + m[3] * a[3]};
    const Offset offset = transformed(m, part.dx, part.dy);
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

// Resolves into out.parts, reusing the outlines already there: decoding a
// whole font allocates little.
class Resolver {
public:
    Resolver(const FontState& font, const Location& location, WorkingValues& work, ResolvedGlyph& out,
             bool components)
        : font_(font), location_(location), work_(work), out_(out), components_(components)
    {
    }

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
            return true;
        }
        return !components_ || resolveComposite(g);
    }

    std::size_t used() const { return used_; }

private:
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
        active_[std::size_t(depth_++)] = g;
        const std::size_t base = used_;
        ComponentRecord rec;
        do {
            rec = ComponentRecord();
            if (!readRecord(r, rec))
                return fail("the records of glyph " + std::to_string(g) + " run past its data");
            Component applied;
            if (!resolveComponent(g, rec, base, applied))
                return false;
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
        for (std::size_t k = first; k < used_; ++k)
            placePart(out_.parts[k], rec.matrix, 0, 0);
        applied = {rec.glyph, rec.flags, rec.matrix};
        if (!placeComponent(g, rec, base, first, applied))
            return false;
        for (std::size_t k = first; k < used_; ++k)
            placePart(out_.parts[k], IdentityMatrix, applied.dx, applied.dy);
        return true;
    }

    const FontState& font_;
    const Location& location_;
    WorkingValues& work_;
    ResolvedGlyph& out_;
    bool components_;
    std::array<int, MaxComponentDepth> active_{}; // composites being resolved, outermost first
    int depth_ = 0;
    std::size_t used_ = 0;    // parts of out_ filled so far
    int visits_ = 0;
    std::size_t points_ = 0;
};

} // namespace

int ResolvedGlyph::NumberOfContours() const
{
    int n = 0;
    for (const PlacedOutline& part : parts)
        n += int(part.outline.ends.size());
    return n;
}

void ResolveGlyph(const FontState& font, int g, const Location& location, WorkingValues& work, ResolvedGlyph& out,
                  bool components)
{
    if (font.Cff)
        return ResolveCffGlyph(font, g, location, work, out, components);
    out.components.clear();
    out.failure = {};
    Resolver resolver(font, location, work, out, components);
    const bool resolved = resolver.resolve(g);
    out.parts.resize(resolved ? resolver.used() : 0);
    if (!resolved) {
        out.status = OutlineStatus::Abandoned;
        out.components.clear();
    }
}

ResolvedGlyph ResolveGlyph(const FontState& font, int g, const Location& location, WorkingValues& work,
                           bool components)
{
    ResolvedGlyph out;
    ResolveGlyph(font, g, location, work, out, components);
    return out;
}
