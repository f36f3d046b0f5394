#pragma once
#include <string>
#include <vector>

#include "sfnt/container.h"
#include "tables/loader.h"

// What File > Open and lumaro-inspect both start from.
struct OpenedFont {
    LoadResult result = LoadResult::Abandoned;
    Reports reports; // what the open reported: the failure that abandoned it
    FontState font;
    PickLists lists;
    int firstEntry = -1; // the Combo1 entry selected at the open; -1: no glyph to show
    int firstGlyph = -1; // the glyph shown at the open
    FileKind kind = FileKind::TrueType; // what the file is, whatever the result
    int faces = 1;                      // a collection's face count; 1 for a single font
    int face = 0;                       // the face loaded
    Failure refusal;                    // why, when result is Refused
};

// Loads the file's bytes (the face whose offset table lies at faceOffset)
// and makes the pick lists. The glyph shown first is glyph 4 with the fifth
// entry, or the last entry's glyph of a shorter list.
OpenedFont OpenFontBytes(std::string fileName, std::vector<std::uint8_t> bytes, bool composites,
                         std::uint32_t faceOffset = 0);
