#include "tables/glyph_names.h"

#include <algorithm>
#include <cstdint>

#include "outline/cff.h"
#include "tables/standard_names.h"
#include "tables/text.h"

namespace {

// A glyph's name as stored: a standard name, or the font's own bytes, which
// still need Windows-1252 decoding.
struct StoredName {
    std::string_view text;
    bool fontsOwn = false;
};

StoredName storedName(const FontState& font, int g)
{
    if (g < 0 || g >= font.NumGlyphs)
        return {};
    if (font.Cff && font.PostVersion != 2) // post 3.0: the charset names the glyphs
        return {CffGlyphName(*font.Cff, g), true};
    if (font.PostVersion == 1)
        return {StandardGlyphName(g)};
    const auto i = std::size_t(g);
    const int index = i < font.GlyphNameIndex.size() ? font.GlyphNameIndex[i] : 0;
    if (index >= StandardGlyphNameCount) {
        const auto k = std::size_t(index - StandardGlyphNameCount);
        if (k < font.GlyphNames.size())
            return {font.GlyphNames[k], true};
        return {};
    }
    // Glyphs beyond post's own count have no name index at all.
    if (font.PostVersion == 2 && g < font.PostNumberOfGlyphs)
        return {StandardGlyphName(index)};
    return {};
}

bool isAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return std::uint8_t(c) < 0x80; });
}

} // namespace

std::string GlyphName(const FontState& font, int glyph)
{
    const StoredName name = storedName(font, glyph);
    return name.fontsOwn ? Windows1252ToUtf8(name.text) : std::string(name.text);
}

std::optional<int> GlyphNamed(const FontState& font, std::string_view name)
{
    if (name.empty())
        return std::nullopt;
    // Decoding keeps ASCII as it is and makes every other byte longer, so an
    // ASCII name can be compared with the stored bytes without decoding them.
    const bool ascii = isAscii(name);
    for (int g = 0; g < font.NumGlyphs; ++g) {
        const StoredName stored = storedName(font, g);
        const bool same = !stored.fontsOwn || ascii ? stored.text == name
                                                    : Windows1252ToUtf8(stored.text) == name;
        if (same)
            return g;
    }
    return std::nullopt;
}
