#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "outline/outline.h"
#include "outline/working_values.h"
#include "sfnt/location.h"
#include "sfnt/failure.h"
#include "tables/font_state.h"
#include "draw/surface.h"

struct ViewState {
    int ViewScale = 2;       // font units per picture unit, 1..10
    int ViewMargin = 900;    // picture units around the glyph box, 0..1500
    int ShowStartPoints = 1; // 1: a red start mark on each contour's first point
    bool Composites = false; // composite glyphs drawn from their components, not as empty
    bool Metrics = false;    // one frame for the whole font, with its metrics lines and the points
    Location location{};     // the variation location drawn; empty: the default
};

// One drawn segment in picture units, as the surface was given it, and where
// its line starts in the listing (a byte offset until the drawing ends, then
// the line number from 0).
struct ListedSegment {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::size_t line = 0;
};

// One point of the glyph drawn, in font units: contour numbered as the
// listing numbers it (on across components), glyph the simple glyph it comes from.
struct DrawnPoint {
    int x = 0, y = 0;
    PointKind kind = PointKind::OnCurve;
    int contour = 0;
    int glyph = 0;
};

// The glyph as drawn: its points in glyf order, continuing across components,
// and every segment with its listing line.
struct DrawnGlyph {
    std::vector<DrawnPoint> points;
    std::vector<ListedSegment> segments;
};

// What the " Glyph " frame shows after a glyph has been drawn.
struct GlyphReadout {
    std::string number;
    std::string name;
    std::string minY, maxY, minX, maxX;
    std::string listing;    // the outline listing (OutlineText)
    bool abandoned = false; // the drawing stopped with a failure (11, 12, 13, 15, 17)
    Reports reports;        // what the drawing reported: the failure that abandoned it
    WorkingValues work;     // as the drawing left them
    DrawnGlyph drawn;
};

// Clears the picture, fits it to glyph n's box and draws the glyph from the
// font's bytes. n must be below font.NumGlyphs of a loaded font; anything
// else clears the picture and returns empty texts.
GlyphReadout ShowGlyph(int n, const FontState& font, const ViewState& view, DrawingSurface& surface);

// Decodes glyph work.GlyphIndex and draws it into the picture as fitted by
// ShowGlyph, filling OutlineText, and drawn when given. Returns the failure
// when the drawing was abandoned; the picture and the listing are then empty.
MaybeFailure DrawGlyph(const FontState& font, const ViewState& view, WorkingValues& work, DrawingSurface& surface,
                       std::string& OutlineText, DrawnGlyph* drawn = nullptr);
