#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tables/open_font.h"

// The whole file's bytes; nothing when it is not a regular file that can be
// read, or is larger than 4 GiB (font offsets are 32-bit: no font is larger).
std::optional<std::vector<std::uint8_t>> ReadFontFile(const std::string& path);

// File > Open without the dialog, for the window's session and lumaro-inspect
// alike (a FontOpener): the file read and recognised once, a WOFF or WOFF2
// file decoded, the face chosen, the font loaded and its pick lists made. A
// file that cannot be read gives Unreadable and reports nothing; a container
// that cannot be decoded, or a face not below the face count, gives Refused
// (and why) and reports nothing.
OpenedFont OpenFontPath(const std::string& path, bool composites, int face = 0);
