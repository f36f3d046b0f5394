#pragma once
#include <optional>
#include <string>
#include <string_view>

// Unicode character names and blocks, as ICU gives them.

// The character's Unicode name ("LATIN SMALL LETTER E WITH ACUTE"); "" for a
// code without one (controls, unassigned codes, anything beyond U+10FFFF).
std::string CharacterName(char32_t code);

// The character a Unicode name names, matched exactly but in any case
// ("latin small letter e with acute"); nothing when no character has it.
std::optional<char32_t> CharacterNamed(std::string_view name);

// The Unicode block of the code, as its long name with spaces ("Basic Latin",
// "Cyrillic"); "" for codes in no block.
std::string BlockName(char32_t code);

// The block a name names, compared as Unicode compares property values
// (case, spaces, hyphens and underscores ignored: "cyrillic", "Basic_Latin");
// nothing when it names none. The value is ICU's block code, for InBlock.
std::optional<int> BlockNamed(std::string_view name);

// Whether the code lies in the block BlockNamed gave.
bool InBlock(char32_t code, int block);

#include "tables/font_state.h"

// Find's answer (FindGlyph) to the query, or when it has none, the glyph of
// the character the query names (CharacterNamed) through the map.
std::optional<int> FindGlyphOrCharacter(const FontState& font, const UnicodeMap& map, std::string_view query);
