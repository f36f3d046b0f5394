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
#include "tables/glyph_names.h"

namespace {

MaybeFailure drawParts(const ResolvedGlyph& glyph, bool listComponents, GlyphDrawing& d)
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

// At a location, the box of the varied points, and why the glyph is drawn at
// the default instead into `reports`; the stored box at the default and for a
// glyph without points.
BBox boxAt(const FontState& font, int n, const Location& location, Reports& reports)
{
    const BBox stored = font.Cff ? CffGlyphBox(font, n) : font.GlyphBox[std::size_t(n)];
    if (location.normalized.empty())
        return stored;
    WorkingValues work;
    work.GlyphIndex = n;
    const ResolvedGlyph glyph = ResolveGlyph(font, n, location, work);
    reports.insert(reports.end(), glyph.reports.begin(), glyph.reports.end());
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

void collectPoints(const ResolvedGlyph& glyph, std::vector<DrawnPoint>& points)
{
    int contourNo = 1;
    for (const PlacedOutline& part : glyph.parts) {
        const Contours& o = part.outline;
        std::size_t contour = 0;
        for (std::size_t i = 0; i < o.points.size(); ++i) {
            while (contour + 1 < o.ends.size() && int(i) > o.ends[contour])
                ++contour;
            const OutlinePoint& p = o.points[i];
            points.push_back({p.x, p.y, p.kind, contourNo + int(contour), part.glyph});
        }
        contourNo += int(o.ends.size());
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

MaybeFailure DrawGlyph(const FontState& font, const ViewState& view, WorkingValues& work, DrawingSurface& surface,
                       std::string& OutlineText, DrawnGlyph* drawn)
{
    // Glyph 3 is never drawn, whatever it holds.
    if (work.GlyphIndex == 3)
        return std::nullopt;
    // Without the option a composite is not looked into at all: it shows as empty.
    const ResolvedGlyph glyph = ResolveGlyph(font, work.GlyphIndex, view.location, work, view.Composites);
    if (glyph.status == OutlineStatus::Abandoned)
        return glyph.failure;
    const bool composite = glyph.status == OutlineStatus::Composite;
    BBox frame;
    const bool metrics = view.Metrics && MetricsFrame(font, frame);
    if (metrics)
        DrawMetricsLines(font, AdvanceAt(font, work.GlyphIndex, view.location, glyph), frame, view, work, surface);
    if (glyph.parts.empty()) {
        DrawEmptyMark(surface);
        return std::nullopt;
    }
    GlyphDrawing d{work, view, surface, OutlineText, drawn ? &drawn->segments : nullptr};
    if (MaybeFailure failure = drawParts(glyph, composite, d)) {
        // A run too long to draw: nothing of the glyph stays, as for a glyph refused before drawing.
        surface.Cls();
        OutlineText.clear();
        if (drawn)
            *drawn = {};
        return failure;
    }
    if (drawn) {
        numberLines(OutlineText, drawn->segments);
        collectPoints(glyph, drawn->points);
    }
    if (metrics)
        DrawPoints(glyph, frame, view, work, surface);
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
    const BBox box = boxAt(font, n, v.location, out.reports);
    const double s = v.ViewScale, m = v.ViewMargin;
    // The picture is fitted to the glyph's own box, or in the metrics view to
    // the font's frame; the listing counts from the glyph's box either way.
    BBox fitted = box;
    if (!v.Metrics || !MetricsFrame(font, fitted))
        fitted = box;

    WorkingValues& work = out.work;
    work.GlyphIndex = n;
    work.GlyphXMin = box.XMin;
    work.GlyphYMin = box.YMin;
    work.GlyphXMax = box.XMax;
    work.GlyphYMax = box.YMax;
    work.OriginX = 0;
    work.OriginY = float(-double(fitted.YMax) / s);
    surface.Cls();
    surface.Scale(fitted.XMin / s - m, fitted.YMin / s - m, fitted.XMax / s + m, fitted.YMax / s + m);
    if (MaybeFailure failure = DrawGlyph(font, v, work, surface, out.listing, &out.drawn)) {
        out.abandoned = true;
        out.reports.push_back(std::move(*failure));
    }

    out.minY = std::to_string(box.YMin);
    out.maxY = std::to_string(box.YMax);
    out.minX = std::to_string(box.XMin);
    out.maxX = std::to_string(box.XMax);
    out.number = std::to_string(n);
    out.name = GlyphName(font, n);
    return out;
}
