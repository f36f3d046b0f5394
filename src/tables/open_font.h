#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "sfnt/container.h"
#include "tables/loader.h"

// What File > Open and lumaro-inspect both start from.
struct OpenedFont {
    LoadResult result = LoadResult::Abandoned;
    Reports reports; // what the load reported: boxes on the way, and the failure that abandoned it
    FontState font;
    PickLists lists;
    int firstEntry = -1; // the Combo1 entry selected at the open; -1: no glyph to show
    int firstGlyph = -1; // the glyph shown at the open
    FileKind kind = FileKind::TrueType; // what the file is, whatever the result
    int faces = 1;                      // a collection's face count; 1 for a single font
    int face = 0;                       // the face loaded
    Failure refusal;                    // why, when result is Refused
};

// Opens face `face` of the file at a path, making the pick lists with or
// without composite glyphs: the one way a font is opened, by the window's
// session and lumaro-inspect alike (the platform's OpenFontPath; tests open
// bytes they built).
using FontOpener = std::function<OpenedFont(const std::string& path, bool composites, int face)>;

// Where face `face` of `bytes` lies: its offset table's offset, and how many
// faces there are. Only a Collection has more than one face; a collection
// header that does not add up, or a face not below the count, is a refusal
// (BadCollection, NoSuchFace: detail the face asked, context.GlyphIndex the count).
struct FaceChoice {
    int faces = 1;
    std::uint32_t offset = 0;
    MaybeFailure refusal;
};
FaceChoice ChooseFace(FileKind kind, std::span<const std::uint8_t> bytes, int face);

// Opens the bytes of an sfnt or a collection (`kind`: what they are, as the
// file's first bytes or its container's decoder said): the face chosen, the
// font loaded and the pick lists made. The glyph shown first is glyph 4 with
// the fifth entry, or the last entry's glyph of a shorter list. A refused
// face loads nothing and reports nothing (result Refused, and why).
OpenedFont OpenFontBytes(std::string fileName, FileKind kind, std::vector<std::uint8_t> bytes, bool composites,
                         int face = 0);
