#pragma once
#include "sfnt/failure.h"
#include "tables/font_state.h"

// Chooses the subtable (platform 3 / encoding 1, else the last record),
// checks its format and copies it into CmapData. A format other than 0 and
// 4 is put in `notes` and copies nothing (every lookup then gives 0); a read
// past the end abandons the load.
MaybeFailure ReadCharacterMap(FontState& font, ByteReader& file, Reports& notes);

// Copies a subtable of font.CmapFormat into CmapData, with what its lookups need.
void UseSubtable(FontState& font, std::span<const std::uint8_t> subtable);

// Glyph number of a character code (0..65535) from CmapData; 0 when it has
// none, and 0 for any lookup that would leave the subtable.
int CharToGlyph(const FontState& font, int code);
