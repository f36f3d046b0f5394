#include "check/font_diff.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <unordered_map>

#include "check/outline_checks.h"
#include "tables/glyph_names.h"

namespace {

constexpr const char* ChangeNames[GlyphChangeCount] = {
    "identical", "points_moved", "outline_changed", "components_changed", "advance_changed", "added", "removed",
};

// Each name given to exactly one glyph, with that glyph; "" never.
std::unordered_map<std::string, int> uniqueNames(const FontState& font)
{
    std::unordered_map<std::string, int> named;
    for (int g = 0; g < font.NumGlyphs; ++g) {
        std::string name = GlyphName(font, g);
        if (name.empty())
            continue;
        const auto [at, added] = named.try_emplace(std::move(name), g);
        if (!added)
            at->second = -1; // given twice: not used
    }
    return named;
}

// What a comparison needs of one side's glyph.
struct SideGlyph {
    ResolvedGlyph resolved;
    std::vector<std::span<const OutlinePoint>> contours;
};

void resolve(const DiffSide& side, int g, SideGlyph& out, Reports& reports)
{
    out.contours.clear();
    if (g < 0)
        return;
    WorkingValues work;
    work.GlyphIndex = g;
    ResolveGlyph(side.font, g, side.location, work, out.resolved);
    reports.insert(reports.end(), out.resolved.reports.begin(), out.resolved.reports.end());
    if (out.resolved.status == OutlineStatus::Abandoned)
        reports.push_back(out.resolved.failure);
    else
        out.contours = PrintedContours(out.resolved);
}

bool sameStructure(const SideGlyph& a, const SideGlyph& b)
{
    if (a.contours.size() != b.contours.size())
        return false;
    for (std::size_t c = 0; c < a.contours.size(); ++c) {
        if (a.contours[c].size() != b.contours[c].size())
            return false;
        for (std::size_t i = 0; i < a.contours[c].size(); ++i)
            if (a.contours[c][i].kind != b.contours[c][i].kind)
                return false;
    }
    return true;
}

bool isComposite(const ResolvedGlyph& g) { return g.status == OutlineStatus::Composite; }

bool sameComponents(const ResolvedGlyph& a, const ResolvedGlyph& b, const GlyphPairing& pairing)
{
    if (isComposite(a) != isComposite(b) || a.components.size() != b.components.size())
        return false;
    for (std::size_t i = 0; i < a.components.size(); ++i) {
        const Component& x = a.components[i];
        const Component& y = b.components[i];
        const auto k = std::size_t(x.glyph);
        const int partner = k < pairing.newOf.size() ? pairing.newOf[k] : -1;
        if (partner != y.glyph || x.dx != y.dx || x.dy != y.dy || x.matrix != y.matrix
            || x.parentPoint != y.parentPoint || x.childPoint != y.childPoint)
            return false;
    }
    return true;
}

void compare(const SideGlyph& a, const SideGlyph& b, const GlyphPairing& pairing, bool withMoves, GlyphComparison& out)
{
    if (out.pair.newGlyph < 0 || out.pair.oldGlyph < 0) {
        out.change = out.pair.newGlyph < 0 ? GlyphChange::Removed : GlyphChange::Added;
        return;
    }
    if (!sameStructure(a, b)) {
        out.change = GlyphChange::OutlineChanged;
        return;
    }
    for (std::size_t c = 0; c < a.contours.size(); ++c)
        for (std::size_t i = 0; i < a.contours[c].size(); ++i) {
            const OutlinePoint& p = a.contours[c][i];
            const OutlinePoint& q = b.contours[c][i];
            if (p == q)
                continue;
            out.change = GlyphChange::PointsMoved;
            out.maxDistance = std::max(out.maxDistance, std::hypot(double(q.x) - p.x, double(q.y) - p.y));
            if (withMoves)
                out.moves.push_back({int(c), int(i), p, q});
        }
    if (out.change == GlyphChange::PointsMoved)
        return;
    if (!sameComponents(a.resolved, b.resolved, pairing))
        out.change = GlyphChange::ComponentsChanged;
    else if (a.resolved.advance != b.resolved.advance)
        out.change = GlyphChange::AdvanceChanged;
}

} // namespace

const char* GlyphChangeName(GlyphChange change)
{
    return ChangeNames[int(change)];
}

GlyphPairing PairGlyphs(const FontState& oldFont, const FontState& newFont)
{
    GlyphPairing out;
    out.newOf.assign(std::size_t(oldFont.NumGlyphs), -1);
    std::vector<int> oldOf(std::size_t(newFont.NumGlyphs), -1);
    auto pair = [&](int o, int n) {
        if (o >= 0 && n >= 0 && o < oldFont.NumGlyphs && n < newFont.NumGlyphs && out.newOf[std::size_t(o)] < 0
            && oldOf[std::size_t(n)] < 0) {
            out.newOf[std::size_t(o)] = n;
            oldOf[std::size_t(n)] = o;
        }
    };
    const std::unordered_map<std::string, int> newNames = uniqueNames(newFont);
    for (const auto& [name, o] : uniqueNames(oldFont))
        if (const auto found = newNames.find(name); found != newNames.end() && o >= 0 && found->second >= 0)
            pair(o, found->second);
    oldFont.Unicode.forEachCode([&](char32_t code, int o) { pair(o, newFont.Unicode.glyphFor(code)); });
    for (int g = 0; g < std::min(oldFont.NumGlyphs, newFont.NumGlyphs); ++g)
        pair(g, g);

    for (int o = 0; o < oldFont.NumGlyphs; ++o)
        out.pairs.push_back({o, out.newOf[std::size_t(o)]});
    for (int n = 0; n < newFont.NumGlyphs; ++n)
        if (oldOf[std::size_t(n)] < 0)
            out.pairs.push_back({-1, n});
    return out;
}

GlyphComparison CompareGlyphs(const DiffSide& oldSide, const DiffSide& newSide, const GlyphPairing& pairing,
                              PairedGlyph pair, bool withMoves)
{
    GlyphComparison out;
    out.pair = pair;
    SideGlyph a, b;
    resolve(oldSide, pair.oldGlyph, a, out.reports);
    resolve(newSide, pair.newGlyph, b, out.reports);
    compare(a, b, pairing, withMoves, out);
    return out;
}

void DiffFonts(const DiffSide& oldSide, const DiffSide& newSide, const GlyphPairing& pairing,
               const std::function<bool(GlyphComparison&&)>& each)
{
    SideGlyph a, b; // their outlines reused from pair to pair
    for (const PairedGlyph& pair : pairing.pairs) {
        GlyphComparison out;
        out.pair = pair;
        resolve(oldSide, pair.oldGlyph, a, out.reports);
        resolve(newSide, pair.newGlyph, b, out.reports);
        compare(a, b, pairing, false, out);
        if (!each(std::move(out)))
            return;
    }
}
