#include "sfnt/errors.h"
#include "sfnt/failure.h"

#include <cmath>
#include <cstdio>


std::string BlankSigned(long long value)
{
    return (value < 0 ? "-" : " ") + std::to_string(value < 0 ? -value : value);
}

// CurvePoint is a float in the message; it is whole in practice, but a
// fraction would be written after a decimal point.
static std::string blankSignedReal(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return BlankSigned((long long)value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.7g", std::fabs(value));
    return (value < 0 ? "-" : " ") + std::string(buf);
}

void ShowError(int code, const WorkingValues& work, MessageSink& sink, const std::string& reading)
{
    std::string text = "Error!\r\nCode =" + BlankSigned(code)
                     + "\r\nNumberOffContours =" + BlankSigned(work.NumberOfContours)
                     + "\r\npontdb =" + BlankSigned(work.PointCount)
                     + "\r\nb =" + blankSignedReal(work.CurvePoint);
    if (code == ReadPastEnd)
        text += "\r\nReading: " + reading;
    else if (code == BadComposite)
        text += "\r\nComposite: " + reading;
    else if (code == BadCharString)
        text += "\r\nCharString: " + reading;
    sink.MsgBox(text);
}

void ShowVariationFailure(const Failure& failure, MessageSink& sink)
{
    sink.MsgBox("Glyph " + std::to_string(failure.work.GlyphIndex)
                + " is drawn at the default location: its variation data cannot be used (" + failure.detail + ").");
}
