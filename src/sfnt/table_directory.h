#pragma once
#include <string_view>

#include "sfnt/errors.h"
#include "tables/font_state.h"

enum class TableLookup {
    Found,     // span set, file positioned at the table
    Tolerated, // head, hhea, hdmx or maxp missing; nothing moved
    Abandoned, // "Not found: " + tag and code 14 shown, or the table starts past the end (code 15)
};

// Reads the offset table and directory at faceOffset (a collection's face;
// table offsets count from the start of the file) into font through file (a
// cursor over font.FontBytes). false (code 10 or 15 shown) abandons the load.
bool ReadTableDirectory(FontState& font, ByteReader& file, MessageSink& sink, std::uint32_t faceOffset = 0);

// Looks tag up (case-sensitive, first match wins) and positions file at it.
TableLookup FindTable(const FontState& font, ByteReader& file, std::string_view tag, MessageSink& sink,
                      TableSpan* span = nullptr);

// The bytes of table tag, cut at the end of the file; empty when there is no
// such table. Shows nothing: for readers of tables the load does not check.
std::span<const std::uint8_t> TableBytes(const FontState& font, std::string_view tag);
