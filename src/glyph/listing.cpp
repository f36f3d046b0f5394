#include "glyph/listing.h"

#include "font/errors.h"

std::string FiveColumns(long long value)
{
    std::string s = std::to_string(value);
    if (s.size() < 5)
        s.insert(0, 5 - s.size(), ' ');
    return s;
}

void ListHeader(std::string& OutlineText, int numberOfContours)
{
    OutlineText = "Number of Contours:" + BlankSigned(numberOfContours) + "\r\n\r\n";
}

void ListContour(std::string& OutlineText, int contourNo, long long x, long long depth)
{
    if (contourNo > 1)
        OutlineText += "\r\n";
    OutlineText += "Contour:" + BlankSigned(contourNo) + "\r\n";
    OutlineText += "Position:" + BlankSigned(x) + "," + BlankSigned(depth) + "\r\n";
}

void ListSegment(std::string& OutlineText, long long dx, long long dyDown, Rgb colour)
{
    OutlineText += FiveColumns(dx);
    OutlineText += ',';
    OutlineText += FiveColumns(dyDown);
    if (colour != Black)
        OutlineText += "   C";
    OutlineText += "\r\n";
}
