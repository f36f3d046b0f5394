// The pixel view against FreeType's own bitmaps: the same glyph, size and
// load flags, loaded by FreeType directly here.
#include <cstdio>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonObject>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MULTIPLE_MASTERS_H
#include <gtest/gtest.h>

#include "platform/font_file.h"
#include "platform/pixels.h"
#include "support/colour_tables.h"
#include "support/command_output.h"
#include "support/freetype_face.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";

struct Mode {
    const char* name; // --hinting
    Hinting hinting;
    bool mono;
    FT_Int32 flags;
    FT_Render_Mode render;
};

const Mode Modes[] = {
    {"native", Hinting::Native, false, FT_LOAD_NO_AUTOHINT, FT_RENDER_MODE_NORMAL},
    {"native", Hinting::Native, true, FT_LOAD_NO_AUTOHINT | FT_LOAD_TARGET_MONO, FT_RENDER_MODE_MONO},
    {"auto", Hinting::Auto, false, FT_LOAD_FORCE_AUTOHINT | FT_LOAD_TARGET_LIGHT, FT_RENDER_MODE_LIGHT},
    {"none", Hinting::None, false, FT_LOAD_NO_HINTING, FT_RENDER_MODE_NORMAL},
};

// FreeType's bitmap as lumaro-inspect prints it: one hex string per row.
struct Expected {
    int width = 0, rows = 0, left = 0, top = 0;
    double advance = 0;
    std::vector<std::string> hexRows;
};

Expected freetypeBitmap(FT_Face face, int glyph, int ppem, const Mode& mode)
{
    Expected e;
    EXPECT_EQ(FT_Set_Pixel_Sizes(face, 0, FT_UInt(ppem)), 0);
    EXPECT_EQ(FT_Load_Glyph(face, FT_UInt(glyph), mode.flags), 0);
    EXPECT_EQ(FT_Render_Glyph(face->glyph, mode.render), 0);
    const FT_Bitmap& b = face->glyph->bitmap;
    e.width = int(b.width);
    e.rows = int(b.rows);
    e.left = face->glyph->bitmap_left;
    e.top = face->glyph->bitmap_top;
    e.advance = face->glyph->advance.x / 64.0;
    for (unsigned y = 0; y < b.rows; ++y) {
        std::string row;
        for (unsigned x = 0; x < b.width; ++x) {
            const unsigned char* line = b.buffer + std::ptrdiff_t(y) * b.pitch;
            const unsigned v = mode.mono ? ((line[x / 8] >> (7 - x % 8)) & 1) * 255u : line[x];
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02x", v);
            row += hex;
        }
        e.hexRows.push_back(row);
    }
    return e;
}

std::vector<std::string> strings(const QJsonValue& v)
{
    std::vector<std::string> out;
    for (const QJsonValue& e : v.toArray())
        out.push_back(e.toString().toStdString());
    return out;
}

void expectSame(const QJsonObject& doc, const Expected& e)
{
    EXPECT_EQ(doc["width"].toInt(-1), e.width);
    EXPECT_EQ(doc["rows"].toInt(-1), e.rows);
    EXPECT_EQ(doc["left"].toInt(-1000), e.left);
    EXPECT_EQ(doc["top"].toInt(-1000), e.top);
    EXPECT_DOUBLE_EQ(doc["advance"].toDouble(-1), e.advance);
    EXPECT_EQ(strings(doc["pixels"]), e.hexRows);
}

// The 'a' the pixel view is tried with, at 9 to 20 ppem, and a few other
// shapes at more sizes, through lumaro-inspect.
TEST(PixelsVsFreeType, InspectPrintsFreeTypesBitmap)
{
    const FreeTypeFace ft(DejaVuSans);
    ASSERT_NE(ft.get(), nullptr);
    std::vector<std::pair<char32_t, int>> cases;
    for (int ppem = 9; ppem <= 20; ++ppem)
        cases.emplace_back(U'a', ppem);
    for (char32_t c : {U'g', U'W', U'\u00e9', U'@'})
        for (int ppem : {6, 13, 48, 200})
            cases.emplace_back(c, ppem);
    int compared = 0;
    for (const auto& [c, ppem] : cases) {
        const int glyph = int(FT_Get_Char_Index(ft.get(), c));
        for (const Mode& mode : Modes) {
            SCOPED_TRACE("U+" + std::to_string(unsigned(c)) + " at " + std::to_string(ppem) + " " + mode.name
                         + (mode.mono ? " mono" : ""));
            std::vector<std::string> words = {"pixels", DejaVuSans, std::to_string(glyph), "--ppem",
                                              std::to_string(ppem), "--hinting", mode.name};
            if (mode.mono)
                words.push_back("--mono");
            int status = -1;
            const QJsonObject doc = inspectObject(words, &status);
            ASSERT_EQ(status, 0);
            EXPECT_EQ(doc["glyph"].toInt(-1), glyph);
            EXPECT_EQ(doc["ppem"].toInt(-1), ppem);
            expectSame(doc, freetypeBitmap(ft.get(), glyph, ppem, mode));
            ++compared;
        }
    }
    EXPECT_EQ(compared, 4 * (12 + 16));
}

// A font with an embedded bitmap strike at the size asked: the pixel view
// draws the outline, as FreeType does when asked for no bitmaps.
TEST(PixelsVsFreeType, OutlineOverAnEmbeddedStrike)
{
    const ttf::ByteVector image = ttf::Bytes().u8(2).u8(8).u8(0).u8(2).u8(9).u8(0xAA).u8(0x55).data; // format 1: small metrics, two rows
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(2));
    tables.push_back({"EBDT", ttf::Bytes().u16(2).u16(0).append(image).data});
    tables.push_back({"EBLC", ttf::cblcTable(13, 1, 1, 1, 1, ttf::indexFormat1(1, 1, 1, 4, {0, 7}), 2)});
    const ttf::TempFontFile file(ttf::assemble(tables));
    const FreeTypeFace ft(file.path());
    ASSERT_NE(ft.get(), nullptr);
    ASSERT_EQ(ft.get()->num_fixed_sizes, 1);
    Mode outline = Modes[0];
    outline.flags |= FT_LOAD_NO_BITMAP;
    int status = -1;
    const QJsonObject doc = inspectObject({"pixels", file.path(), "1", "--ppem", "13"}, &status);
    ASSERT_EQ(status, 0);
    expectSame(doc, freetypeBitmap(ft.get(), 1, 13, outline));
}

// Every glyph of the font in each mode, through the wrapper directly.
TEST(PixelsVsFreeType, EveryGlyphOfDejaVuSans)
{
    const FreeTypeFace ft(DejaVuSans);
    ASSERT_NE(ft.get(), nullptr);
    const std::optional<std::vector<std::uint8_t>> bytes = ReadFontFile(DejaVuSans);
    ASSERT_TRUE(bytes);
    const int ppem = 15;
    for (const Mode& mode : Modes) {
        int differing = 0;
        for (int glyph = 0; glyph < int(ft.get()->num_glyphs); glyph += 3) {
            const std::optional<GlyphPixels> ours = RenderPixels(*bytes, 0, {}, {glyph, ppem, mode.hinting, mode.mono});
            ASSERT_TRUE(ours) << glyph;
            const Expected e = freetypeBitmap(ft.get(), glyph, ppem, mode);
            std::string hex;
            for (std::uint8_t v : ours->values) {
                char two[3];
                std::snprintf(two, sizeof two, "%02x", v);
                hex += two;
            }
            std::string expected;
            for (const std::string& row : e.hexRows)
                expected += row;
            if (ours->width != e.width || ours->rows != e.rows || ours->left != e.left || ours->top != e.top
                || ours->advance != e.advance || hex != expected)
                ++differing;
        }
        EXPECT_EQ(differing, 0) << mode.name << (mode.mono ? " mono" : "");
    }
}

// A variable font at a location given in user values: FreeType is set to the
// same design coordinates here.
TEST(PixelsVsFreeType, InterAtALocation)
{
    const FreeTypeFace ft(INTER_VARIABLE_FONT);
    ASSERT_NE(ft.get(), nullptr);
    FT_MM_Var* mm = nullptr;
    ASSERT_EQ(FT_Get_MM_Var(ft.get(), &mm), 0);
    std::vector<FT_Fixed> design(mm->num_axis);
    for (FT_UInt i = 0; i < mm->num_axis; ++i)
        design[i] = mm->axis[i].tag == FT_MAKE_TAG('w', 'g', 'h', 't') ? 700 * 65536 : mm->axis[i].def;
    FT_Done_MM_Var(ft.get()->glyph->library, mm);
    ASSERT_EQ(FT_Set_Var_Design_Coordinates(ft.get(), FT_UInt(design.size()), design.data()), 0);

    const int glyph = int(FT_Get_Char_Index(ft.get(), U'a'));
    for (const Mode& mode : {Modes[0], Modes[3]}) {
        SCOPED_TRACE(mode.name);
        int status = -1;
        const QJsonObject doc = inspectObject(
            {"pixels", INTER_VARIABLE_FONT, std::to_string(glyph), "--ppem", "40", "--hinting", mode.name,
             "--location", "wght=700"},
            &status);
        ASSERT_EQ(status, 0);
        expectSame(doc, freetypeBitmap(ft.get(), glyph, 40, mode));
    }
    // The bold 'a' is not the regular one.
    const QJsonObject regular = inspectObject({"pixels", INTER_VARIABLE_FONT, std::to_string(glyph), "--ppem", "40"});
    const QJsonObject bold =
        inspectObject({"pixels", INTER_VARIABLE_FONT, std::to_string(glyph), "--ppem", "40", "--location", "wght=700"});
    EXPECT_NE(regular["pixels"], bold["pixels"]);
}

TEST(PixelsVsFreeType, UsageErrors)
{
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"pixels", DejaVuSans, "68"},
             {"pixels", DejaVuSans, "68", "--ppem", "5"},
             {"pixels", DejaVuSans, "68", "--ppem", "201"},
             {"pixels", DejaVuSans, "68", "--ppem", "12", "--hinting", "light"},
             {"pixels", DejaVuSans, "99999", "--ppem", "12"},
             {"pixels", DejaVuSans, "68", "--ppem", "12", "--location", "wght=700"},
             {"pixels", INTER_VARIABLE_FONT, "68", "--ppem", "12", "--location", "wdht=100"},
         }) {
        int status = -1;
        inspectObject(words, &status);
        EXPECT_EQ(status, 2) << words.back();
    }
}

} // namespace
