#pragma once
#include <string_view>

#include "font/errors.h"
#include "font/font_state.h"

enum class TableLookup {
    Found,     // TableOffset/TableLength set, FontFile positioned at the table
    Tolerated, // head, hhea, hdmx missing (or maxp: NumGlyphs = 100); nothing moved
    Abandoned, // "Not found: " + tag and code 14 shown
};

// Reads the offset table and directory; false (code 10 or 15 shown) abandons the load.
bool ReadTableDirectory(FontState& font, MessageSink& sink);

// Looks tag up (case-sensitive, first match wins).
TableLookup FindTable(FontState& font, std::string_view tag, MessageSink& sink);
