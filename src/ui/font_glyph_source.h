#pragma once
#include <cstdint>
#include <future>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "font/font_state.h"
#include "ui/glyph_source.h"

// The overview's view of a font loaded by LoadFont, read in place: the font
// must stay loaded and unchanged while this source lives. It writes nothing
// into the font, so the window may go on drawing from it meanwhile, and
// shape() may run on any number of threads.
class FontGlyphSource : public GlyphSource {
public:
    // Starts listing the character map's codes on a thread of its own.
    FontGlyphSource(const FontState& font, std::string fontName);
    ~FontGlyphSource() override; // waits for that listing

    int glyphCount() const override;
    GlyphShape shape(int glyph) const override;
    std::vector<char32_t> codes(int glyph) const override;
    std::string name(int glyph) const override;
    int advance(int glyph) const override;
    FontMetricsInfo metrics() const override;
    std::string fontName() const override;

private:
    using CodeIndex = std::vector<std::pair<int, char32_t>>; // (glyph, code), ordered
    bool known(int glyph) const { return glyph >= 0 && glyph < font_.NumGlyphs; }
    const CodeIndex& codeIndex() const;

    const FontState& font_;
    const std::uint32_t glyfOffset_; // the table lookup moves on; glyf stays where the load found it
    const FontMetricsInfo metrics_;
    const std::string fontName_;

    mutable std::future<CodeIndex> inverting_;
    mutable std::once_flag inverted_;
    mutable CodeIndex codeIndex_;
};

// unitsPerEm from head and ascender/descender from hhea, read from the
// font's bytes; a missing or short table, or a unitsPerEm outside 16..16384,
// leaves that value at its default.
FontMetricsInfo ReadFontMetrics(const FontState& font);
