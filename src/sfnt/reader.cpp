#include "sfnt/reader.h"

void ByteReader::seek(std::size_t pos)
{
    if (pos > data_.size()) {
        ok_ = false;
        return;
    }
    pos_ = pos;
}

void ByteReader::skip(std::size_t n)
{
    if (!canRead(n)) {
        ok_ = false;
        return;
    }
    pos_ += n;
}

std::uint32_t ByteReader::u32()
{
    if (!canRead(4)) {
        ok_ = false;
        return 0;
    }
    std::uint32_t v = std::uint32_t(data_[pos_]) << 24 | std::uint32_t(data_[pos_ + 1]) << 16
                    | std::uint32_t(data_[pos_ + 2]) << 8 | std::uint32_t(data_[pos_ + 3]);
    pos_ += 4;
    return v;
}

std::span<const std::uint8_t> ByteReader::bytes(std::size_t n)
{
    if (!canRead(n)) {
        ok_ = false;
        return {};
    }
    auto out = data_.subspan(pos_, n);
    pos_ += n;
    return out;
}

std::int32_t SwapLong(std::uint32_t fileOrder)
{
    std::uint32_t b1 = fileOrder & 0xFF, b2 = fileOrder >> 8 & 0xFF;
    std::uint32_t b3 = fileOrder >> 16 & 0xFF, b4 = fileOrder >> 24;
    return std::int32_t(b1 << 24 | b2 << 16 | b3 << 8 | b4);
}
