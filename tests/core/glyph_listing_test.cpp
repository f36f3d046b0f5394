// The outline listing shown in the "Lines:" box, compared byte for byte.
#include <gtest/gtest.h>

#include "draw/listing.h"
#include "draw/view.h"
#include "support/glyph_font.h"
#include "support/recording_sink.h"
#include "support/recording_surface.h"

namespace {

std::string listingOf(const std::vector<ttf::Glyph>& glyphs, int n, ViewState view = {})
{
    FontState font;
    fillGlyphFont(font, glyphs);
    RecordingSurface surface;
    RecordingSink sink;
    const GlyphReadout r = ShowGlyph(n, font, view, surface, sink);
    EXPECT_TRUE(sink.texts.empty());
    return r.listing;
}

TEST(GlyphListing, FourPointSquare)
{
    const std::string expected =
        "Number of Contours: 1\r\n"
        "\r\n"
        "Contour: 1\r\n"
        "Position: 0, 700\r\n"
        "    0, -700   C\r\n"
        "    0, -700\r\n"
        "  500,    0   C\r\n"
        "  500,    0\r\n"
        "    0,  700   C\r\n"
        "    0,  700\r\n"
        " -500,    0   C\r\n"
        " -500,    0\r\n";
    EXPECT_EQ(listingOf({ttf::squareGlyph(0, 0, 500, 700)}, 0), expected);
}

TEST(GlyphListing, NumberForms)
{
    struct Case {
        long long value;
        const char* fiveColumns;
    };
    const Case cases[] = {{7, "    7"}, {-700, " -700"}, {0, "    0"}, {12345, "12345"},
                          {-65535, "-65535"}, {65535, "65535"}, {123456, "123456"}};
    for (const Case& c : cases)
        EXPECT_EQ(FiveColumns(c.value), c.fiveColumns) << c.value;

    std::string text = "old";
    ListHeader(text, 3);
    EXPECT_EQ(text, "Number of Contours: 3\r\n\r\n");
    ListContour(text, 1, -7, 0);
    ListContour(text, 2, 7, -12);
    EXPECT_EQ(text, "Number of Contours: 3\r\n\r\n"
                    "Contour: 1\r\nPosition:-7, 0\r\n"
                    "\r\nContour: 2\r\nPosition: 7,-12\r\n");
    std::string lines;
    ListSegment(lines, 0, 0, Black);
    ListSegment(lines, 0, 0, LightGrey);
    ListSegment(lines, -65535, 65535, Rgb{1, 0, 0});
    EXPECT_EQ(lines, "    0,    0\r\n    0,    0   C\r\n-65535,65535   C\r\n");
}

TEST(GlyphListing, SecondContourStartsWithAnEmptyLine)
{
    const std::string text = listingOf({ttf::simpleGlyph({{{0, 0}, {0, 10}}, {{20, 0}, {20, 10}}})}, 0);
    const std::string expected =
        "Number of Contours: 2\r\n\r\n"
        "Contour: 1\r\nPosition: 0, 10\r\n" // depth below the box top, 10
        "    0,  -10   C\r\n    0,  -10\r\n"
        "    0,   10   C\r\n    0,   10\r\n"
        "\r\n"
        "Contour: 2\r\nPosition: 20, 10\r\n"
        "    0,  -10   C\r\n    0,  -10\r\n"
        "    0,   10   C\r\n    0,   10\r\n";
    EXPECT_EQ(text, expected);
}

TEST(GlyphListing, SixCharacterDifferencesAreWrittenWhole)
{
    // From x = 32767 to x = -32768 and back.
    const std::string text = listingOf({ttf::simpleGlyph({{{32767, 0}, {-32768, 0}}})}, 0);
    EXPECT_NE(text.find("-65535,    0   C\r\n-65535,    0\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("65535,    0   C\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Position: 32767, 0\r\n"), std::string::npos) << text;
}

TEST(GlyphListing, OneOffCurvePointGivesTwoPolygonAndFiveCurveLines)
{
    // The run (0,0), (100,200), (200,0) then the closing edge back to (0,0).
    const std::string text = listingOf({ttf::simpleGlyph({{{0, 0}, {100, 200, false}, {200, 0}}})}, 0);
    const std::string expected =
        "Number of Contours: 1\r\n\r\n"
        "Contour: 1\r\nPosition: 0, 200\r\n"
        "  100, -200   C\r\n"
        "  100,  200   C\r\n"
        "   40,  -64\r\n"
        "   40,  -32\r\n"
        "   40,    0\r\n"
        "   40,   32\r\n"
        "   40,   64\r\n"
        " -200,    0   C\r\n"
        " -200,    0\r\n";
    EXPECT_EQ(text, expected);
}

TEST(GlyphListing, ViewSettingsDoNotChangeIt)
{
    const std::vector<ttf::Glyph> glyphs{ttf::simpleGlyph({{{-30, 5}, {100, 200, false}, {250, -40}}})};
    const std::string base = listingOf(glyphs, 0);
    EXPECT_EQ(listingOf(glyphs, 0, ViewState{7, 0, 1}), base);
    EXPECT_EQ(listingOf(glyphs, 0, ViewState{1, 1500, 0}), base);
    EXPECT_NE(base.find("Position:-30, 195\r\n"), std::string::npos) << base;
}

} // namespace
