#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "layout/layout_table.h"

// What one lookup does, expanded from its subtables: the glyph mappings of
// GSUB types 1 to 4, the pairs of GPOS type 2, and for every other type
// the glyphs its subtables' first coverage holds.

// Input glyphs to output glyphs. Single: one to one; multiple: one to a
// sequence; alternate: one to its alternates; ligature: the components to
// the ligature.
struct GlyphMapping {
    int subtable = 0;
    std::vector<int> input, output;
};

// ValueRecord's valueFormat bits.
inline constexpr int X_PLACEMENT = 0x01, Y_PLACEMENT = 0x02, X_ADVANCE = 0x04, Y_ADVANCE = 0x08,
                     X_PLACEMENT_DEVICE = 0x10, Y_PLACEMENT_DEVICE = 0x20, X_ADVANCE_DEVICE = 0x40,
                     Y_ADVANCE_DEVICE = 0x80;

// The design-unit values of a ValueRecord; device and variation tables are
// not followed, only noted in `devices` (the device bits whose offset is set).
struct PairValue {
    int format = 0;
    std::array<int, 4> values{}; // XPlacement, YPlacement, XAdvance, YAdvance; 0 where the format has none
    int devices = 0;
    bool zero() const { return values == std::array<int, 4>{} && devices == 0; }
};

// A pair: the first glyph, the second (-1: any glyph class pairs leave in
// the second class 0), and the values of each.
struct GlyphPair {
    int subtable = 0;
    int first = 0, second = 0;
    PairValue value1, value2;
};

// The cap on what one expansion gives, its memory and steps. The bytes held
// count each mapping's glyph lists as the heap blocks they take: 20 MB hold
// 160 000 mappings or 330 000 pairs, where a large kerning lookup expands
// to 270 000, and the list's growth to twice that stays within what a font
// may cost. A class pair subtable is expanded per glyph of its coverage;
// pairs whose values are all zero are left out of a class pair subtable (its
// every class meets every other), kept in a pair set, which lists them.
inline constexpr std::size_t MaxExpandedBytes = 20u << 20;
inline constexpr std::size_t MaxExpansionSteps = 1 << 22;

struct LookupContent {
    std::vector<GlyphMapping> mappings; // GSUB 1 to 4
    std::vector<GlyphPair> pairs;       // GPOS 2
    std::vector<int> coverage;          // other types: ascending, each glyph once
    std::size_t steps = 0;              // the work it took, counted against the budget
    bool cut = false;                   // the cap was reached: what is here is the start
    LookupProblems problems;            // subtables, or parts of them, that could not be read
};

// Expands lookup `index` of the table within `budget` steps; with `glyph`,
// only entries in which that glyph takes part (input or output, first or
// second). An index past the lookups gives nothing.
LookupContent ExpandLookup(const GsubGposTable& layout, int index, std::optional<int> glyph = std::nullopt,
                           std::size_t budget = MaxExpansionSteps);

// The glyphs of a Coverage table (formats 1 and 2) in coverage-index order;
// nullopt when it is of another format, runs past the table or lists more
// glyphs than there are glyph IDs.
std::optional<std::vector<int>> ReadCoverage(std::span<const std::uint8_t> table, std::size_t offset);

// A ClassDef table (formats 1 and 2) as glyph, class; nullopt as for Coverage.
std::optional<std::vector<std::pair<int, int>>> ReadClassDef(std::span<const std::uint8_t> table, std::size_t offset);
