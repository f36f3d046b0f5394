#pragma once
#include <cstdint>
#include <vector>

#include "sfnt/failure.h"
#include "tables/font_state.h"

enum class LoadResult {
    Loaded,     // font complete
    Abandoned,  // a failure stopped the load; the font is left cleared
    Unreadable, // the file could not be opened or read at all; nothing reported
    Refused,    // a container that cannot be decoded, or no such face; nothing reported
};

// Reads a font from the file's bytes into `font` (cleared first; the file
// name is kept): directory, maxp, post names, cmap, then ReadTables and the
// glyph headers. Returns what the load reported, in order. font.Loaded says
// whether it loaded (a character map of another format than 0 and 4 is
// reported and the load goes on); when not, the last report is the failure
// that abandoned it and `font` is left cleared. faceOffset: where the face's
// offset table lies (a collection's face; 0 for a single font).
Reports LoadFont(std::vector<std::uint8_t> bytes, FontState& font, std::uint32_t faceOffset = 0);

// The pick lists of a loaded font. Combo1 lists the simple glyphs, or every
// glyph with composites; Combo2 (codes 0..2000) and Combo3 (printable ASCII)
// the codes whose glyph is listed there and not 0. Only a Windows Unicode
// character map fills the code lists.
PickLists MakePickLists(const FontState& font, bool composites);

// The glyph-count label: NumGlyphs with its leading blank (" 6253").
std::string GlyphCountText(const FontState& font);
