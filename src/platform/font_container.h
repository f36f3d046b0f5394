#pragma once
#include <cstdint>
#include <variant>
#include <vector>

#include "sfnt/container.h"

// A font file made ready for the loader: a WOFF or WOFF2 file decoded to the
// sfnt (or collection) it holds; anything else as it is.
struct DecodedFont {
    FileKind kind = FileKind::TrueType; // of the file as read
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint32_t> faceOffsets{0}; // each face's offset table
};

// WOFF tables inflated with zlib and put behind a new directory; WOFF2 by
// Google's decoder, within its header's totalSfntSize, 256 MB and 32 times
// the file's size. A failure (code from ContainerCode) says what does not
// add up.
std::variant<DecodedFont, Failure> DecodeFontFile(std::vector<std::uint8_t> file);
