#pragma once
// The fuzz targets' bodies. Each takes any bytes as a font file and must end
// soundly: no crash, no read outside the bytes, no sanitizer report, bounded
// time and memory. libFuzzer calls one of them per executable (entry.cpp);
// the replay driver calls them all over the kept regression inputs.
#include <cstddef>
#include <cstdint>
#include <span>

namespace fuzz {

using Body = int (*)(const std::uint8_t* data, std::size_t size);

int LoadAndLists(const std::uint8_t* data, std::size_t size);   // load, the three pick lists
int DrawGlyphs(const std::uint8_t* data, std::size_t size);     // every glyph, classic and metrics view
int OutlineAndFind(const std::uint8_t* data, std::size_t size); // outlines, Unicode map, Find
int NamingTable(const std::uint8_t* data, std::size_t size);    // name records and their texts
int Thumbnails(const std::uint8_t* data, std::size_t size);     // the overview's paths and images (Qt Gui)
int Containers(const std::uint8_t* data, std::size_t size);     // collections, WOFF, WOFF2 decoded; each face loaded
int CffCharStrings(const std::uint8_t* data, std::size_t size); // CFF and CFF2 charstrings, at a location
int PixelsAndShaping(const std::uint8_t* data, std::size_t size); // FreeType's pixels drawn, HarfBuzz's shaping
int Variations(const std::uint8_t* data, std::size_t size);     // glyphs at the default, instances, corners, the input's location
int ColourGlyphs(const std::uint8_t* data, std::size_t size);   // CPAL, COLR versions 0 and 1: paint trees read and painted
int HintedGlyphs(const std::uint8_t* data, std::size_t size);   // TrueType programs listed and run at two sizes, both interpreters
int LayoutTables(const std::uint8_t* data, std::size_t size);   // GSUB and GPOS: scripts, features, every lookup expanded
int ChecksAndDiff(const std::uint8_t* data, std::size_t size);  // outline checks of the glyphs; the font compared with itself and a mutated copy

struct Target {
    const char* name; // also the folder of its regression inputs
    Body body;
};

// Every target.
inline constexpr Target Targets[] = {
    {"load", LoadAndLists},   {"draw", DrawGlyphs}, {"find", OutlineAndFind},
    {"names", NamingTable}, {"thumbnail", Thumbnails}, {"containers", Containers},
    {"cff", CffCharStrings}, {"pixels_shaping", PixelsAndShaping}, {"variations", Variations},
    {"colour", ColourGlyphs}, {"hinting", HintedGlyphs}, {"layout", LayoutTables},
    {"checks", ChecksAndDiff},
};

} // namespace fuzz
