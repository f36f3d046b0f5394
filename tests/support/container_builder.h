#pragma once
// Collections and WOFF files built from assembled fonts, for tests.
#include <functional>

#include "support/ttf_builder.h"

namespace ttf {

// A 'ttcf' collection holding each font whole, its table offsets moved to
// count from the start of the file.
inline ByteVector collection(const std::vector<ByteVector>& fonts, std::uint16_t majorVersion = 1)
{
    Bytes b;
    b.tag("ttcf").u16(majorVersion).u16(0).u32(std::uint32_t(fonts.size()));
    b.zeros(4 * fonts.size());
    if (majorVersion == 2)
        b.u32(0).u32(0).u32(0); // no digital signature
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        b.padTo(4);
        const auto at = std::uint32_t(b.size());
        putU32(b.data, 12 + 4 * i, at);
        ByteVector font = fonts[i];
        for (std::size_t t = 0; t < getU16(font, 4); ++t)
            putU32(font, 12 + 16 * t + 8, getU32(font, 12 + 16 * t + 8) + at);
        b.append(font);
    }
    return b.data;
}

// Turns a table's bytes into the bytes stored; the identity stores them as
// they are (compLength = origLength).
using Compressor = std::function<ByteVector(const ByteVector&)>;

constexpr std::size_t WoffHeaderSize = 44, WoffEntrySize = 20;

// A WOFF file of an assembled font: its tables in directory order, each
// passed through `compress` (kept as it is when that is not shorter).
inline ByteVector woff(const ByteVector& font, const Compressor& compress = {})
{
    const std::size_t numTables = getU16(font, 4);
    std::vector<ByteVector> stored;
    std::uint32_t sfntSize = 12 + 16 * std::uint32_t(numTables);
    for (std::size_t t = 0; t < numTables; ++t) {
        const std::size_t entry = 12 + 16 * t;
        const ByteVector data(font.begin() + getU32(font, entry + 8),
                              font.begin() + getU32(font, entry + 8) + getU32(font, entry + 12));
        ByteVector packed = compress ? compress(data) : data;
        stored.push_back(packed.size() < data.size() ? packed : data);
        sfntSize += (std::uint32_t(data.size()) + 3) & ~3u;
    }
    Bytes b;
    b.tag("wOFF").u32(getU32(font, 0)).u32(0).u16(std::uint16_t(numTables)).u16(0).u32(sfntSize);
    b.u16(1).u16(0).u32(0).u32(0).u32(0).u32(0).u32(0); // version, no metadata, no private data
    std::uint32_t at = std::uint32_t(WoffHeaderSize + WoffEntrySize * numTables);
    for (std::size_t t = 0; t < numTables; ++t) {
        const std::size_t entry = 12 + 16 * t;
        b.u32(getU32(font, entry)).u32(at).u32(std::uint32_t(stored[t].size()));
        b.u32(getU32(font, entry + 12)).u32(getU32(font, entry + 4));
        at += (std::uint32_t(stored[t].size()) + 3) & ~3u;
    }
    for (const ByteVector& data : stored)
        b.append(data).padTo(4);
    putU32(b.data, 8, std::uint32_t(b.size()));
    return b.data;
}

// Where table t's WOFF directory entry lies.
inline std::size_t woffEntryAt(std::size_t t)
{
    return WoffHeaderSize + WoffEntrySize * t;
}

} // namespace ttf
