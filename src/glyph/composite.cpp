#include "glyph/composite.h"

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

int roundAway(double v)
{
    return int(std::round(std::clamp(v, -CoordinateLimit, CoordinateLimit)));
}

GlyphPoint transformed(const ComponentMatrix& m, GlyphPoint p)
{
    return {roundAway(m[0] * p.X + m[2] * p.Y), roundAway(m[1] * p.X + m[3] * p.Y)};
}

// m applied after the part's own transform.
void placePart(PlacedOutline& part, const ComponentMatrix& m, int dx, int dy)
{
    const bool identity = m == IdentityMatrix;
    for (GlyphPoint& p : part.outline.Points) {
        if (!identity)
            p = transformed(m, p);
        p = {roundAway(double(p.X) + dx), roundAway(double(p.Y) + dy)};
    }
    const ComponentMatrix a = part.matrix;
    part.matrix = {m[0] * a[0] + m[2] * a[1], m[1] * a[0] + m[3] * a[1], m[0] * a[2] + m[2] * a[3],
                   m[1] * a[2] + m[3] * a[3]};
    const GlyphPoint offset = transformed(m, {part.dx, part.dy});
    part.dx = roundAway(double(offset.X) + dx);
    part.dy = roundAway(double(offset.Y) + dy);
}

// Point `index` of the parts, counted across them in order.
const GlyphPoint* pointAt(const std::vector<PlacedOutline>& parts, std::size_t from, long index)
{
    for (std::size_t k = from; k < parts.size() && index >= 0; ++k) {
        const auto& points = parts[k].outline.Points;
        if (std::size_t(index) < points.size())
            return &points[std::size_t(index)];
        index -= long(points.size());
    }
    return nullptr;
}

class Resolver {
public:
    Resolver(const FontState& font, WorkingValues& work, MessageSink& sink, bool components)
        : font_(font), work_(work), sink_(sink), components_(components)
    {
    }

    // Appends glyph g's parts; records, when given, receives a composite's own components.
    bool resolve(int g, std::vector<PlacedOutline>& parts, std::vector<Component>* records, OutlineStatus& status)
    {
        GlyphOutline outline;
        status = DecodeOutline(g, font_, outline, work_, sink_);
        if (status == OutlineStatus::Abandoned || status == OutlineStatus::Empty)
            return status != OutlineStatus::Abandoned;
        if (status == OutlineStatus::Decoded) {
            points_ += std::size_t(outline.PointCount);
            if (points_ > MaxResolvedPoints)
                return fail("glyph " + std::to_string(active_.empty() ? g : active_.front())
                            + " has more than 65535 points");
            parts.push_back({g, IdentityMatrix, 0, 0, std::move(outline)});
            return true;
        }
        return !components_ || resolveComposite(g, parts, records);
    }

private:
    bool fail(const std::string& why)
    {
        ShowError(BadComposite, work_, sink_, why);
        return false;
    }

    bool readRecords(int g, std::vector<ComponentRecord>& records)
    {
        // A composite's records lie within its own data: up to the next glyph,
        // or to the end of the file where loca goes backwards.
        const std::size_t start = std::size_t(font_.Glyf.Offset) + font_.GlyphOffset[std::size_t(g)];
        const std::size_t next = std::size_t(font_.Glyf.Offset) + font_.GlyphOffset[std::size_t(g) + 1];
        const std::size_t end = std::min(next > start ? next : font_.FontBytes.size(), font_.FontBytes.size());
        ByteReader r(std::span<const std::uint8_t>(font_.FontBytes).first(end));
        r.seek(start);
        r.skip(10); // numberOfContours and the box
        ComponentRecord rec;
        do {
            rec = ComponentRecord();
            if (!readRecord(r, rec))
                return fail("the records of glyph " + std::to_string(g) + " run past its data");
            records.push_back(rec);
        } while (rec.flags & MORE_COMPONENTS);
        return true; // instructions after the last record are not needed
    }

    bool resolveComposite(int g, std::vector<PlacedOutline>& parts, std::vector<Component>* records)
    {
        if (int(active_.size()) >= MaxComponentDepth)
            return fail("glyph " + std::to_string(g) + " nests composites deeper than 16");
        std::vector<ComponentRecord> recs;
        if (!readRecords(g, recs))
            return false;
        active_.push_back(g);
        const std::size_t base = parts.size();
        for (const ComponentRecord& rec : recs) {
            Component applied;
            if (!resolveComponent(g, rec, base, parts, applied))
                return false;
            if (records)
                records->push_back(applied);
        }
        active_.pop_back();
        return true;
    }

    bool checkComponent(int g, const ComponentRecord& rec)
    {
        if (++visits_ > MaxComponentVisits)
            return fail("glyph " + std::to_string(active_.front()) + " has more than 4096 components");
        if (rec.glyph >= font_.NumGlyphs)
            return fail("glyph " + std::to_string(g) + " names glyph " + std::to_string(rec.glyph)
                        + ", which is not in the font");
        if (std::find(active_.begin(), active_.end(), rec.glyph) != active_.end())
            return fail("glyph " + std::to_string(g) + " refers back to glyph " + std::to_string(rec.glyph));
        return true;
    }

    bool resolveComponent(int g, const ComponentRecord& rec, std::size_t base, std::vector<PlacedOutline>& parts,
                          Component& applied)
    {
        if (!checkComponent(g, rec))
            return false;
        std::vector<PlacedOutline> sub;
        OutlineStatus status;
        if (!resolve(rec.glyph, sub, nullptr, status))
            return false;
        for (PlacedOutline& part : sub)
            placePart(part, rec.matrix, 0, 0);

        applied = {rec.glyph, rec.flags, rec.matrix};
        if (rec.flags & ARGS_ARE_XY_VALUES) {
            double dx = rec.arg1, dy = rec.arg2;
            if ((rec.flags & SCALED_COMPONENT_OFFSET) && !(rec.flags & UNSCALED_COMPONENT_OFFSET)) {
                dx *= std::hypot(rec.matrix[0], rec.matrix[2]);
                dy *= std::hypot(rec.matrix[3], rec.matrix[1]);
            }
            applied.dx = roundAway(dx);
            applied.dy = roundAway(dy);
        } else {
            const GlyphPoint* parent = pointAt(parts, base, rec.arg1);
            const GlyphPoint* child = pointAt(sub, 0, rec.arg2);
            if (!parent || !child)
                return fail("glyph " + std::to_string(g) + " matches point " + std::to_string(rec.arg1) + " to point "
                            + std::to_string(rec.arg2) + " of glyph " + std::to_string(rec.glyph)
                            + ", which do not both exist");
            applied.dx = roundAway(double(parent->X) - child->X);
            applied.dy = roundAway(double(parent->Y) - child->Y);
            applied.parentPoint = rec.arg1;
            applied.childPoint = rec.arg2;
        }
        for (PlacedOutline& part : sub) {
            placePart(part, IdentityMatrix, applied.dx, applied.dy);
            parts.push_back(std::move(part));
        }
        return true;
    }

    const FontState& font_;
    WorkingValues& work_;
    MessageSink& sink_;
    bool components_;
    std::vector<int> active_; // composites being resolved, outermost first
    int visits_ = 0;
    std::size_t points_ = 0;
};

} // namespace

int ResolvedGlyph::NumberOfContours() const
{
    int n = 0;
    for (const PlacedOutline& part : parts)
        n += part.outline.NumberOfContours;
    return n;
}

ResolvedGlyph ResolveGlyph(const FontState& font, int g, WorkingValues& work, MessageSink& sink, bool components)
{
    ResolvedGlyph out;
    Resolver resolver(font, work, sink, components);
    if (!resolver.resolve(g, out.parts, &out.components, out.status)) {
        out.status = OutlineStatus::Abandoned;
        out.components.clear();
        out.parts.clear();
    }
    return out;
}
