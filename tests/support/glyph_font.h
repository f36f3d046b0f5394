#pragma once
// A font state holding only glyph data, for drawing tests: glyf starts at
// offset 0 of the "file", loca and the boxes are filled as a load would.
#include <vector>

#include "tables/font_state.h"
#include "support/ttf_builder.h"

// Fills `font` with `glyphs` laid out one after the other (each padded to
// an even length); each box is taken from the glyph's header, as the loader
// does, or left zero when the glyph has no header.
inline void fillGlyphFont(FontState& font, const std::vector<ttf::Glyph>& glyphs, std::size_t trailingZeros = 0)
{
    font.FontBytes.clear();
    font.GlyphOffset.clear();
    font.GlyphBox.clear();
    font.GlyphKinds.clear();
    for (const ttf::Glyph& g : glyphs) {
        const ttf::ByteVector data = ttf::glyphData(g);
        font.GlyphOffset.push_back(std::uint32_t(font.FontBytes.size()));
        BBox box;
        if (data.size() >= 10) {
            box.XMin = std::int16_t(ttf::getU16(data, 2));
            box.YMin = std::int16_t(ttf::getU16(data, 4));
            box.XMax = std::int16_t(ttf::getU16(data, 6));
            box.YMax = std::int16_t(ttf::getU16(data, 8));
        }
        font.GlyphBox.push_back(box);
        const bool composite = data.size() >= 2 && std::int16_t(ttf::getU16(data, 0)) < 0;
        font.GlyphKinds.push_back(composite ? GlyphKind::Composite : GlyphKind::Simple);
        font.FontBytes.insert(font.FontBytes.end(), data.begin(), data.end());
        if (font.FontBytes.size() % 2)
            font.FontBytes.push_back(0);
    }
    font.GlyphOffset.push_back(std::uint32_t(font.FontBytes.size()));
    font.FontBytes.insert(font.FontBytes.end(), trailingZeros, 0);
    font.Glyf = {0, std::uint32_t(font.FontBytes.size())};
    font.NumGlyphs = int(glyphs.size());
    font.GlyphNameIndex.assign(glyphs.size(), 0);
    font.Loaded = true;
}

inline ttf::Glyph rawGlyph(ttf::ByteVector bytes)
{
    ttf::Glyph g;
    g.raw = std::move(bytes);
    return g;
}
