#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sfnt/reader.h"
#include "tables/fvar.h"
#include "tables/unicode_map.h"

struct TableEntry {
    std::array<char, 4> Tag{};
    std::uint32_t CheckSum = 0;
    std::uint32_t Offset = 0;
    std::uint32_t Length = 0;
};

// Where a table lies in the file, as its directory entry gives it.
struct TableSpan {
    std::uint32_t Offset = 0;
    std::uint32_t Length = 0;
};

struct HeadRecord {
    std::uint16_t UnitsPerEm = 0;
    std::int16_t IndexToLocFormat = 0;
    // A unitsPerEm a font may have (16 to 16384); others are not drawn by.
    bool usableUnitsPerEm() const { return UnitsPerEm >= 16 && UnitsPerEm <= 16384; }
};

struct HheaRecord {
    std::int16_t Ascender = 0;
    std::int16_t Descender = 0;
};

struct BBox {
    std::int16_t XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};

struct HMetric {
    std::int32_t AdvanceWidth = 0; // 0..65535
    std::int32_t Lsb = 0;          // -32768..32767
    std::int32_t RightSpace = 0;   // AdvanceWidth - Lsb
};

// What a glyph's header says it is.
enum class GlyphKind : std::uint8_t {
    Simple,     // contours of its own, or no data at all
    Composite,  // built from other glyphs
    NoHeader,   // its header lies beyond the end of the file
};

struct CffFont;

// A loaded font. LoadFont fills it; afterwards nothing changes it, so any
// number of readers (composite resolution, worker threads) may share it.
struct FontState {
    std::string FontFileName; // for display only: the bytes are all that is read
    bool Loaded = false;

    std::vector<std::uint8_t> FontBytes; // the whole file
    int Face = 0; // which face of a collection this is: FreeType's and HarfBuzz's face index

    int NumTables = 0;
    std::vector<TableEntry> TableDir; // directory entries in file order
    TableSpan Glyf;                   // where glyph data starts; GlyphOffset counts from here

    int NumGlyphs = 0; // 0..65535
    HeadRecord HeadTable;
    HheaRecord HheaTable;
    std::vector<std::uint32_t> GlyphOffset; // NumGlyphs + 1 entries: loca's final entry too
    std::vector<HMetric> HMetrics;
    std::vector<BBox> GlyphBox;
    std::vector<GlyphKind> GlyphKinds;
    // CFF or CFF2 outlines in place of glyf: views into FontBytes, whose
    // buffer a move of the font keeps. Null for a TrueType font.
    std::shared_ptr<const CffFont> Cff;
    int PostVersion = 0;                 // post's version as the loader tells them apart: its second byte (1, 2, 3 ...)
    int PostNumberOfGlyphs = 0;          // post 2.0: how many glyphs it gives a name number
    std::vector<int> GlyphNameIndex;     // post 2.0 name number of each glyph; 0 where post gives none
    std::vector<std::string> GlyphNames; // GlyphNames[k] is name number 258 + k

    int UnicodeCmap = 0;                // 1: a platform 3 / encoding 1 subtable was chosen
    int CmapFormat = 0;
    std::uint32_t CmapOffset = 0;       // where the chosen subtable starts in the cmap table
    int CmapLength = 0;
    std::vector<std::uint8_t> CmapData; // the chosen subtable's bytes
    CmapSegments Format4Segments;       // format 4: the chosen subtable's segments

    UnicodeMap Unicode; // the best Unicode subtable, for Find and the status bar

    FontVariations Variations; // fvar, avar, gvar and HVAR; no axes for a font that does not vary
};

// The glyph numbers and character codes behind the three pick lists.
struct PickLists {
    std::vector<int> GlyphList; // glyph number of each Combo1 entry
    std::vector<int> CharList;  // character code of each Combo2 entry
    std::vector<int> AsciiList; // character code of each Combo3 entry
};
