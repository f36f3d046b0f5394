#pragma once
// One table of one face of a font file or collection, found without the
// loader: for testing table readers on real files.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "sfnt/reader.h"

// The bytes of table tag of face `face` ('ttcf' collections too); empty when absent.
inline std::span<const std::uint8_t> sfntTable(const std::vector<std::uint8_t>& file, std::string_view tag,
                                               int face = 0)
{
    ByteReader r(file);
    std::uint32_t directory = 0;
    if (r.u32() == 0x74746366) { // 'ttcf'
        r.skip(4); // version
        if (std::uint32_t(face) >= r.u32())
            return {};
        r.skip(4 * std::size_t(face));
        directory = r.u32();
    }
    r.seek(directory + 4);
    const int numTables = r.u16();
    r.skip(6);
    for (int i = 0; i < numTables && r.ok(); ++i) {
        const auto name = r.bytes(4);
        r.skip(4); // checkSum
        const std::uint32_t offset = r.u32(), length = r.u32();
        if (r.ok() && std::string_view(reinterpret_cast<const char*>(name.data()), 4) == tag
            && offset <= file.size() && length <= file.size() - offset)
            return std::span(file).subspan(offset, length);
    }
    return {};
}
