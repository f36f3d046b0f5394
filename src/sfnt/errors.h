#pragma once
#include <cstdint>
#include <string>

struct Failure;

enum ErrorCode : int {
    TooManyTables = 10,   // more than 32 directory entries
    TooManyContours = 11, // a glyph with more than 2000 contours
    TooManyPoints = 12,   // a glyph with more than 2000 points
    RunTooLong = 13,      // a curve run of 199 points without an on-curve end
    TableMissing = 14,    // after "Not found: " + tag
    ReadPastEnd = 15,     // a read would pass the end of the file
    BadLocaFormat = 16,   // indexToLocFormat neither 0 nor 1
    BadComposite = 17,    // a composite glyph that cannot be resolved; a last line says why
    BadCharString = 18,   // a CFF or CFF2 charstring breaks a limit or cannot be run; a last line says why
    BadVariations = 19,   // a glyph's variation data cannot be used: it is drawn at the default
};

// The working values of one glyph's decoding and drawing. They travel with
// the call (the font itself is never written), and the error boxes print them.
struct WorkingValues {
    int GlyphIndex = 0;
    int NumberOfContours = 0;
    float GlyphXMin = 0, GlyphYMin = 0, GlyphXMax = 0, GlyphYMax = 0; // the box being drawn
    std::int32_t PointCount = 0;
    float CurvePoint = 0;
    float OriginX = 0, OriginY = 0;
    float CurveSteps = 5;
};

// Where message boxes go: an OK-only box in the window, a JSON array in
// lumaro-inspect, a recording list in tests. Lines are joined by CR LF.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void MsgBox(const std::string& text) = 0;
};

// "Error!", "Code =", "NumberOffContours =", "pontdb =", "b =" lines with the
// working values; for codes 15 and 17 one final line says what was read or
// what is wrong. Never ends the program: callers abandon what they were doing.
void ShowError(int code, const WorkingValues& work, MessageSink& sink, const std::string& reading = {});

// The one message of a glyph drawn at the default location because its
// variation data cannot be used.
void ShowVariationFailure(const Failure& failure, MessageSink& sink);

// A number as the window writes it: a leading blank, or a minus sign in its place.
std::string BlankSigned(long long value);
