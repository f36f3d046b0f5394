#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The OpenType SVG table: its document index and the document that draws a
// glyph. Documents stay as views into the table's bytes; a gzipped one is
// told by its magic and left for the platform to inflate under its cap.

struct SvgDocumentRecord {
    int firstGlyph = 0, lastGlyph = 0; // startGlyphID, endGlyphID
    std::uint32_t offset = 0;          // svgDocOffset: from the start of the document list
    std::uint32_t length = 0;          // svgDocLength
};

struct SvgIndex {
    int version = 0;
    std::vector<SvgDocumentRecord> records; // only when the whole index is sound
    std::string problem; // empty when the index is usable: else why the table is not used
};

// The document index. Records must be in glyph order without overlapping
// ranges (a glyph drawn by two documents has no one picture), and every
// document must lie inside the table; otherwise no record is kept and
// problem says why.
SvgIndex ReadSvgIndex(std::span<const std::uint8_t> svg);

struct SvgGlyphDocument {
    bool found = false;
    int document = -1; // the record's number in the index
    SvgDocumentRecord record;
    std::span<const std::uint8_t> bytes; // as stored
    bool gzipped = false;                // the stored bytes start with gzip's magic 1F 8B 08
    std::string problem;                 // the index's problem, when it is not usable
};

// The document that draws glyph, looked up in the table's index read once;
// found = false when none does.
SvgGlyphDocument FindSvgDocument(std::span<const std::uint8_t> svg, const SvgIndex& index, int glyph);
