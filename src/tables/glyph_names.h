#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "tables/font_state.h"

// The name the Name box shows for glyph g, as UTF-8; "" when the font gives
// it none (or g is no glyph of the font):
// - post 1.0: glyphs 0..257 have the standard Macintosh names, the rest none;
// - post 2.0: a name index below 258 is a standard name (for the glyphs post
//   numbers), 258 + k is the font's own name k, through Windows-1252;
// - any other version: no names.
std::string GlyphName(const FontState& font, int glyph);

// The first glyph whose GlyphName is `name` (UTF-8, matched exactly);
// nullopt when none is, and for "".
std::optional<int> GlyphNamed(const FontState& font, std::string_view name);
