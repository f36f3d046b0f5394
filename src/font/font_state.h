#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "font/reader.h"

struct TableEntry {
    std::array<char, 4> Tag{};
    std::uint32_t CheckSum = 0;
    std::uint32_t Offset = 0;
    std::uint32_t Length = 0;
};

struct HeadRecord {
    std::int16_t IndexToLocFormat = 0; // the only head field used
};

struct BBox {
    std::int16_t XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};

struct HMetric {
    std::int32_t AdvanceWidth = 0; // 0..65535
    std::int32_t Lsb = 0;          // -32768..32767
    std::int32_t RightSpace = 0;   // AdvanceWidth - Lsb
};

// Everything known about the one open font. LoadFont clears it before it
// reads, and an abandoned load leaves it cleared: no font open.
struct FontState {
    FontState() = default;
    // FontFile points into FontBytes: a copy would read the original's bytes.
    FontState(const FontState&) = delete;
    FontState& operator=(const FontState&) = delete;
    FontState(FontState&&) = default;
    FontState& operator=(FontState&&) = default;

    std::string FontFileName;
    bool Loaded = false;

    std::vector<std::uint8_t> FontBytes; // the whole file
    ByteReader FontFile;                 // cursor over FontBytes: "file 1"

    int NumTables = 0;
    std::vector<TableEntry> TableDir;    // directory entries in file order
    std::uint32_t TableOffset = 0;       // table found last; glyf after a load
    std::uint32_t TableLength = 0;

    int NumGlyphs = 0;                   // 0..65535
    HeadRecord HeadTable;
    std::vector<std::uint32_t> GlyphOffset; // NumGlyphs + 1 entries: loca's final entry too
    std::vector<HMetric> HMetrics;
    std::vector<BBox> GlyphBox;
    int PostVersion = 0;                 // post's version as the loader tells them apart: its second byte (1, 2, 3 ...)
    int PostNumberOfGlyphs = 0;          // post 2.0: how many glyphs it gives a name number
    std::vector<int> GlyphNameIndex;     // post 2.0 name number of each glyph; 0 where post gives none
    std::vector<std::string> GlyphNames; // GlyphNames[k] is name number 258 + k

    int UnicodeCmap = 0;                 // 1: a platform 3 / encoding 1 subtable was chosen
    int CmapFormat = 0;
    int CmapLength = 0;
    std::vector<std::uint8_t> CmapData;  // the chosen subtable's bytes

    std::vector<int> GlyphList;          // glyph number of each Combo1 entry
    std::vector<int> CharList;           // character code of each Combo2 entry
    std::vector<int> AsciiList;          // character code of each Combo3 entry

    // Working values of the glyph pass and the drawing, shown by ShowError.
    int GlyphIndex = 0;
    int NumberOfContours = 0;
    float GlyphXMin = 0, GlyphYMin = 0, GlyphXMax = 0, GlyphYMax = 0;
    std::int32_t PointCount = 0;
    float CurvePoint = 0;
    float OriginX = 0, OriginY = 0;
    float CurveSteps = 5;
};
