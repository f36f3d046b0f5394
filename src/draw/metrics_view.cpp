#include "draw/metrics_view.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "draw/segment.h"

namespace {

constexpr double PicturePixels = 353;      // the picture's width
constexpr double NumberedUpTo = 1500;      // picture units across at most, for point numbers
constexpr double MarkPixels = 2;           // half the size of a point's mark


} // namespace

bool MetricsFrame(const FontState& font, BBox& frame)
{
    if (!font.HeadTable.usableUnitsPerEm() || font.HheaTable.Ascender <= font.HheaTable.Descender)
        return false;
    frame = {0, font.HheaTable.Descender, std::int16_t(font.HeadTable.UnitsPerEm), font.HheaTable.Ascender};
    return true;
}

void DrawMetricsLines(const FontState& font, int advance, const PictureWindow& window, const ViewState& view,
                      const WorkingValues& work, DrawingSurface& surface)
{
    // Whole picture units just outside the window: the surface clips what lies beyond.
    const int left = int(std::floor(window.left)), right = int(std::ceil(window.right));
    const int top = int(std::floor(window.top)), bottom = int(std::ceil(window.bottom));
    surface.Line(left, SegmentY(0, work, view), right, SegmentY(0, work, view), BaselineColour);
    for (int y : {int(font.HheaTable.Ascender), int(font.HheaTable.Descender)})
        surface.Line(left, SegmentY(y, work, view), right, SegmentY(y, work, view), MetricsColour);
    for (int x : {0, advance})
        surface.Line(SegmentX(x, work, view), top, SegmentX(x, work, view), bottom, MetricsColour);
}

void DrawPoints(const ResolvedGlyph& glyph, const PictureWindow& window, const ViewState& view,
                const WorkingValues& work, DrawingSurface& surface)
{
    const double width = std::fabs(window.right - window.left);
    const double r = MarkPixels * width / PicturePixels;
    const bool numbered = width <= NumberedUpTo;
    if (numbered)
        surface.ForeColor(PointNumberColour); // apart from the contour numbers, which the canvas draws itself
    int number = 0;
    for (const PlacedOutline& part : glyph.parts)
        for (const OutlinePoint& p : part.outline.points) {
            const double x = MarkX(p.x, work, view), y = MarkY(p.y, work, view);
            if (p.kind == PointKind::OnCurve) {
                const int x0 = int(x - r), x1 = int(x + r), y0 = int(y - r), y1 = int(y + r);
                surface.Line(x0, y0, x1, y0, PointColour);
                surface.Line(x1, y0, x1, y1, PointColour);
                surface.Line(x1, y1, x0, y1, PointColour);
                surface.Line(x0, y1, x0, y0, PointColour);
            } else {
                surface.Circle(x, y, r, PointColour);
            }
            if (numbered) {
                surface.CurrentX(x + r);
                surface.CurrentY(y + r);
                surface.Print(std::to_string(number));
            }
            ++number;
        }
    if (numbered)
        surface.ForeColor(ContourNumberBlue); // the colour the start marks leave, as a later empty mark expects
}
