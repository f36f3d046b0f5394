#pragma once
// What the fuzz targets share: loading the input as a font without messages,
// and the choices an input makes for itself from its last bytes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "sfnt/location.h"
#include "sfnt/errors.h"
#include "tables/loader.h"

namespace fuzz {

// Glyphs a target visits per input: enough for every path, few enough that
// an input runs in milliseconds.
constexpr int GlyphsPerInput = 64;

inline int glyphsToVisit(const FontState& font)
{
    return std::min(font.NumGlyphs, GlyphsPerInput);
}

// Loads the bytes as File > Open would; true when a font is open.
inline bool loadFont(const std::uint8_t* data, std::size_t size, FontState& font)
{
    LoadFont(std::vector<std::uint8_t>(data, data + size), font);
    return font.Loaded;
}

// The input's byte `back` places from its end (wrapping round a short input).
inline std::uint8_t tailByte(const std::uint8_t* data, std::size_t size, std::size_t back)
{
    return data[size - 1 - back % size];
}

// The first glyphs of the font and `extra` more anywhere in it, chosen by
// pairs of the input's last bytes: the glyphs a target visits when the
// font's later glyphs matter too.
inline std::vector<int> glyphsChosen(const FontState& font, const std::uint8_t* data, std::size_t size, int first,
                                     int extra = 4)
{
    std::vector<int> glyphs;
    for (int g = 0; g < std::min(font.NumGlyphs, first); ++g)
        glyphs.push_back(g);
    for (int k = 0; k < extra && font.NumGlyphs > first; ++k) {
        const int pick = tailByte(data, size, 2 * std::size_t(k) + 8) << 8 | tailByte(data, size, 2 * std::size_t(k) + 9);
        glyphs.push_back(first + pick % (font.NumGlyphs - first));
    }
    return glyphs;
}

// A location of `axes` normalized coordinates, one byte each from the end of
// the input: 0 and 1 are -1, 128 the default, 255 is +1.
inline Location locationFrom(const std::uint8_t* data, std::size_t size, int axes)
{
    Location at;
    for (int a = 0; a < std::min(axes, 64); ++a)
        at.normalized.push_back(std::max(-1.0, (tailByte(data, size, std::size_t(a)) - 128) / 127.0));
    return at;
}

} // namespace fuzz
