#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "sfnt/failure.h"

// What a file is, told by its first bytes rather than its name.
enum class FileKind {
    TrueType,    // 0x00010000 or 'true': an sfnt with glyf outlines
    Collection,  // 'ttcf': several faces sharing one file
    Woff,        // 'wOFF': an sfnt whose tables are zlib-compressed
    Woff2,       // 'wOF2': Brotli-compressed, with transformed tables
    OpenTypeCff, // 'OTTO': an sfnt with CFF outlines
    Empty,
    Text,
    Png,
    Jpeg,
    Gif,
    Pdf,
    Zip,
    Gzip,
    PostScriptFont, // a Type 1 font, as text or in its binary segments
    Unknown,
};

FileKind RecogniseFile(std::span<const std::uint8_t> bytes);

// The failures of reading a container, besides the numbered codes of the
// font itself. They go to the status bar, worded at the edge; the detail
// says what does not add up.
enum ContainerCode : int {
    BadCollection = 40, // the collection header or its face offsets
    BadWoff = 41,       // a WOFF header, directory or table that cannot be inflated
    BadWoff2 = 42,      // a WOFF2 file the decoder refuses, or one too large
    NoSuchFace = 43,    // a face number not below the face count (context.GlyphIndex: the count)
};

// Where each face's offset table lies in a collection (offsets count from
// the start of the file): every face's offset table and directory inside the
// file, past the header, and no two of them overlapping.
std::variant<std::vector<std::uint32_t>, Failure> ReadCollectionFaces(std::span<const std::uint8_t> bytes);

// The most a compressed font may expand to: 256 MB, and 32 times the file's
// own size (fonts compress to a half or a fifth; a file that expands further
// was built to exhaust memory, 250 MB from a WOFF of 250 KB).
constexpr std::size_t MaxDecodedFontSize = 256u << 20;
constexpr std::size_t MaxExpansion = 32;

struct WoffTable {
    std::uint32_t tag = 0;
    std::uint32_t offset = 0;     // of the compressed data in the WOFF file
    std::uint32_t compLength = 0; // equal to origLength: stored uncompressed
    std::uint32_t origLength = 0;
    std::uint32_t origChecksum = 0;
};

struct WoffDirectory {
    std::uint32_t flavor = 0;
    std::vector<WoffTable> tables;     // in directory order (by tag)
    std::size_t sfntSize = 0;          // offset table, directory and the tables padded to 4
};

// A WOFF header and directory whose lengths add up: every table inside the
// file and after the directory, none overlapping another, none claiming more
// than zlib can expand its bytes to, compLength not above origLength, and
// the rebuilt font within totalSfntSize, MaxDecodedFontSize and MaxExpansion.
std::variant<WoffDirectory, Failure> ReadWoffDirectory(std::span<const std::uint8_t> bytes);

// A WOFF2 header checked before the decoder is given the file: the declared
// length and compressed size inside the file, totalSfntSize within
// MaxDecodedFontSize and MaxExpansion. Returns totalSfntSize.
std::variant<std::size_t, Failure> ReadWoff2Header(std::span<const std::uint8_t> bytes);
