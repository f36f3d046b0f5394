#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sfnt/failure.h"
#include "tables/font_state.h"

// One name record, its six fields in table order (all unsigned 16-bit).
struct NameRecord {
    std::uint16_t platformID = 0;
    std::uint16_t encodingID = 0; // with platformID, decides how the text is decoded
    std::uint16_t languageID = 0;
    std::uint16_t nameID = 0;
    std::uint16_t length = 0;
    std::uint16_t offset = 0;
};

// The result of one naming-table reading: Lines[k] and NameText[k] belong to
// record k + 1. Both are UTF-8.
struct NameReading {
    std::vector<std::string> Lines;
    std::vector<std::string> NameText;
};

// "  Microsoft; ", "  unknown" ... by platformID.
std::string PlatformText(int platformID);
// "English - United States; " ... by platform and languageID; "" for platforms without languages.
std::string LanguageText(int platformID, int languageID);
// "Copyright notice" ... by nameID; "Name ID 15" for the unnamed ones.
std::string NameIdText(int nameID);
// The list line of record `number` (1-based), right-aligned to the width of count.
std::string ListLine(int number, int count, const NameRecord& record);
// The record text of raw string bytes, as UTF-8, decoded by the record's
// platform and encoding:
// - UTF-16BE for platform 0 (any encoding), platform 2 encoding 1 and
//   platform 3 encodings 0, 1 and 10 (see Utf16BeToUtf8 for bad sequences);
// - Mac Roman for platform 1 encoding 0;
// - anything else: every byte through Windows-1252, NULs dropped (bytes 0x81,
//   0x8D, 0x8F, 0x90 and 0x9D become U+0081 etc.).
std::string DecodeNameBytes(std::span<const std::uint8_t> bytes, int platformID, int encodingID);

// A naming table read as records and list lines; the texts are decoded one at
// a time by NameText, so records sharing their string storage never multiply
// the file in memory.
struct NameTable {
    std::vector<NameRecord> Records;
    std::vector<std::string> Lines; // Lines[k]: list line of Records[k]
    std::uint64_t StringStart = 0;  // table offset + stringOffset, in the file
};

// Looks up 'name' and reads the records and list lines of a format 0 table
// into `out` (cleared first). Same answers and failures as ReadNames.
MaybeFailure ReadNameTable(const FontState& font, NameTable& out);
// The UTF-8 text of table.Records[k]; "" for k out of range.
std::string NameText(const FontState& font, const NameTable& table, std::size_t k);

// The text of the font's name `nameID` (4: the full name): the Windows
// English (United States) record's, else the first non-empty one's; "" when
// the font has none, or no name table it can read.
std::string FontNameText(const FontState& font, int nameID);

// Looks up 'name' and reads every record of a format 0 table into `out`
// (cleared first). A failure: the lookup was abandoned (no name table, code
// 14), nothing read. Another format gives no records and no failure.
MaybeFailure ReadNames(const FontState& font, NameReading& out);
