#include "outline/cff_index.h"

#include <cmath>
#include <string>

namespace {

std::uint32_t readOffset(std::span<const std::uint8_t> bytes, int offSize)
{
    std::uint32_t value = 0;
    for (int k = 0; k < offSize; ++k)
        value = value << 8 | bytes[std::size_t(k)];
    return value;
}

} // namespace

std::optional<std::span<const std::uint8_t>> CffIndex::item(std::uint32_t i) const
{
    if (i >= count)
        return std::nullopt;
    const std::size_t at = std::size_t(i) * std::size_t(offSize);
    const std::uint32_t start = readOffset(offsets.subspan(at), offSize);
    const std::uint32_t end = readOffset(offsets.subspan(at + std::size_t(offSize)), offSize);
    if (start < 1 || start > end || end - 1 > data.size())
        return std::nullopt;
    return data.subspan(start - 1, end - start);
}

std::optional<CffIndex> ReadCffIndex(ByteReader& r, bool cff2)
{
    CffIndex index;
    index.count = cff2 ? r.u32() : r.u16();
    if (!r.ok())
        return std::nullopt;
    if (index.count == 0)
        return index;
    index.offSize = r.u8();
    if (!r.ok() || index.offSize < 1 || index.offSize > 4)
        return std::nullopt;
    const std::size_t entries = std::size_t(index.count) + 1;
    if (!r.canRead(entries * std::size_t(index.offSize)))
        return std::nullopt;
    index.offsets = r.bytes(entries * std::size_t(index.offSize));
    const std::uint32_t last = readOffset(index.offsets.subspan(entries * std::size_t(index.offSize) - std::size_t(index.offSize)), index.offSize);
    if (last < 1 || !r.canRead(last - 1))
        return std::nullopt;
    index.data = r.bytes(last - 1);
    return index;
}

namespace {

// A real number: nibbles of digits, '.', 'E', 'E-', '-', ended by 0xf.
std::optional<double> readReal(ByteReader& r)
{
    std::string text;
    for (;;) {
        const int byte = r.u8();
        if (!r.ok())
            return std::nullopt;
        for (const int nibble : {byte >> 4, byte & 0xf}) {
            if (nibble == 0xf)
                return text.empty() ? 0.0 : std::strtod(text.c_str(), nullptr);
            if (nibble <= 9)
                text += char('0' + nibble);
            else if (nibble == 0xa)
                text += '.';
            else if (nibble == 0xb)
                text += 'E';
            else if (nibble == 0xc)
                text += "E-";
            else if (nibble == 0xe)
                text += '-';
        }
        if (text.size() > 64)
            return std::nullopt;
    }
}

std::optional<double> readDictOperand(ByteReader& r, int b0)
{
    if (b0 >= 32 && b0 <= 246)
        return b0 - 139;
    const int b1 = b0 == 30 ? 0 : r.u8();
    if (b0 >= 247 && b0 <= 250)
        return (b0 - 247) * 256 + b1 + 108;
    if (b0 >= 251 && b0 <= 254)
        return -(b0 - 251) * 256 - b1 - 108;
    if (b0 == 28)
        return std::int16_t(b1 << 8 | r.u8());
    if (b0 == 29) {
        std::uint32_t v = std::uint32_t(b1) << 24;
        v |= std::uint32_t(r.u8()) << 16;
        v |= std::uint32_t(r.u8()) << 8;
        v |= r.u8();
        return double(std::int32_t(v));
    }
    if (b0 == 30)
        return readReal(r);
    return std::nullopt;
}

} // namespace

std::optional<std::vector<DictEntry>> ReadDict(std::span<const std::uint8_t> dict)
{
    ByteReader r(dict);
    std::vector<DictEntry> entries;
    std::vector<double> operands;
    while (r.pos() < r.size()) {
        const int b0 = r.u8();
        if (b0 <= 21 || b0 == 22 || b0 == 23 || b0 == 24) {
            const int op = b0 == 12 ? 1200 + r.u8() : b0;
            if (!r.ok())
                return std::nullopt;
            entries.push_back({op, std::move(operands)});
            operands.clear();
            continue;
        }
        const std::optional<double> value = readDictOperand(r, b0);
        if (!value || !r.ok() || operands.size() >= 513)
            return std::nullopt;
        operands.push_back(*value);
    }
    return entries;
}

const std::vector<double>* DictOperands(const std::vector<DictEntry>& dict, int op)
{
    for (const DictEntry& entry : dict)
        if (entry.op == op)
            return &entry.operands;
    return nullptr;
}
