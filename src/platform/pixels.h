#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sfnt/location.h"
#include "outline/outline.h"

// A glyph as FreeType renders it at a size in pixels per em.

enum class Hinting {
    Native, // the font's TrueType instructions
    Auto,   // FreeType's light auto-hinter
    None,
};

inline constexpr int MinPpem = 6;
inline constexpr int MaxPpem = 200;
inline constexpr int MaxPixelSide = 2048; // of a glyph's bitmap: ten em at the largest size

struct PixelRequest {
    int glyph = 0;
    int ppem = 12; // MinPpem..MaxPpem
    Hinting hinting = Hinting::Native;
    bool mono = false;
};

struct GlyphPixels {
    int width = 0, rows = 0; // of the bitmap
    int left = 0, top = 0;   // the bitmap's top-left corner from the origin, y up
    double advance = 0;      // pixels
    std::vector<std::uint8_t> values; // rows * width, row by row from the top: 0..255 (mono: 0 or 255)
    // Outlines in 1/64 pixel, y up, origin at the glyph's origin: as hinted,
    // and as merely scaled.
    Contours hinted, unhinted;
};

// Renders glyph request.glyph of face faceIndex of the font's bytes at the
// location. Nothing when FreeType cannot open the face, set the location or
// size, or load or render the glyph, or when the hinted glyph's box is wider
// or taller than MaxPixelSide pixels.
std::optional<GlyphPixels> RenderPixels(std::span<const std::uint8_t> fontBytes, int faceIndex,
                                        const Location& location, const PixelRequest& request);
