#pragma once
#include <string>

struct FontState;

enum ErrorCode : int {
    TooManyTables = 10,   // more than 32 directory entries
    TooManyContours = 11, // a glyph with more than 2000 contours
    TooManyPoints = 12,   // a glyph with more than 2000 points
    RunTooLong = 13,      // a curve run of 199 points without an on-curve end
    TableMissing = 14,    // after "Not found: " + tag
    ReadPastEnd = 15,     // a read would pass the end of the file
    BadLocaFormat = 16,   // indexToLocFormat neither 0 nor 1
};

// Where message boxes go: an OK-only box in the window, a JSON array in
// lumaro-inspect, a recording list in tests. Lines are joined by CR LF.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void MsgBox(const std::string& text) = 0;
};

// "Error!", "Code =", "NumberOffContours =", "pontdb =", "b =" lines with the
// working values of `font`; for code 15 one final line names what was read.
// Never ends the program: callers abandon what they were doing.
void ShowError(int code, const FontState& font, MessageSink& sink, const std::string& reading = {});

// A number as the window writes it: a leading blank, or a minus sign in its place.
std::string BlankSigned(long long value);
