#pragma once
#include <map>
#include <memory>
#include <string>
#include <utility>

#include <QColor>
#include <QPainterPath>
#include <QPointF>

#include "platform/colour_picture.h"
#include "sfnt/location.h"
#include "tables/font_state.h"
#include "ui/overview/font_glyph_source.h"

class QPainter;

// The glyphs of one font at one location as the text view draws them, from
// Lumaro's own outlines (colour glyphs in their colours), each decoded once.
class GlyphDrawing {
public:
    GlyphDrawing(std::shared_ptr<const FontState> font, const Location& location, QColor foreground);

    const FontState& font() const { return *font_; }
    int unitsPerEm() const { return unitsPerEm_; }
    // The advance at the location; 0 for a glyph outside the font.
    int advance(int glyph);
    std::string name(int glyph) const { return source_.name(glyph); }
    // The glyph the character map gives a character; 0 for none.
    int glyphFor(char32_t character) const { return font_->Unicode.glyphFor(character); }
    // The glyph with its origin at `origin` (pixels, y down), `size` pixels to
    // the em; an outline glyph filled with `colour`.
    void draw(QPainter& painter, int glyph, QPointF origin, double size, const QColor& colour);

private:
    std::shared_ptr<const FontState> font_;
    FontGlyphSource source_;
    int unitsPerEm_;
    std::map<int, QPainterPath> paths_;                      // font units, y up
    std::map<int, int> advances_;
    std::map<std::pair<int, int>, ColourRendering> pictures_; // by glyph and whole pixel size
};
