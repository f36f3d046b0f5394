#pragma once
// COLR and CPAL tables for tests and fuzz seeds: a small builder of COLR
// version 1 tables and the damaged cases every colour reader must survive.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/crafted_fonts.h"
#include "support/ttf_builder.h"

namespace colr {

using ttf::ByteVector;
using ttf::Bytes;

inline void offset24(Bytes& b, std::uint32_t v)
{
    b.u8(std::uint8_t(v >> 16)).u16(std::uint16_t(v));
}

// A COLR version 1 table: header, BaseGlyphList, LayerList, ClipList, then
// the paints, which every offset below counts from.
struct ColrBuilder {
    std::vector<std::pair<int, std::uint32_t>> bases; // glyph, its paint
    std::vector<std::uint32_t> layers;                 // each layer's paint
    std::optional<std::uint32_t> layerCount;           // the count stored, when it is not layers.size()
    std::optional<std::uint32_t> baseCount;            // likewise for the BaseGlyphList
    std::optional<std::array<std::int16_t, 4>> clip;   // for every glyph
    Bytes paints;

    std::uint32_t at() const { return std::uint32_t(paints.size()); }

    ByteVector build() const
    {
        const std::uint32_t baseList = 34, layerList = baseList + 4 + 6 * std::uint32_t(bases.size());
        const std::uint32_t clipList = layerList + 4 + 4 * std::uint32_t(layers.size());
        const std::uint32_t start = clipList + (clip ? 1 + 4 + 7 + 9 : 0);
        Bytes b;
        b.u16(1).u16(0).u32(0).u32(0).u16(0); // version 1, no version 0 records
        b.u32(baseList).u32(layerList).u32(clip ? clipList : 0).u32(0).u32(0);
        b.u32(baseCount.value_or(std::uint32_t(bases.size())));
        for (const auto& [glyph, paint] : bases)
            b.u16(std::uint16_t(glyph)).u32(start + paint - baseList);
        b.u32(layerCount.value_or(std::uint32_t(layers.size())));
        for (const std::uint32_t paint : layers)
            b.u32(start + paint - layerList);
        if (clip) {
            b.u8(1).u32(1).u16(0).u16(0xFFFF); // format 1, one clip for every glyph
            offset24(b, 1 + 4 + 7);
            b.u8(1).i16((*clip)[0]).i16((*clip)[1]).i16((*clip)[2]).i16((*clip)[3]);
        }
        return b.append(paints.data).data;
    }
};

inline std::uint32_t solid(ColrBuilder& c, int paletteIndex = 0)
{
    const std::uint32_t at = c.at();
    c.paints.u8(2).u16(std::uint16_t(paletteIndex)).i16(16384); // PaintSolid, alpha 1
    return at;
}

inline std::uint32_t colrGlyph(ColrBuilder& c, int glyph)
{
    const std::uint32_t at = c.at();
    c.paints.u8(11).u16(std::uint16_t(glyph));
    return at;
}

inline std::uint32_t layers(ColrBuilder& c, int count, std::uint32_t first)
{
    const std::uint32_t at = c.at();
    c.paints.u8(1).u8(std::uint8_t(count)).u32(first);
    return at;
}

// PaintGlyph of glyph 0 over a linear gradient of `stops` stops.
inline std::uint32_t gradient(ColrBuilder& c, int stops)
{
    const std::uint32_t at = c.at();
    c.paints.u8(10);
    offset24(c.paints, 6);
    c.paints.u16(0);
    c.paints.u8(4);
    offset24(c.paints, 16);
    c.paints.i16(0).i16(0).i16(100).i16(0).i16(0).i16(100);
    c.paints.u8(0).u16(std::uint16_t(stops));
    for (int k = 0; k < stops; ++k)
        c.paints.i16(std::int16_t(k % 16384)).u16(0).i16(16384);
    return at;
}

struct DamagedColr {
    const char* name;
    std::function<ByteVector()> table; // glyph 5 is the one painted
    const char* message;
    int unitsPerEm = 1000;
};

inline std::vector<DamagedColr> damagedColrCases()
{
    return {
    {"a glyph painting itself",
     [] { ColrBuilder c; c.bases = {{5, colrGlyph(c, 5)}}; return c.build(); },
     "re-enters glyph 5"},
    {"two glyphs painting each other",
     [] { ColrBuilder c; c.bases = {{5, colrGlyph(c, 6)}, {6, colrGlyph(c, 5)}}; return c.build(); },
     "re-enters glyph 5"},
    {"translations nested 100 deep",
     [] {
         ColrBuilder c;
         for (int k = 0; k < 100; ++k) {
             c.paints.u8(14);
             offset24(c.paints, 8);
             c.paints.i16(1).i16(1);
         }
         solid(c);
         c.bases = {{5, 0}};
         return c.build();
     },
     "nests deeper than 64"},
    {"a PaintGlyph whose paint lies past the table",
     [] {
         ColrBuilder c;
         c.paints.u8(10);
         offset24(c.paints, 0xFFFFFF);
         c.paints.u16(0);
         c.bases = {{5, 0}};
         return c.build();
     },
     "cannot be read"},
    {"a base paint past the table",
     [] { ColrBuilder c; c.bases = {{5, 0x7FFFFF}}; return c.build(); },
     "cannot be read"},
    {"255 layers of a LayerList of one",
     [] { ColrBuilder c; c.layers = {solid(c)}; c.bases = {{5, layers(c, 255, 0)}}; return c.build(); },
     "past the 1 of the LayerList"},
    {"a LayerList count the table cannot back",
     [] {
         ColrBuilder c;
         c.layers = {solid(c)};
         c.layerCount = 0x7FFFFFFF;
         c.bases = {{5, layers(c, 1, 0)}};
         return c.build();
     },
     "LayerList runs past"},
    {"a BaseGlyphList count the table cannot back",
     [] { ColrBuilder c; c.bases = {{5, solid(c)}}; c.baseCount = 0x10000000; return c.build(); },
     "BaseGlyphList runs past"},
    {"layers that paint their own list, two to a level",
     [] {
         ColrBuilder c;
         const std::uint32_t self = layers(c, 2, 0);
         c.layers = {self, self};
         c.bases = {{5, self}};
         return c.build();
     },
     "more than 10000 paints"},
    {"200 layers of one gradient of 65 535 stops",
     [] {
         ColrBuilder c;
         const std::uint32_t g = gradient(c, 65535);
         c.layers.assign(200, g);
         c.bases = {{5, layers(c, 200, 0)}};
         return c.build();
     },
     "more than 65536 colour stops"},
    {"paint format 33",
     [] { ColrBuilder c; c.paints.u8(33).zeros(8); c.bases = {{5, 0}}; return c.build(); },
     "(format 33) cannot be read"},
    {"a composite mode past hsl_luminosity",
     [] {
         ColrBuilder c;
         c.paints.u8(32);
         offset24(c.paints, 7); // the solid paint after it, as source and backdrop
         c.paints.u8(28);
         offset24(c.paints, 7);
         solid(c);
         c.bases = {{5, 0}};
         return c.build();
     },
     "(format 32) cannot be read"},
    {"a clip box of 64 em at 16 units per em",
     [] {
         ColrBuilder c;
         c.bases = {{5, solid(c)}};
         c.clip = std::array<std::int16_t, 4>{-512, -512, 512, 512};
         return c.build();
     },
     "cut at 1024 pixels", 16},
    {"255 layers filling a clip box of 64 em",
     [] {
         ColrBuilder c;
         c.layers.assign(255, solid(c));
         c.bases = {{5, layers(c, 255, 0)}};
         c.clip = std::array<std::int16_t, 4>{-512, -512, 512, 512};
         return c.build();
     },
     "fills more than 256 million pixels", 16},
    };
}

// A CPAL table of version 0: two palettes of three colours.
inline ByteVector cpalTable()
{
    Bytes b;
    b.u16(0).u16(3).u16(2).u16(6).u32(12 + 4).u16(0).u16(3); // version, entries, palettes, records, offset, first indices
    for (std::uint32_t bgra : {0x0000FFFFu, 0xFF800080u, 0x00FF00FFu, 0x333333FFu, 0x00FFFFFFu, 0xFF00FFFFu})
        b.u32(bgra);
    return b.data;
}

// The crafted base font with a COLR table and that CPAL table.
inline ByteVector colourFont(const ByteVector& colrTable)
{
    return ttf::craftedWith([&](std::vector<ttf::Table>& tables) {
        tables.push_back({"COLR", colrTable});
        tables.push_back({"CPAL", cpalTable()});
    });
}

} // namespace colr
