#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

// The one cursor through which font bytes are read. Every read is checked
// against the end of the data (written as n <= size - pos, overflow-safe).
// A read that would pass the end reads nothing, returns 0 and marks the
// cursor failed; callers check ok() after each block they read and report
// code 15 naming what they were reading.
class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t size() const { return data_.size(); }
    std::size_t pos() const { return pos_; }
    bool ok() const { return ok_; }
    bool canRead(std::size_t n) const { return ok_ && pos_ <= data_.size() && n <= data_.size() - pos_; }

    // Positioning past the end fails the cursor; positioning at the end is allowed.
    void seek(std::size_t pos);
    void skip(std::size_t n);

    // The reads of every glyph point: defined here so that they inline.
    std::uint8_t u8()
    {
        if (!canRead(1)) {
            ok_ = false;
            return 0;
        }
        return data_[pos_++];
    }
    std::uint16_t u16()
    {
        if (!canRead(2)) {
            ok_ = false;
            return 0;
        }
        const auto v = std::uint16_t(data_[pos_] << 8 | data_[pos_ + 1]);
        pos_ += 2;
        return v;
    }
    std::int16_t i16() { return std::int16_t(u16()); }
    std::uint32_t u32();
    std::span<const std::uint8_t> bytes(std::size_t n);

    // After a failure has been reported, or for a deliberate probe.
    void clearFailure() { ok_ = true; }

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// The program's value routines, kept under their established names.
inline std::int16_t ReadShort(ByteReader& r) { return r.i16(); }                 // signed big-endian 16-bit
inline std::uint16_t ReadUShort(ByteReader& r) { return std::uint16_t(r.u16()); } // unsigned big-endian 16-bit
// Takes 4 file bytes held first-byte-least-significant; returns their signed big-endian value.
std::int32_t SwapLong(std::uint32_t fileOrder);
