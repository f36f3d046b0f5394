#pragma once
#include <string>
#include <vector>

#include "sfnt/errors.h"
#include "outline/outline.h"
#include "outline/working_values.h"
#include "draw/surface.h"
#include "draw/view.h"

// What one glyph drawing reads and writes: the origin and curve working
// values, the view settings, the picture and the listing; and, when asked
// for, every segment drawn.
struct GlyphDrawing {
    WorkingValues& work;
    const ViewState& view;
    DrawingSurface& surface;
    std::string& OutlineText;
    std::vector<ListedSegment>* segments = nullptr;
};

// Halves go to the even neighbour.
int RoundHalfEven(double v);

// Segment transform: whole-number division (toward zero) by ViewScale, plus
// the origin, then rounded. y grows downward on the picture.
int SegmentX(int x, const WorkingValues& work, const ViewState& view);
int SegmentY(int y, const WorkingValues& work, const ViewState& view);

// Mark transform: real division, not rounded.
double MarkX(int x, const WorkingValues& work, const ViewState& view);
double MarkY(int y, const WorkingValues& work, const ViewState& view);

// Draws the segment (x1, y1)-(x2, y2), given in font units, and lists it.
void DrawSegment(int x1, int y1, int x2, int y2, Rgb colour, GlyphDrawing& d);

// A red circle on the contour's first point and its number beside it.
void DrawStartMark(OutlinePoint first, int contourNo, GlyphDrawing& d);

// " empty" for a glyph without contours, in the current text colour.
void DrawEmptyMark(DrawingSurface& surface);
