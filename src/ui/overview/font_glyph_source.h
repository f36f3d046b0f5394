#pragma once
#include <memory>
#include <string>
#include <vector>

#include "sfnt/location.h"
#include "tables/font_state.h"
#include "ui/overview/glyph_source.h"

// The overview's view of a loaded font. It shares the font, which nothing
// changes once loaded, so shape() may run on any number of threads and the
// main window may open another font meanwhile.
class FontGlyphSource : public GlyphSource {
public:
    // The glyphs as drawn at `location` (the default when empty); colour
    // glyphs drawn with `colour`'s tables at palette 0, or as outlines when it is nullptr.
    FontGlyphSource(std::shared_ptr<const FontState> font, std::string fontName, Location location = {},
                    std::shared_ptr<const ColourTables> colour = nullptr, Rgba foreground = {});

    int glyphCount() const override;
    GlyphShape shape(int glyph) const override;
    std::vector<char32_t> codes(int glyph) const override;
    std::string name(int glyph) const override;
    int advance(int glyph) const override;
    FontMetricsInfo metrics() const override;
    std::string fontName() const override;
    ColourRendering colourPicture(int glyph, int ppem, QSize fit) const override;

private:
    bool known(int glyph) const { return glyph >= 0 && glyph < font_->NumGlyphs; }

    const std::shared_ptr<const FontState> font_;
    const std::string fontName_;
    const Location location_;
    const std::shared_ptr<const ColourTables> colour_;
    const Rgba foreground_;
};

// unitsPerEm from head and ascender/descender from hhea; a unitsPerEm
// outside 16..16384 leaves the default.
FontMetricsInfo ReadFontMetrics(const FontState& font);

// The font's colour tables; nullptr for a font without COLR, SVG, CBDT or
// sbix. Read once per font by each view that draws in colour.
std::shared_ptr<const ColourTables> FontColourTables(const FontState& font);
