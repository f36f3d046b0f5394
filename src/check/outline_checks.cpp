#include "check/outline_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <numbers>
#include <tuple>

#include "check/segments.h"
#include "outline/outline_walk.h"
#include "sfnt/table_directory.h"
#include "tables/item_variation_store.h"

namespace {

constexpr const char* CheckNames[CheckCount] = {
    "open_contour",      "duplicate_point",     "wrong_direction", "self_intersection", "overlapping_contours",
    "missing_extremum",  "short_segment",       "colinear_vectors", "jaggy_segment",    "semi_vertical",
    "semi_horizontal",   "alignment_miss",      "bbox_mismatch",   "nested_component",  "flipped_component",
};

constexpr double MeetTolerance = 1.0 / 1000; // the boxes' slack in the sweep, as SegmentsMeet's tolerance
constexpr double ExtremumOvershoot = 0.5;
constexpr double ShortLength = 3, ShortShare = 0.006;
constexpr double ColinearAngle = 0.1, JaggyAngle = 0.25;
constexpr double SemiAngle = 0.5 * std::numbers::pi / 180;

std::string number(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4g", v);
    return buf;
}

double angleBetween(HalfPoint u, HalfPoint v)
{
    const double c = double(u.x2) * double(v.y2) - double(u.y2) * double(v.x2);
    const double d = double(u.x2) * double(v.x2) + double(u.y2) * double(v.y2);
    return std::atan2(std::abs(c), d);
}

// Whether the angle between u and v is under `limit` (below pi / 2), without
// the arc tangent the answer rarely needs.
bool angleUnder(HalfPoint u, HalfPoint v, double limit)
{
    const double d = double(u.x2) * double(v.x2) + double(u.y2) * double(v.y2);
    if (d <= 0)
        return false;
    const double c = std::abs(double(u.x2) * double(v.y2) - double(u.y2) * double(v.x2));
    return c < d * std::tan(limit) * 1.001 && angleBetween(u, v) < limit;
}

// OS/2 fields and MVAR tags of the heights on-curve points align to.
struct HeightField {
    const char* tag;
    std::size_t os2Offset; // 0: not in OS/2
};

// The MVAR delta of `tag` at the location, rounded; 0 without one.
int mvarDelta(std::span<const std::uint8_t> mvar, const std::optional<ItemVariationStore>& store,
              std::string_view tag, const Location& location)
{
    ByteReader r(mvar);
    r.skip(6); // majorVersion, minorVersion, reserved
    const std::size_t recordSize = r.u16(), count = r.u16();
    r.u16(); // itemVariationStoreOffset
    if (!r.ok() || !store || recordSize < 8)
        return 0;
    for (std::size_t i = 0; i < count; ++i) {
        r.seek(12 + i * recordSize);
        if (!r.canRead(8))
            break;
        const auto found = r.bytes(4);
        const int outer = r.u16(), inner = r.u16();
        if (r.ok() && std::equal(found.begin(), found.end(), tag.begin(), tag.end()))
            return ItemDeltaRounded(*store, outer, inner, location);
    }
    return 0;
}

Finding at(Check check, int contour, int point, HalfPoint place, std::string detail)
{
    return {check, contour, point, -1, true, place.x(), place.y(), std::move(detail)};
}

} // namespace

std::vector<std::span<const OutlinePoint>> PrintedContours(const ResolvedGlyph& glyph)
{
    std::vector<std::span<const OutlinePoint>> out;
    for (const PlacedOutline& part : glyph.parts) {
        const std::vector<OutlinePoint>& points = part.outline.points;
        ForEachContourOnce(part.outline, [&](std::size_t, int first, int stop) {
            const auto from = std::size_t(std::clamp(first, 0, int(points.size())));
            const auto to = std::size_t(std::clamp(stop, int(from), int(points.size())));
            out.push_back(std::span(points).subspan(from, to - from));
        });
    }
    return out;
}

const char* CheckName(Check check)
{
    return CheckNames[int(check)];
}

std::optional<Check> CheckNamed(std::string_view name)
{
    for (int i = 0; i < CheckCount; ++i)
        if (name == CheckNames[i])
            return Check(i);
    return std::nullopt;
}

bool FindingBefore(const Finding& a, const Finding& b)
{
    return std::tie(a.contour, a.point, a.component, a.check) < std::tie(b.contour, b.point, b.component, b.check);
}

CheckFacts ReadCheckFacts(const FontState& font, const Location& location)
{
    CheckFacts facts;
    facts.unitsPerEm = font.HeadTable.UnitsPerEm;
    facts.cff = font.Cff != nullptr;
    facts.atDefault = location.normalized.empty()
                   || std::all_of(location.normalized.begin(), location.normalized.end(), [](double v) { return v == 0; });
    const std::span<const std::uint8_t> os2 = TableBytes(font, "OS/2"), mvar = TableBytes(font, "MVAR");
    std::optional<ItemVariationStore> store;
    ByteReader header(mvar);
    header.seek(10);
    const std::size_t storeOffset = header.u16(); // itemVariationStoreOffset
    if (header.ok() && storeOffset != 0 && !facts.atDefault)
        store = ReadItemVariationStore(mvar, storeOffset);
    auto delta = [&](std::string_view tag) { return facts.atDefault ? 0 : mvarDelta(mvar, store, tag, location); };

    facts.heights.push_back(0);
    ByteReader r(os2);
    const int version = r.u16();
    r.seek(86);
    const int xHeight = r.i16(), capHeight = r.i16();
    if (r.ok() && version >= 2) {
        facts.heights.push_back(xHeight + delta("xhgt"));
        facts.heights.push_back(capHeight + delta("cpht"));
    }
    facts.heights.push_back(font.HheaTable.Ascender + delta("hasc"));
    facts.heights.push_back(font.HheaTable.Descender + delta("hdsc"));
    return facts;
}

namespace {

// A contour's segments, among every checked segment of the glyph.
struct ContourSegmentsRange {
    std::size_t begin = 0, end = 0;
    std::size_t size() const { return end - begin; }
};

// The segments whose boxes reach into each cell of a grid over the glyph:
// about one cell per segment, at most 64 x 64, so that long strokes across
// the glyph meet only the segments near them.
struct BoxGrid {
    int columns = 1;
    double x0 = 0, y0 = 0, cellWidth = 1, cellHeight = 1;
    std::vector<std::size_t> starts; // cell k holds members[starts[k] .. starts[k + 1])
    std::vector<std::size_t> members;

    // The cells a box covers, as column and row ranges.
    std::array<int, 4> cells(const SegmentBox& b) const
    {
        auto at = [&](double v, double from, double size) {
            return std::clamp(int((v - from) / size), 0, columns - 1);
        };
        return {at(b.x0 - MeetTolerance, x0, cellWidth), at(b.x1 + MeetTolerance, x0, cellWidth),
                at(b.y0 - MeetTolerance, y0, cellHeight), at(b.y1 + MeetTolerance, y0, cellHeight)};
    }
    int cellOf(double x, double y) const
    {
        const std::array<int, 4> c = cells({x, y, x, y});
        return c[2] * columns + c[0];
    }
};

BoxGrid gridOf(const std::vector<SegmentBox>& boxes)
{
    BoxGrid grid;
    SegmentBox all = boxes.front();
    for (const SegmentBox& b : boxes)
        all = {std::min(all.x0, b.x0), std::min(all.y0, b.y0), std::max(all.x1, b.x1), std::max(all.y1, b.y1)};
    grid.columns = std::clamp(int(std::sqrt(double(boxes.size()))), 1, 64);
    grid.x0 = all.x0;
    grid.y0 = all.y0;
    grid.cellWidth = std::max(all.x1 - all.x0, 1.0) / grid.columns;
    grid.cellHeight = std::max(all.y1 - all.y0, 1.0) / grid.columns;
    const auto cellCount = std::size_t(grid.columns * grid.columns);
    auto forEachCell = [&](const SegmentBox& b, auto visit) {
        const std::array<int, 4> c = grid.cells(b);
        for (int row = c[2]; row <= c[3]; ++row)
            for (int column = c[0]; column <= c[1]; ++column)
                visit(std::size_t(row * grid.columns + column));
    };
    grid.starts.assign(cellCount + 1, 0);
    for (const SegmentBox& b : boxes)
        forEachCell(b, [&](std::size_t k) { ++grid.starts[k + 1]; });
    for (std::size_t k = 1; k <= cellCount; ++k)
        grid.starts[k] += grid.starts[k - 1];
    grid.members.resize(grid.starts[cellCount]);
    std::vector<std::size_t> next(grid.starts.begin(), grid.starts.end() - 1);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        forEachCell(boxes[i], [&](std::size_t k) { grid.members[next[k]++] = i; });
    return grid;
}

// self_intersection and overlapping_contours: pairs of segments whose boxes
// overlap, found through a grid over the glyph (each pair once, in the cell
// where the overlap of the boxes starts); a pair whose two segments already
// have the finding it could give is not tested again.
void findCrossings(const std::vector<Segment>& segments, const std::vector<int>& contourOf,
                   const std::vector<ContourSegmentsRange>& ranges, std::vector<char>& crosses,
                   std::vector<char>& meets)
{
    const std::size_t n = segments.size();
    if (n == 0)
        return;
    std::vector<SegmentBox> boxes(n);
    for (std::size_t i = 0; i < n; ++i) {
        boxes[i] = BoxOf(segments[i]);
        crosses[i] = CubicCrossesItself(segments[i]);
    }
    const BoxGrid grid = gridOf(boxes);
    for (std::size_t cell = 0; cell + 1 < grid.starts.size(); ++cell)
        for (std::size_t u = grid.starts[cell]; u < grid.starts[cell + 1]; ++u)
            for (std::size_t v = u + 1; v < grid.starts[cell + 1]; ++v) {
                const std::size_t a = std::min(grid.members[u], grid.members[v]);
                const std::size_t i = std::max(grid.members[u], grid.members[v]);
                const SegmentBox& ba = boxes[a];
                const SegmentBox& bi = boxes[i];
                if (ba.x0 > bi.x1 + MeetTolerance || bi.x0 > ba.x1 + MeetTolerance || ba.y0 > bi.y1 + MeetTolerance
                    || bi.y0 > ba.y1 + MeetTolerance
                    || grid.cellOf(std::max(ba.x0, bi.x0), std::max(ba.y0, bi.y0)) != int(cell))
                    continue;
                const bool sameContour = contourOf[a] == contourOf[i];
                std::vector<char>& flags = sameContour ? crosses : meets;
                if (flags[a] && flags[i])
                    continue;
                Joints joints;
                if (sameContour) {
                    const ContourSegmentsRange& r = ranges[std::size_t(contourOf[i])];
                    const std::size_t la = a - r.begin, li = i - r.begin;
                    joints.aThenB = (la + 1) % r.size() == li;
                    joints.bThenA = (li + 1) % r.size() == la;
                }
                if (SegmentsMeet(segments[a], segments[i], joints))
                    flags[a] = flags[i] = 1;
            }
}

// Whether a contour is inner: its on-curve point of smallest x (then y)
// inside an odd number of the other contours, each taken alone.
bool isInner(std::size_t c, std::span<const std::span<const OutlinePoint>> contours,
             const std::vector<Segment>& segments, const std::vector<ContourSegmentsRange>& ranges,
             const std::vector<SegmentBox>& contourBoxes)
{
    const OutlinePoint* lowest = nullptr;
    for (const OutlinePoint& p : contours[c])
        if (p.kind == PointKind::OnCurve && (!lowest || std::tie(p.x, p.y) < std::tie(lowest->x, lowest->y)))
            lowest = &p;
    int inside = 0;
    for (std::size_t o = 0; o < ranges.size(); ++o) {
        const SegmentBox& box = contourBoxes[o];
        if (o == c || ranges[o].size() == 0 || lowest->x < box.x0 || lowest->x > box.x1 || lowest->y < box.y0
            || lowest->y > box.y1)
            continue;
        const std::span<const Segment> theirs(segments.data() + ranges[o].begin, ranges[o].size());
        inside += RayCrossings(theirs, lowest->x, lowest->y) % 2;
    }
    return inside % 2 == 1;
}

void checkDirections(std::span<const std::span<const OutlinePoint>> contours, const std::vector<Segment>& segments,
                     const std::vector<ContourSegmentsRange>& ranges, const std::vector<char>& crosses,
                     const std::vector<char>& meets, bool cff, std::vector<Finding>& out)
{
    std::vector<SegmentBox> boxes(ranges.size());
    for (std::size_t c = 0; c < ranges.size(); ++c) {
        SegmentBox& box = boxes[c];
        for (std::size_t s = ranges[c].begin; s < ranges[c].end; ++s) {
            const SegmentBox b = BoxOf(segments[s]);
            box = s == ranges[c].begin ? b : SegmentBox{std::min(box.x0, b.x0), std::min(box.y0, b.y0),
                                                        std::max(box.x1, b.x1), std::max(box.y1, b.y1)};
        }
    }
    for (std::size_t c = 0; c < ranges.size(); ++c) {
        const ContourSegmentsRange& r = ranges[c];
        bool judged = r.size() > 0;
        for (std::size_t s = r.begin; s < r.end; ++s)
            judged = judged && !crosses[s] && !meets[s];
        if (!judged)
            continue;
        const __int128 area = OrientedArea(std::span(segments.data() + r.begin, r.size()));
        if (area == 0)
            continue;
        const bool inner = isInner(c, contours, segments, ranges, boxes);
        const bool counterClockwise = area > 0;
        if (counterClockwise != (inner != cff)) {
            const OutlinePoint& p0 = contours[c][0];
            out.push_back(at(Check::WrongDirection, int(c), 0, {2 * std::int64_t(p0.x), 2 * std::int64_t(p0.y)},
                             std::string(inner ? "inner" : "outer") + " contour runs "
                                 + (counterClockwise ? "counter-clockwise" : "clockwise")));
        }
    }
}

// The checks of each segment alone, and of each joint with the next.
void checkSegments(const std::vector<Segment>& segments, const std::vector<ContourSegmentsRange>& ranges,
                   const std::vector<char>& crosses, const std::vector<char>& meets, const CheckFacts& facts,
                   std::vector<Finding>& out)
{
    // Lengths near a threshold are measured to 0.001 unit; the rest estimated.
    std::vector<double> lengths(segments.size());
    for (std::size_t s = 0; s < segments.size(); ++s)
        lengths[s] = ArcLengthEstimate(segments[s]);
    auto length = [&](std::size_t s, double threshold) {
        return std::abs(lengths[s] - threshold) < 0.5 ? ArcLength(segments[s]) : lengths[s];
    };
    for (std::size_t c = 0; c < ranges.size(); ++c) {
        const ContourSegmentsRange& r = ranges[c];
        double total = 0;
        for (std::size_t s = r.begin; s < r.end; ++s)
            total += lengths[s];
        for (std::size_t s = r.begin; s < r.end; ++s) {
            const Segment& seg = segments[s];
            const Segment& next = segments[r.begin + (s - r.begin + 1) % r.size()];
            auto add = [&](Check check, std::string detail) {
                out.push_back(at(check, int(c), seg.name, seg.end(), std::move(detail)));
            };
            if (crosses[s])
                add(Check::SelfIntersection, "crosses its own contour");
            if (meets[s])
                add(Check::OverlappingContours, "meets another contour");
            const double extremumLength = facts.unitsPerEm / 32.0, shortShare = ShortShare * total;
            if (!seg.isLine()) {
                const double overshoot = Overshoot(seg);
                if (overshoot >= ExtremumOvershoot && length(s, extremumLength) > extremumLength)
                    add(Check::MissingExtremum, "goes " + number(overshoot) + " units beyond its ends");
            }
            if (length(s, ShortLength) < ShortLength || length(s, shortShare) < shortShare)
                add(Check::ShortSegment, "arc length " + number(ArcLength(seg)));
            const HalfPoint along = seg.end() - seg.start(), nextAlong = next.end() - next.start();
            if (seg.isLine() && next.isLine() && angleUnder(along, nextAlong, ColinearAngle))
                add(Check::ColinearVectors, "directions differ by " + number(angleBetween(along, nextAlong)) + " rad");
            // Exactly back along itself is a spike, not a jag: the angle must be more than 0.
            const HalfPoint back = EndTangentReversed(seg), ahead = StartTangent(next);
            const bool turnsBack = __int128(back.x2) * ahead.y2 == __int128(back.y2) * ahead.x2;
            if (!turnsBack && angleUnder(back, ahead, JaggyAngle))
                add(Check::JaggySegment, "turns back to " + number(angleBetween(back, ahead)) + " rad");
            if (seg.isLine()) {
                const double dx = std::abs(along.x()), dy = std::abs(along.y());
                if (dx > 0 && dx < dy * std::tan(SemiAngle) * 1.001 && std::atan2(dx, dy) < SemiAngle)
                    add(Check::SemiVertical, number(std::atan2(dx, dy) * 180 / std::numbers::pi) + " degrees off vertical");
                if (dy > 0 && dy < dx * std::tan(SemiAngle) * 1.001 && std::atan2(dy, dx) < SemiAngle)
                    add(Check::SemiHorizontal, number(std::atan2(dy, dx) * 180 / std::numbers::pi) + " degrees off horizontal");
            }
        }
    }
}

void checkPoints(std::size_t c, std::span<const OutlinePoint> points, const CheckFacts& facts, std::vector<Finding>& out)
{
    const std::size_t n = points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const OutlinePoint& p = points[i];
        const OutlinePoint& before = points[(i + n - 1) % n];
        const HalfPoint place{2 * std::int64_t(p.x), 2 * std::int64_t(p.y)};
        if (p.x == before.x && p.y == before.y)
            out.push_back(at(Check::DuplicatePoint, int(c), int(i), place,
                             "at the place of point " + std::to_string((i + n - 1) % n)));
        if (p.kind != PointKind::OnCurve)
            continue;
        for (const int h : facts.heights) {
            const std::int64_t off = std::abs(std::int64_t(p.y) - h);
            if (off == 1 || off == 2) {
                out.push_back(at(Check::AlignmentMiss, int(c), int(i), place,
                                 std::to_string(off) + " units from " + std::to_string(h)));
                break;
            }
        }
    }
}

} // namespace

std::vector<Finding> CheckContours(std::span<const std::span<const OutlinePoint>> contours, const CheckFacts& facts)
{
    std::vector<Finding> out;
    std::vector<Segment> segments;
    std::vector<int> contourOf;
    std::vector<ContourSegmentsRange> ranges(contours.size());
    for (std::size_t c = 0; c < contours.size(); ++c) {
        const std::span<const OutlinePoint> points = contours[c];
        const bool onCurve = std::any_of(points.begin(), points.end(),
                                         [](const OutlinePoint& p) { return p.kind == PointKind::OnCurve; });
        ranges[c].begin = ranges[c].end = segments.size();
        if (points.size() < 3 || !onCurve) {
            Finding open{Check::OpenContour, int(c), 0, -1, !points.empty(), 0, 0,
                         points.size() < 3 ? std::to_string(points.size()) + (points.size() == 1 ? " point" : " points")
                                            : "no on-curve point"};
            if (open.placed)
                open.x = points[0].x, open.y = points[0].y;
            out.push_back(std::move(open));
            continue;
        }
        checkPoints(c, points, facts, out);
        for (const Segment& s : ContourSegments(points)) {
            segments.push_back(s);
            contourOf.push_back(int(c));
        }
        ranges[c].end = segments.size();
    }
    std::vector<char> crosses(segments.size()), meets(segments.size());
    findCrossings(segments, contourOf, ranges, crosses, meets);
    checkDirections(contours, segments, ranges, crosses, meets, facts.cff, out);
    checkSegments(segments, ranges, crosses, meets, facts, out);
    std::sort(out.begin(), out.end(), FindingBefore);
    return out;
}

namespace {

// The checks of the glyph data itself: its stored box and its components.
void checkGlyphData(const FontState& font, int g, const ResolvedGlyph& glyph,
                    std::span<const std::span<const OutlinePoint>> contours, const CheckFacts& facts,
                    std::vector<Finding>& out)
{
    const auto k = std::size_t(g);
    const bool hasData = k + 1 < font.GlyphOffset.size() && font.GlyphOffset[k] != font.GlyphOffset[k + 1]
                      && k < font.GlyphKinds.size() && font.GlyphKinds[k] != GlyphKind::NoHeader
                      && k < font.GlyphBox.size();
    bool any = false;
    BBox box{INT16_MAX, INT16_MAX, INT16_MIN, INT16_MIN};
    std::int32_t x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
    for (const auto& contour : contours)
        for (const OutlinePoint& p : contour) {
            any = true;
            x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
        }
    if (!facts.cff && facts.atDefault && hasData && any) {
        box = font.GlyphBox[k];
        if (box.XMin != x0 || box.YMin != y0 || box.XMax != x1 || box.YMax != y1)
            out.push_back({Check::BboxMismatch, -1, -1, -1, false, 0, 0,
                           "stored " + std::to_string(box.XMin) + " " + std::to_string(box.YMin) + " "
                               + std::to_string(box.XMax) + " " + std::to_string(box.YMax) + ", points "
                               + std::to_string(x0) + " " + std::to_string(y0) + " " + std::to_string(x1) + " "
                               + std::to_string(y1)});
    }
    for (std::size_t i = 0; i < glyph.components.size(); ++i) {
        const Component& c = glyph.components[i];
        const auto child = std::size_t(c.glyph);
        if (child < font.GlyphKinds.size() && font.GlyphKinds[child] == GlyphKind::Composite)
            out.push_back({Check::NestedComponent, -1, -1, int(i), false, 0, 0,
                           "glyph " + std::to_string(c.glyph) + " is a composite"});
        const ComponentMatrix& m = c.matrix;
        if (m[0] * m[3] - m[1] * m[2] < 0)
            out.push_back({Check::FlippedComponent, -1, -1, int(i), false, 0, 0,
                           "glyph " + std::to_string(c.glyph) + " is mirrored"});
    }
}

void checkResolved(const FontState& font, const ResolvedGlyph& resolved, const CheckFacts& facts, GlyphFindings& out)
{
    out.status = resolved.status;
    out.reports = resolved.reports;
    if (resolved.status == OutlineStatus::Abandoned) {
        out.failure = resolved.failure;
        return;
    }
    const std::vector<std::span<const OutlinePoint>> contours = PrintedContours(resolved);
    // The glyph's own findings have no contour: they come first, already in order.
    checkGlyphData(font, out.glyph, resolved, contours, facts, out.findings);
    std::vector<Finding> ofContours = CheckContours(contours, facts);
    out.findings.insert(out.findings.end(), std::make_move_iterator(ofContours.begin()),
                        std::make_move_iterator(ofContours.end()));
}

} // namespace

GlyphFindings CheckGlyph(const FontState& font, int glyph, const Location& location, const CheckFacts& facts)
{
    GlyphFindings out;
    out.glyph = glyph;
    WorkingValues work;
    work.GlyphIndex = glyph;
    checkResolved(font, ResolveGlyph(font, glyph, location, work), facts, out);
    return out;
}

void CheckGlyphs(const FontState& font, const Location& location, std::span<const int> glyphs,
                 const std::function<bool(GlyphFindings&&)>& each)
{
    const CheckFacts facts = ReadCheckFacts(font, location);
    ResolvedGlyph resolved;
    for (const int g : glyphs) {
        GlyphFindings found;
        found.glyph = g;
        WorkingValues work;
        work.GlyphIndex = g;
        ResolveGlyph(font, g, location, work, resolved);
        checkResolved(font, resolved, facts, found);
        if (!each(std::move(found)))
            return;
    }
}
