#pragma once
#include "font/errors.h"
#include "font/font_state.h"

enum class LoadResult {
    Loaded,     // font state complete, FontFile positioned at glyf
    Abandoned,  // messages shown; state cleared, no font open
    Unreadable, // the file could not be opened or read at all; nothing shown
};

// Reads font.FontFileName (set by the caller) into a cleared font state:
// directory, maxp, post names, cmap, then ReadTables, the glyph pass and the
// three pick lists.
LoadResult LoadFont(FontState& font, MessageSink& sink);

// head, hdmx, loca, hhea, hmtx; ends with glyf looked up. false: abandoned.
bool ReadTables(FontState& font, MessageSink& sink);

// The glyph-count label: NumGlyphs with its leading blank (" 6253").
std::string GlyphCountText(const FontState& font);
