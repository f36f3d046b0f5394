#pragma once
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "font/font_state.h"
#include "ui/glyph_source.h"

// The overview's view of a font loaded by LoadFont. It keeps its own copy of
// the font's bytes and tables, so it outlives the window's font and a reload.
// Decoding goes through the one cursor of that copy: shape() takes a lock,
// and calls from several threads run one after another.
class FontGlyphSource : public GlyphSource {
public:
    // font must be loaded; fontName is what headers show.
    FontGlyphSource(const FontState& font, std::string fontName);

    int glyphCount() const override;
    GlyphShape shape(int glyph) const override;
    std::vector<char32_t> codes(int glyph) const override;
    std::string name(int glyph) const override;
    int advance(int glyph) const override;
    FontMetricsInfo metrics() const override;
    std::string fontName() const override;

private:
    bool known(int glyph) const { return glyph >= 0 && glyph < font_.NumGlyphs; }
    void invertCharacterMap() const;

    mutable std::mutex decoding_; // guards font_.FontFile and the working values DecodeOutline sets
    mutable FontState font_;
    FontMetricsInfo metrics_;
    std::string fontName_;

    // (glyph, code) for every code 0..65535 with a glyph other than 0,
    // ordered by glyph; filled on the first codes() call.
    mutable std::once_flag inverted_;
    mutable std::vector<std::pair<int, char32_t>> codeIndex_;
};

// unitsPerEm from head and ascender/descender from hhea, read from the
// font's bytes; a missing or short table, or a unitsPerEm outside 16..16384,
// leaves that value at its default.
FontMetricsInfo ReadFontMetrics(const FontState& font);
