#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "sfnt/failure.h"
#include "tables/font_state.h"

// The readers of the tables a load fills the font from. Each takes its
// table's bytes and what other tables say as parameters, and returns what it
// read or the failure that abandons the load (code 15 naming the table, 16
// for a loca format other than 0 and 1). A table's bytes run from its start
// to the end of the file: a read past a table's stated length reads on, as
// the reader always has. Counts are checked against the bytes before
// anything is allocated for them.

// maxp: numGlyphs.
std::variant<int, Failure> ReadMaxp(std::span<const std::uint8_t> bytes);
constexpr std::size_t MaxpReadSize = 6; // version, numGlyphs

// head: unitsPerEm and indexToLocFormat.
std::variant<HeadRecord, Failure> ReadHead(std::span<const std::uint8_t> bytes);
constexpr std::size_t HeadSize = 54;

// hhea: ascender, descender and numberOfHMetrics.
struct HheaFields {
    HheaRecord record;
    int numberOfHMetrics = 0;
};
std::variant<HheaFields, Failure> ReadHhea(std::span<const std::uint8_t> bytes);
constexpr std::size_t HheaSize = 36;

// post: the version told apart by its second byte (1, 2, 3 ...), and for
// version 2 the name number of each glyph it covers and the names after
// them, up to `length` (the table's stated length).
struct PostNames {
    int version = 0;
    int numberOfGlyphs = 0;
    std::vector<int> nameIndex;
    std::vector<std::string> names; // names[k] is name number 258 + k
};
std::variant<PostNames, Failure> ReadPost(std::span<const std::uint8_t> bytes, std::uint32_t length);

// loca: numGlyphs + 1 offsets into glyf, in the format indexToLocFormat's
// low byte gives (0: 16-bit halves, 1: 32-bit).
std::variant<std::vector<std::uint32_t>, Failure> ReadLoca(std::span<const std::uint8_t> bytes, int numGlyphs,
                                                           std::int16_t indexToLocFormat);

// hmtx: numGlyphs metrics, the last advance width repeating past
// numberOfHMetrics (0 with none); metrics past numGlyphs are not read.
std::variant<std::vector<HMetric>, Failure> ReadHmtx(std::span<const std::uint8_t> bytes, int numberOfHMetrics,
                                                     int numGlyphs);

// Each glyph's box and kind from its header in glyf (`glyf`: from the
// table's start to the end of the file), at the offsets loca gives. An empty
// glyph (offset equal to the next) has no header: no contours, box 0. A
// header past the end of the file is NoHeader, its box 0. Never fails.
struct GlyphHeaders {
    std::vector<BBox> boxes;
    std::vector<GlyphKind> kinds;
};
GlyphHeaders ReadGlyphHeaders(std::span<const std::uint8_t> glyf, const std::vector<std::uint32_t>& glyphOffset);
