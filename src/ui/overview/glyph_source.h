#pragma once
#include <string>
#include <vector>

#include "outline/outline.h"
#include "platform/colour_picture.h"

// What the overview needs to know about a font, in plain types: it draws
// any glyph by number and describes it, and never reads font bytes itself.

struct GlyphShape {
    bool abandoned = false; // the glyph's data could not be decoded: nothing to draw
    Contours outline;       // font units, y up, components resolved; no contours for an empty glyph
};

struct FontMetricsInfo {
    int unitsPerEm = 2048; // head
    int ascender = 0;      // hhea, font units above the baseline
    int descender = 0;     // hhea, negative below the baseline
};

// A read-only font. shape() (for the thumbnails), codes() and name() (for
// the filter) may run on worker threads at the same time as any other call;
// the rest are called from the GUI thread. Glyph numbers
// outside 0..glyphCount()-1 give an empty shape, no codes, "" and 0.
class GlyphSource {
public:
    virtual ~GlyphSource() = default;
    virtual int glyphCount() const = 0;
    // Composite glyphs come resolved. Never shows a message: a glyph that
    // cannot be decoded comes back abandoned.
    virtual GlyphShape shape(int glyph) const = 0;
    // Every character code that maps to the glyph, ascending; may be empty.
    virtual std::vector<char32_t> codes(int glyph) const = 0;
    // The glyph's own name, UTF-8; "" when the font gives none.
    virtual std::string name(int glyph) const = 0;
    virtual int advance(int glyph) const = 0;
    virtual FontMetricsInfo metrics() const = 0;
    // The font's name for headers and titles.
    virtual std::string fontName() const = 0;
    // The glyph in colour at `ppem` pixels per em (a strike image shrunk
    // further to a valid `fit` where larger), may run on worker threads; an
    // empty picture for a glyph without colour data, or when the source
    // draws outlines only.
    virtual ColourRendering colourPicture(int /*glyph*/, int /*ppem*/, QSize /*fit*/) const { return {}; }
};
