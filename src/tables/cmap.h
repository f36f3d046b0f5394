#pragma once
#include "sfnt/failure.h"
#include "tables/font_state.h"

// Reads the cmap table (`cmap`: from its start to the end of the file) into
// font's character map: chooses the subtable (platform 3 / encoding 1, else
// the last record), checks its format and copies it into CmapData. A format
// other than 0 and 4 is put in `notes` and copies nothing (every lookup then
// gives 0); a read past the end abandons the load.
MaybeFailure ReadCharacterMap(std::span<const std::uint8_t> cmap, FontState& font, Reports& notes);

// Copies a subtable of font.CmapFormat into CmapData, with what its lookups need.
void UseSubtable(FontState& font, std::span<const std::uint8_t> subtable);

// Glyph number of a character code (0..65535) from CmapData; 0 when it has
// none, and 0 for any lookup that would leave the subtable.
int CharToGlyph(const FontState& font, int code);
