#pragma once
#include <string_view>

#include "sfnt/failure.h"
#include "tables/font_state.h"

enum class TableLookup {
    Found,     // span set, file positioned at the table
    Tolerated, // head, hhea, hdmx or maxp missing; nothing moved
    Abandoned, // the table is missing (code 14), or starts past the end of the file (code 15)
};

struct FoundTable {
    TableLookup lookup = TableLookup::Abandoned;
    TableSpan span;  // when Found
    Failure failure; // when Abandoned
};

// Reads the offset table and directory at faceOffset (a collection's face;
// table offsets count from the start of the file) into font through file (a
// cursor over font.FontBytes). A failure (code 10 or 15) abandons the load.
MaybeFailure ReadTableDirectory(FontState& font, ByteReader& file, std::uint32_t faceOffset = 0);

// Looks tag up (case-sensitive, first match wins) and positions file at it.
FoundTable FindTable(const FontState& font, ByteReader& file, std::string_view tag);

// The bytes of table tag, cut at the end of the file; empty when there is no
// such table. Reports nothing: for readers of tables the load does not check.
std::span<const std::uint8_t> TableBytes(const FontState& font, std::string_view tag);
