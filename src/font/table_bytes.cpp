#include "font/table_bytes.h"

#include <algorithm>

std::span<const std::uint8_t> TableBytes(const FontState& font, std::string_view tag)
{
    const std::span<const std::uint8_t> file(font.FontBytes);
    for (const TableEntry& e : font.TableDir) {
        if (std::string_view(e.Tag.data(), e.Tag.size()) != tag)
            continue;
        if (e.Offset > file.size())
            return {};
        return file.subspan(e.Offset, std::min<std::size_t>(e.Length, file.size() - e.Offset));
    }
    return {};
}
