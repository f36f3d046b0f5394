#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tables/font_state.h"

// What the Font Details dialog and `lumaro-inspect tables` show of a font:
// its table directory with checksums, the header tables' fields by their
// format names, and the cmap subtables. Read from the font's bytes alone;
// nothing here changes what the load decided.

// One directory entry and the checksum its bytes give.
struct TableCheck {
    TableEntry entry;
    std::uint32_t computed = 0;
    bool whole = true; // false: the table runs past the end of the file
    bool ok() const { return whole && computed == entry.CheckSum; }
};

// One field of a header table. `value` is a number as decimal text (a
// Fixed as its real value, "2.5") or, when `isText`, a text (a tag, a date).
struct TableField {
    std::string name;
    std::string value;
    bool isText = false;
};

// A header table's fields in file order, as many as its bytes hold.
struct TableFields {
    bool present = false;
    bool whole = true; // false: the table ended before the fields its version has
    std::vector<TableField> fields;
};

// One cmap encoding record and what its subtable is.
struct CmapSubtable {
    int platformID = 0, encodingID = 0;
    std::uint32_t offset = 0;
    int format = -1;          // -1: the subtable lies outside the table
    std::uint32_t length = 0; // as the subtable states it
    bool usedByLists = false; // the subtable the pick lists read
    bool usedByFind = false;  // the subtable Find and the status bar read
};

// A CPAL palette: its type (USABLE_WITH_LIGHT/DARK_BACKGROUND bits) and its
// label's text from the name table ("" without one).
struct PaletteSummary {
    std::uint32_t type = 0;
    std::string label;
};

// A colour table: its version and what it holds.
struct ColourTableSummary {
    std::string tag;              // "COLR", "CPAL", "CBLC" (for CBLC/CBDT), "sbix" or "SVG "
    int version = 0;
    std::vector<int> strikePpems; // CBLC, sbix: each strike's ppem, in table order
    int documents = 0;            // SVG: the documents in its index
    int baseGlyphRecords = 0, layerRecords = 0; // COLR version 0's
    int baseGlyphPaints = 0, layerPaints = 0;   // COLR version 1's BaseGlyphList and LayerList
    int paletteEntries = 0;                     // CPAL
    std::vector<PaletteSummary> palettes;       // CPAL
    std::string problem;          // why the table is read only in part, or not at all
};

struct FontDetails {
    std::vector<TableCheck> tables; // directory order
    TableFields head, hhea, maxp, os2, post;
    std::vector<CmapSubtable> cmap;
    std::vector<ColourTableSummary> colour; // those the font has, in the order above
};

// The checksum of a table's bytes: their sum as big-endian 32-bit numbers,
// the last one padded with zeros. For head, checksumAdjustment (bytes 8..11)
// counts as 0.
std::uint32_t TableChecksum(std::span<const std::uint8_t> bytes, bool isHead);

// Reads the details of a loaded font.
FontDetails ReadFontDetails(const FontState& font);

// What a name ID means: "Copyright Notice" ... "Variations PostScript Name
// Prefix"; "Reserved" for 26..255, "Font-specific" from 256.
std::string NameIdMeaning(int nameID);
