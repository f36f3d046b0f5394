#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "outline/composite.h"
#include "outline/outline.h"
#include "outline/location.h"
#include "sfnt/failure.h"
#include "tables/font_state.h"
#include "draw/surface.h"

struct ViewState {
    int ViewScale = 2;       // font units per picture unit, 1..10
    int ViewMargin = 900;    // picture units around the glyph box, 0..1500
    int ShowStartPoints = 1; // 1: a red start mark on each contour's first point
    bool Composites = false; // composite glyphs drawn from their components, not as empty
    bool Metrics = false;    // one frame for the whole font, with its metrics lines and the points
    bool Stretch = false;    // x and y units set apart, the box stretched to the square picture
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
// every segment with its listing line, and its contours in font units, the
// components' one after another (their ends count on across them).
struct DrawnGlyph {
    std::vector<DrawnPoint> points;
    std::vector<ListedSegment> segments;
    Contours outline;
};

// The picture's coordinate window in picture units, as Scale takes it.
struct PictureWindow {
    double left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const PictureWindow&, const PictureWindow&) = default;
};

// The window for a glyph (or the metrics view's frame) box drawn at the
// origin ShowGlyph sets (its top at Y = 0): the box in picture units with
// the margin on every side, centred in the square picture at one scale for x
// and y, fitted on its longer side. With Stretch, the box's own corners plus
// the margin, x and y units set apart.
PictureWindow FitPicture(const BBox& box, const ViewState& view);

// A glyph resolved once for one show, with what travels with it.
struct ShownGlyph {
    ResolvedGlyph glyph;                // at the location, components resolved
    BBox box;                           // what the read-out boxes show
    std::optional<std::int32_t> advance; // at the location; none past hmtx's glyphs
    PictureWindow window;               // the picture's window
};

// What the " Glyph " frame shows after a glyph has been drawn.
struct GlyphReadout {
    std::string number;
    std::string name;
    std::string minY, maxY, minX, maxX;
    std::string listing;    // the outline listing (OutlineText)
    std::optional<std::int32_t> advance; // at the location drawn; none past hmtx's glyphs
    bool abandoned = false; // the drawing stopped with a failure (11, 12, 13, 15, 17)
    Reports reports;        // what the drawing reported: the failure that abandoned it
    WorkingValues work;     // as the drawing left them
    DrawnGlyph drawn;
};

// Clears the picture, resolves glyph n once at the view's location, fits the
// picture to its box and draws it. n must be below font.NumGlyphs of a loaded
// font; anything else clears the picture and returns empty texts.
GlyphReadout ShowGlyph(int n, const FontState& font, const ViewState& view, DrawingSurface& surface);

// Draws glyph work.GlyphIndex, resolved in `shown`, into the picture as fitted
// by ShowGlyph, filling OutlineText, and drawn when given. A composite is drawn
// as empty without view.Composites. A TrueType simple glyph (or component) of
// more than 2000 contours or points is refused here (codes 11 and 12): the
// listing and the classic picture stay empty, but `drawn` gets its points and
// outline and the metrics view its marks. Returns the failure when the
// drawing was abandoned; the picture and the listing are then empty.
MaybeFailure DrawGlyph(const ShownGlyph& shown, const FontState& font, const ViewState& view, WorkingValues& work,
                       DrawingSurface& surface, std::string& OutlineText, DrawnGlyph* drawn = nullptr);
