#pragma once
#include <cstdint>
#include <string>

enum ErrorCode : int {
    CmapFormatUnknown = 1, // "wrong cmapFormat!!": a box of its own, without a number
    TooManyTables = 10,   // more than 32 directory entries
    TooManyContours = 11, // a glyph with more than 2000 contours
    TooManyPoints = 12,   // a glyph with more than 2000 points
    RunTooLong = 13,      // a curve run of 199 points without an on-curve end
    TableMissing = 14,    // shown after a box "Not found: " + the tag (the failure's detail)
    ReadPastEnd = 15,     // a read would pass the end of the file
    BadLocaFormat = 16,   // indexToLocFormat neither 0 nor 1
    BadComposite = 17,    // a composite glyph that cannot be resolved; a last line says why
    BadCharString = 18,   // a CFF or CFF2 charstring breaks a limit or cannot be run; a last line says why
    BadVariations = 19,   // a glyph's variation data cannot be used: it is drawn at the default
};

// A number as the window writes it: a leading blank, or a minus sign in its place.
std::string BlankSigned(long long value);
