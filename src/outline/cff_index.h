#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sfnt/reader.h"

// A CFF INDEX: count objects whose offsets (offSize bytes each, from 1) are
// stored before their data. Objects are read on demand, so a 65 535-entry
// INDEX costs nothing to open.
struct CffIndex {
    std::uint32_t count = 0;
    int offSize = 0;
    std::span<const std::uint8_t> offsets; // count + 1 entries
    std::span<const std::uint8_t> data;    // what the offsets count into (offset 1 is its first byte)

    // Object i, or nothing when its offsets are out of order or past the data.
    std::optional<std::span<const std::uint8_t>> item(std::uint32_t i) const;
};

// Reads the INDEX at the reader's position (count is 16 bits in CFF, 32 in
// CFF2) and leaves the reader after it. Nothing when the offsets or the
// data they claim run past the table.
std::optional<CffIndex> ReadCffIndex(ByteReader& r, bool cff2);

// One operator of a DICT with the operands before it. Escaped operators
// (12 x) are 1200 + x.
struct DictEntry {
    int op = 0;
    std::vector<double> operands;
};

// The entries of a DICT, in order; nothing for a malformed one (an operand
// running past the data, a stray byte).
std::optional<std::vector<DictEntry>> ReadDict(std::span<const std::uint8_t> dict);

// The operands of op in a DICT, or nothing when it is absent.
const std::vector<double>* DictOperands(const std::vector<DictEntry>& dict, int op);
