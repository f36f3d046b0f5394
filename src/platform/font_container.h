#pragma once
#include <cstdint>
#include <variant>
#include <vector>

#include "sfnt/container.h"

// A WOFF or WOFF2 file decoded to the sfnt or collection it holds.
struct DecodedFont {
    FileKind kind = FileKind::TrueType; // what `bytes` are: an sfnt, or a Collection (WOFF2 only)
    std::vector<std::uint8_t> bytes;
};

// `file` of kind Woff or Woff2 (any other kind is returned as it is): WOFF
// tables inflated with zlib and put behind a new directory; WOFF2 by
// Google's decoder, within its header's totalSfntSize, 256 MB and 32 times
// the file's size. A failure (code from ContainerCode) says what does not
// add up.
std::variant<DecodedFont, Failure> DecodeWebFont(FileKind kind, std::vector<std::uint8_t> file);
