#pragma once
// What the fuzz targets share: loading the input as a font without messages.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

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
    return !LoadFont(std::vector<std::uint8_t>(data, data + size), font);
}

} // namespace fuzz
