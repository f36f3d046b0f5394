#pragma once
#include <optional>
#include <string_view>

#include "tables/font_state.h"
#include "tables/unicode_map.h"

// Resolves what the user typed into Find to a glyph number of the font,
// trying these forms in order:
// 1. a decimal number: that glyph, when it is below the glyph count;
// 2. "U+" or "u+" and 1 to 6 hex digits: the glyph of that character code;
// 3. one Unicode scalar value (UTF-8): the glyph of that character;
// 4. anything else: the first glyph whose name (GlyphName) is exactly that.
// A character the map gives no glyph is then looked for as a glyph name.
// nullopt: nothing matches.
std::optional<int> FindGlyph(const FontState& font, const UnicodeMap& map, std::string_view query);
