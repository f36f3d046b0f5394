#include "draw/listing.h"

#include <cstdio>

#include "sfnt/errors.h"

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

void ListContour(std::string& OutlineText, int contourNo, long long x, long long depth, bool afterComponent)
{
    if (contourNo > 1 && !afterComponent)
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

void ListComponent(std::string& OutlineText, bool first, int glyph, int dx, int dy, const std::array<double, 4>& matrix)
{
    if (!first)
        OutlineText += "\r\n";
    OutlineText += "Component: " + std::to_string(glyph) + "  dx " + std::to_string(dx) + ", dy " + std::to_string(dy);
    if (matrix[0] != 1 || matrix[1] != 0 || matrix[2] != 0 || matrix[3] != 1) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "  matrix %g, %g, %g, %g", matrix[0], matrix[1], matrix[2], matrix[3]);
        OutlineText += buf;
    }
    OutlineText += "\r\n";
}
