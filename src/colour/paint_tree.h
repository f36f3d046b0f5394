#pragma once
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "colour/colr.h"
#include "sfnt/location.h"

enum class Extend : std::uint8_t { Pad, Repeat, Reflect };

// COLR's CompositeMode values, in their stored order.
enum class CompositeMode : std::uint8_t {
    Clear, Src, Dest, SrcOver, DestOver, SrcIn, DestIn, SrcOut, DestOut, SrcAtop, DestAtop, Xor, Plus,
    Screen, Overlay, Darken, Lighten, ColorDodge, ColorBurn, HardLight, SoftLight, Difference, Exclusion,
    Multiply, HslHue, HslSaturation, HslColor, HslLuminosity,
};
inline constexpr int CompositeModeCount = 28;
// "src_over", "hsl_hue" ...
const char* CompositeModeName(CompositeMode mode);

struct ColourStop {
    double offset = 0;
    int paletteIndex = 0;
    double alpha = 1;
};

struct ColourLine {
    Extend extend = Extend::Pad;
    std::vector<ColourStop> stops; // as stored
};

// The paint tables told apart by what they do; a Var format is its plain
// one with its values at the location, and the scale, rotate and skew forms
// are spelled out with their centre (0, 0 where the table has none).
enum class PaintKind : std::uint8_t {
    ColrLayers, Solid, LinearGradient, RadialGradient, SweepGradient, Glyph, ColrGlyph, Transform, Translate,
    Scale, Rotate, Skew, Composite,
};
// "PaintColrLayers" ...
const char* PaintKindName(PaintKind kind);
// The names of `values` for each kind, in snake case: "x0", "center_x" ...
std::span<const char* const> PaintFieldNames(PaintKind kind);

// One paint of a glyph's graph, with what it paints below it.
struct PaintNode {
    PaintKind kind = PaintKind::Solid;
    int format = 0;                  // as stored, 1 to 32
    std::vector<PaintNode> children; // ColrLayers: the layers; Composite: source, backdrop; else its one paint
    int glyph = 0;                   // Glyph, ColrGlyph
    int paletteIndex = 0;            // Solid
    double alpha = 1;                // Solid
    ColourLine line;                 // gradients
    std::vector<double> values;      // PaintFieldNames(kind); angles in degrees
    CompositeMode mode = CompositeMode::SrcOver;
    std::optional<ClipBox> clip;     // ColrGlyph: the clip box of the glyph it paints
};

// Glyph g's version 1 paint graph at a location as a tree; nullopt when g
// has no BaseGlyphPaintRecord. Paints that cannot be read (past the table,
// an unknown format, a mode past hsl_luminosity), a PaintColrGlyph that
// re-enters a glyph being painted, and whatever passes the limits below are
// left out, each with a message; everything else is kept.
std::optional<PaintNode> ReadPaintTree(const Colr& colr, int g, const Location& location,
                                       std::vector<std::string>& messages);

// Paints nested deeper than this are left out: no real graph comes near it
// (emoji fonts nest under 10), and each level is a frame of the reading and
// of the painting.
inline constexpr int MaxPaintDepth = 64;
// Paints read for one glyph: a shared layer is read again at each use, so a
// small table can name exponentially many; the largest emoji graphs are a
// few hundred paints.
inline constexpr int MaxPaintsPerGlyph = 10000;
// Colour stops read for one glyph: each stop is stored in the tree, and a
// gradient may have 65 535 of them, reached many times.
inline constexpr int MaxStopsPerGlyph = 65536;

// The number of paints in a tree, itself included.
int CountPaints(const PaintNode& node);
