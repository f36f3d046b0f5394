#pragma once
#include <string_view>

// The number of glyph names every post table knows without storing them.
constexpr int StandardGlyphNameCount = 258;

// The standard Macintosh glyph name of index 0..257 (".notdef", ".null",
// "nonmarkingreturn", "space" ... "dcroat"); "" for any other index.
std::string_view StandardGlyphName(int index);
