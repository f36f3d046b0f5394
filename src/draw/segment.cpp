#include "draw/segment.h"

#include <cmath>

#include "draw/listing.h"

int RoundHalfEven(double v)
{
    return int(std::nearbyint(v)); // default rounding mode: to nearest, ties to even
}

// The origin is single precision, and so is the sum with it.
int SegmentX(int x, const WorkingValues& work, const ViewState& view)
{
    const float X = float(x / view.ViewScale) + work.OriginX;
    return RoundHalfEven(X);
}

int SegmentY(int y, const WorkingValues& work, const ViewState& view)
{
    const float Y = -(float(y / view.ViewScale) + work.OriginY);
    return RoundHalfEven(Y);
}

double MarkX(int x, const WorkingValues& work, const ViewState& view)
{
    return double(x) / double(view.ViewScale) + double(work.OriginX);
}

double MarkY(int y, const WorkingValues& work, const ViewState& view)
{
    return -(double(y) / double(view.ViewScale) + double(work.OriginY));
}

void DrawSegment(int x1, int y1, int x2, int y2, Rgb colour, GlyphDrawing& d)
{
    const ListedSegment drawn{SegmentX(x1, d.work, d.view), SegmentY(y1, d.work, d.view), SegmentX(x2, d.work, d.view),
                              SegmentY(y2, d.work, d.view), d.OutlineText.size()};
    d.surface.Line(drawn.x1, drawn.y1, drawn.x2, drawn.y2, colour);
    if (d.segments)
        d.segments->push_back(drawn);
    ListSegment(d.OutlineText, (long long)x2 - x1, (long long)y1 - y2, colour);
}

void DrawStartMark(OutlinePoint first, int contourNo, GlyphDrawing& d)
{
    const double X = MarkX(first.x, d.work, d.view);
    const double Y = MarkY(first.y, d.work, d.view);
    d.surface.Circle(X, Y, 16, StartCircleRed);
    d.surface.CurrentX(X + 5);
    d.surface.CurrentY(Y + 5);
    // Never set back: later text, the empty mark too, stays in this colour.
    d.surface.ForeColor(ContourNumberBlue);
    d.surface.Print(std::to_string(contourNo));
}

void DrawEmptyMark(DrawingSurface& surface)
{
    surface.CurrentX(-150);
    surface.CurrentY(-100);
    surface.FontName("Consolas");
    surface.FontSize(12);
    surface.Print(" empty");
    surface.FontName("Small Fonts");
    surface.FontSize(6);
}
