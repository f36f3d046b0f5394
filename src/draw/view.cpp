#include "draw/view.h"

#include <algorithm>
#include <climits>

#include "tables/text.h"
#include "outline/composite.h"
#include "outline/cff_glyph.h"
#include "draw/curve.h"
#include "draw/listing.h"
#include "draw/metrics_view.h"
#include "draw/segment.h"
#include "outline/outline_walk.h"
#include "tables/glyph_names.h"

namespace {

MaybeFailure drawAll(const ResolvedGlyph& glyph, bool listComponents, GlyphDrawing& d)
{
    ListHeader(d.OutlineText, glyph.NumberOfContours());
    int contourNo = 1;
    for (const PlacedOutline& part : glyph.parts) {
        if (listComponents)
            ListComponent(d.OutlineText, contourNo == 1, part.glyph, part.dx, part.dy, part.matrix);
        if (MaybeFailure failure = WalkContours(part.outline, contourNo, d))
            return failure;
        contourNo += int(part.outline.ends.size());
    }
    return std::nullopt;
}

// The box the read-out shows: the stored one of a TrueType glyph at the
// default; else the box of the resolved points (a CFF glyph stores none, and
// at a location the points move), the stored one for a glyph without points.
BBox shownBox(const FontState& font, int n, const Location& location, const ResolvedGlyph& glyph)
{
    const BBox stored = font.GlyphBox[std::size_t(n)];
    if (location.normalized.empty() && !font.Cff)
        return stored;
    std::int32_t x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
    for (const PlacedOutline& part : glyph.parts)
        for (const OutlinePoint& p : part.outline.points) {
            x0 = std::min(x0, p.x);
            y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x);
            y1 = std::max(y1, p.y);
        }
    if (x0 > x1)
        return stored;
    const auto unit = [](std::int32_t v) { return std::int16_t(std::clamp(v, -32768, 32767)); };
    return {unit(x0), unit(y0), unit(x1), unit(y1)};
}

// The same for the glyph drawn: itself, or each simple glyph a composite is drawn from.
MaybeFailure classicLimit(const FontState& font, int g, const ResolvedGlyph& glyph, const WorkingValues& work)
{
    if (glyph.status != OutlineStatus::Composite)
        return ClassicRefusal(font, g, work);
    for (const PlacedOutline& part : glyph.parts)
        if (MaybeFailure failure = ClassicRefusal(font, part.glyph, work))
            return failure;
    return std::nullopt;
}

// Every point once, in glyf order, numbered with the contour that first takes it.
void collectPoints(const ResolvedGlyph& glyph, DrawnGlyph& drawn)
{
    int contourNo = 1;
    for (const PlacedOutline& part : glyph.parts) {
        const Contours& o = part.outline;
        ForEachContourOnce(o, [&](std::size_t c, int first, int stop) {
            for (int i = first; i < stop; ++i) {
                const OutlinePoint& p = o.points[std::size_t(i)];
                drawn.points.push_back({p.x, p.y, p.kind, contourNo + int(c), part.glyph});
            }
        });
        contourNo += int(o.ends.size());
        AppendContours(drawn.outline, o);
    }
}

// The segments' listing offsets become line numbers, in one pass over the listing.
void numberLines(const std::string& listing, std::vector<ListedSegment>& segments)
{
    std::size_t line = 0, at = 0;
    for (ListedSegment& s : segments) {
        for (; at < s.line && at < listing.size(); ++at)
            line += listing[at] == '\n';
        s.line = line;
    }
}

} // namespace

PictureWindow FitPicture(const BBox& box, const ViewState& view)
{
    const double s = std::max(1, view.ViewScale), m = view.ViewMargin;
    if (view.Stretch)
        return {box.XMin / s - m, box.YMin / s - m, box.XMax / s + m, box.YMax / s + m};
    // The segment transform puts the box's top at Y = 0 and its bottom at (YMax - YMin) / s.
    const double left = box.XMin / s - m, right = box.XMax / s + m;
    const double top = -m, bottom = (double(box.YMax) - box.YMin) / s + m;
    const double half = std::max(right - left, bottom - top) / 2;
    const double x = (left + right) / 2, y = (top + bottom) / 2;
    return {x - half, y - half, x + half, y + half};
}

MaybeFailure DrawGlyph(const ShownGlyph& shown, const FontState& font, const ViewState& view, WorkingValues& work,
                       DrawingSurface& surface, std::string& OutlineText, DrawnGlyph* drawn)
{
    // Glyph 3 is never drawn, whatever it holds.
    if (work.GlyphIndex == 3)
        return std::nullopt;
    const ResolvedGlyph& glyph = shown.glyph;
    // Without the option a composite is not looked into at all: it shows as
    // empty, even when its components could not be resolved.
    const bool composite = glyph.status == OutlineStatus::Composite
                        || (std::size_t(work.GlyphIndex) < font.GlyphKinds.size()
                            && font.GlyphKinds[std::size_t(work.GlyphIndex)] == GlyphKind::Composite);
    const bool drawParts = view.Composites || !composite;
    // The classic limit is told before anything else is read of the glyph.
    const MaybeFailure refused = drawParts ? classicLimit(font, work.GlyphIndex, glyph, work) : std::nullopt;
    if (drawParts && glyph.status == OutlineStatus::Abandoned)
        return refused ? refused : glyph.failure;
    BBox frame;
    const bool metrics = view.Metrics && MetricsFrame(font, frame);
    if (metrics)
        DrawMetricsLines(font, shown.advance.value_or(0), shown.window, view, work, surface);
    if (!drawParts || glyph.parts.empty()) {
        DrawEmptyMark(surface);
        return std::nullopt;
    }
    if (refused) {
        // Neither listed nor drawn as the classic picture, but its points and
        // outline are there for the metrics view's marks and the outline's paths.
        if (drawn)
            collectPoints(glyph, *drawn);
        if (metrics)
            DrawPoints(glyph, shown.window, view, work, surface);
        return refused;
    }
    GlyphDrawing d{work, view, surface, OutlineText, drawn ? &drawn->segments : nullptr};
    if (MaybeFailure failure = drawAll(glyph, composite, d)) {
        // A run too long to draw: nothing of the glyph stays, as for a glyph refused before drawing.
        surface.Cls();
        OutlineText.clear();
        if (drawn)
            *drawn = {};
        return failure;
    }
    if (drawn) {
        numberLines(OutlineText, drawn->segments);
        collectPoints(glyph, *drawn);
    }
    if (metrics)
        DrawPoints(glyph, shown.window, view, work, surface);
    return std::nullopt;
}

GlyphReadout ShowGlyph(int n, const FontState& font, const ViewState& view, DrawingSurface& surface)
{
    GlyphReadout out;
    const auto known = [](int i, const auto& table) { return i >= 0 && std::size_t(i) < table.size(); };
    if (!font.Loaded || n < 0 || n >= font.NumGlyphs || !known(n, font.GlyphBox)
        || (!font.Cff && !known(n + 1, font.GlyphOffset))) {
        surface.Cls();
        return out;
    }
    // The scale slider never goes below 1; a zero would divide by zero.
    ViewState v = view;
    v.ViewScale = std::max(1, view.ViewScale);
    WorkingValues& work = out.work;
    work.GlyphIndex = n;
    ShownGlyph shown;
    ResolveGlyph(font, n, v.location, work, shown.glyph);
    out.reports = shown.glyph.reports;
    shown.box = shownBox(font, n, v.location, shown.glyph);
    if (known(n, font.HMetrics))
        shown.advance = AdvanceAt(font, n, v.location, shown.glyph);
    const BBox& box = shown.box;
    // The picture is fitted to the glyph's own box, or in the metrics view to
    // the font's frame, at one scale; the listing counts from the glyph's box either way.
    BBox fitted = box;
    if (!v.Metrics || !MetricsFrame(font, fitted))
        fitted = box;
    else
        v.Stretch = false; // the metrics view promises one scale for the whole font
    shown.window = FitPicture(fitted, v);

    work.GlyphXMin = box.XMin;
    work.GlyphYMin = box.YMin;
    work.GlyphXMax = box.XMax;
    work.GlyphYMax = box.YMax;
    work.OriginX = 0;
    work.OriginY = float(-double(fitted.YMax) / v.ViewScale);
    surface.Cls();
    const PictureWindow& w = shown.window;
    surface.Scale(w.left, w.top, w.right, w.bottom);
    if (MaybeFailure failure = DrawGlyph(shown, font, v, work, surface, out.listing, &out.drawn)) {
        out.abandoned = true;
        out.reports.push_back(std::move(*failure));
    }

    out.advance = shown.advance;
    out.minY = std::to_string(box.YMin);
    out.maxY = std::to_string(box.YMax);
    out.minX = std::to_string(box.XMin);
    out.maxX = std::to_string(box.XMax);
    out.number = std::to_string(n);
    out.name = GlyphName(font, n);
    return out;
}
