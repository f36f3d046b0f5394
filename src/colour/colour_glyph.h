#pragma once
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "colour/bitmap_strikes.h"
#include "colour/colr.h"
#include "colour/cpal.h"
#include "colour/paint_surface.h"
#include "colour/paint_tree.h"
#include "colour/svg_table.h"
#include "sfnt/location.h"
#include "tables/font_state.h"

// The colour formats of a glyph, in the order a font with several is drawn by.
enum class ColourFormat : std::uint8_t { ColrV1, ColrV0, Svg, Cbdt, Sbix, None };
// "COLRv1", "COLRv0", "SVG", "CBDT", "sbix", "none"
const char* ColourFormatName(ColourFormat format);

// A font's colour tables, read once when it is shown. The table views
// point into the font's bytes: the tables live no longer than the font.
struct ColourTables {
    std::optional<Colr> colr;
    std::optional<Cpal> cpal;
    std::optional<SvgIndex> svg; // its records empty when the index is unusable
    std::span<const std::uint8_t> svgTable, cblc, cbdt, sbix;
    int numGlyphs = 0;           // sizes sbix's offset arrays
    std::vector<std::string> problems; // tables there but unreadable, for the messages
};
ColourTables ReadColourTables(const FontState& font);

// The format glyph g is drawn by: the first of the order above that has it.
ColourFormat ChooseColourFormat(const ColourTables& tables, int g);

// What a glyph is painted with besides its tables.
struct PaintSettings {
    Location location;
    int palette = 0;  // a CPAL palette; one past the palettes paints with palette 0
    Rgba foreground;  // palette entry 0xFFFF
};

// Palette entry `index` of the chosen palette, alpha applied; 0xFFFF and
// an entry the palette does not have give the foreground.
Rgba PaletteColour(const ColourTables& tables, const PaintSettings& settings, int index, double alpha);

// Glyph g in the CBDT or sbix strike chosen for ppem (the nearest at or
// above, else the largest); not found for the other formats.
StrikeGlyph FindColourStrike(const ColourTables& tables, ColourFormat format, int g, int ppem);

// Asks a description for the largest strike, where the picture is sharpest.
inline constexpr int LargestStrike = std::numeric_limits<int>::max();

// A colour glyph described: its paint tree (COLRv1), its layers (COLRv0),
// its image in the strike for a size (CBDT, sbix) or its document (SVG).
struct ColourGlyph {
    ColourFormat format = ColourFormat::None;
    int glyph = 0;
    std::optional<PaintNode> paint;  // ColrV1
    std::optional<ClipBox> clip;     // ColrV1
    std::vector<ColrLayer> layers;   // ColrV0
    std::optional<StrikeGlyph> strike;     // Cbdt, Sbix: its problem is the picture's message
    int strikePpem = LargestStrike;        // the size the strike was chosen for
    std::optional<SvgGlyphDocument> svg;   // Svg
    std::vector<std::string> messages;
};
ColourGlyph DescribeColourGlyph(const ColourTables& tables, int g, const Location& location,
                                int ppem = LargestStrike);

// Paints a described COLR glyph onto surface: a version 1 tree inside its clip
// box, each version 0 layer as its glyph filled with its colour, and a glyph
// without colour data as its outline in the foreground colour.
void PaintColourGlyph(const FontState& font, const ColourTables& tables, const ColourGlyph& glyph,
                      const PaintSettings& settings, PaintSurface& surface);

// The transform a Transform, Translate, Scale, Rotate or Skew paint applies
// to what it paints, its centre included.
Affine PaintTransform(const PaintNode& node);
