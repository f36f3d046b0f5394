#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A colour as CPAL stores it, not premultiplied.
struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

enum PaletteTypeFlag : std::uint32_t {
    USABLE_WITH_LIGHT_BACKGROUND = 0x0001,
    USABLE_WITH_DARK_BACKGROUND = 0x0002,
};

inline constexpr std::uint16_t NoPaletteLabel = 0xFFFF;

// CPAL, versions 0 and 1. Every palette has numPaletteEntries colours; the
// version 1 arrays are empty in version 0 or where their offset is 0.
struct Cpal {
    int version = 0;
    int numPaletteEntries = 0;
    std::vector<std::vector<Rgba>> palettes;
    std::vector<std::uint32_t> paletteTypes;        // PaletteTypeFlag bits, per palette
    std::vector<std::uint16_t> paletteLabels;       // name IDs, NoPaletteLabel for none
    std::vector<std::uint16_t> paletteEntryLabels;  // name IDs, per entry
};

// The table read whole; nullopt when its header, a palette's colours or a
// version 1 array lies past the table (a palette starting past the colour
// records is such a palette).
std::optional<Cpal> ReadCpal(std::span<const std::uint8_t> table);
