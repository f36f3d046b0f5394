#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "tables/cmap_segments.h"

// The font's best Unicode character map, for Find and for naming the shown
// glyph: a format 12 subtable of a Unicode record when there is a usable one
// (supplementary planes included), else a format 4 one. Built once from the
// cmap table's bytes; read-only afterwards. The pick lists read the
// subtable the loader chose, through CharToGlyph.
class UnicodeMap {
public:
    // The glyph number of a character code; 0 when it has none.
    int glyphFor(char32_t code) const;
    // Every code that maps to glyph g, ascending; none for glyph 0, the
    // missing-character glyph.
    std::vector<char32_t> codesFor(int glyph) const;
    // Every code up to U+10FFFF that maps to a glyph other than 0, in
    // increasing order, with its glyph number.
    void forEachCode(const std::function<void(char32_t, int)>& visit) const;
    // 12 or 4: the subtable format read; 0: the font has no usable one.
    int format() const { return format_; }
    // Where the subtable read starts in the cmap table (0 with format 0).
    std::uint32_t subtableOffset() const { return offset_; }

private:
    // Format 12: one run of consecutive codes to consecutive glyphs.
    struct Group {
        std::uint32_t startCharCode = 0, endCharCode = 0, startGlyphID = 0;
    };

    friend UnicodeMap ReadUnicodeMap(std::span<const std::uint8_t> cmapTable);
    // Each reads the subtable that starts at `at` into the map; false: unusable.
    bool readFormat12(std::span<const std::uint8_t> cmapTable, std::size_t at);
    bool readFormat4(std::span<const std::uint8_t> cmapTable, std::size_t at);

    int format_ = 0;
    std::uint32_t offset_ = 0;
    std::vector<Group> groups_;          // format 12, sorted and not overlapping
    CmapSegments format4_;
};

// Reads the Unicode records (platform 0, any encoding; platform 3,
// encodings 1 and 10) of a cmap table and keeps the first usable format 12
// subtable among them, else the first usable format 4 one. Never reads
// outside cmapTable:
// - a format 12 subtable keeps the groups that lie whole within its length
//   and the table (nothing is reserved for groups the bytes cannot hold);
//   groups out of order or overlapping make it unusable, as does having none;
// - a format 4 subtable whose segment arrays do not fit is unusable; a
//   glyphIdArray read beyond it gives glyph 0.
// No usable subtable: an empty map (format 0, every code glyph 0).
UnicodeMap ReadUnicodeMap(std::span<const std::uint8_t> cmapTable);
