// Built CFF and CFF2 fonts, with the operators and variations Debian's fonts
// do not use, decode to FreeType's outline: CFF2 at three locations.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MULTIPLE_MASTERS_H

#include "support/cff_builder.h"
#include "support/recording_sink.h"
#include "tables/fvar.h"
#include "support/sfnt_tables.h"

namespace {

using cff::Code;

class MemoryFace {
public:
    explicit MemoryFace(const ttf::ByteVector& bytes)
    {
        if (FT_Init_FreeType(&library_) == 0)
            FT_New_Memory_Face(library_, bytes.data(), FT_Long(bytes.size()), 0, &face_);
    }
    ~MemoryFace()
    {
        if (face_)
            FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FT_Face get() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// Every glyph of the font at design coordinates `design` (none: the default)
// against FreeType; normalized is the same location as Lumaro takes it.
void compareAt(const ttf::ByteVector& file, bool cff2, std::vector<FT_Fixed> design, const Location& location)
{
    SCOPED_TRACE(location.normalized.empty() ? 0.0 : location.normalized.front());
    MemoryFace ft(file);
    ASSERT_NE(ft.get(), nullptr);
    if (!design.empty()) {
        ASSERT_EQ(FT_Set_Var_Design_Coordinates(ft.get(), FT_UInt(design.size()), design.data()), 0);
    }
    auto opened = ReadCff(sfntTable(file, cff2 ? "CFF2" : "CFF "), cff2);
    ASSERT_TRUE(std::holds_alternative<CffFont>(opened)) << std::get<Failure>(opened).detail;
    const CffFont& font = std::get<CffFont>(opened);
    for (int g = 0; g < ft.get()->num_glyphs; ++g) {
        SCOPED_TRACE(g);
        ASSERT_EQ(FT_Load_Glyph(ft.get(), FT_UInt(g), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
        const auto decoded = DecodeCharString(font, g, location);
        ASSERT_TRUE(std::holds_alternative<CffGlyph>(decoded)) << std::get<Failure>(decoded).detail;
        const Contours& ours = std::get<CffGlyph>(decoded).contours;
        const FT_Outline& o = ft.get()->glyph->outline;
        ASSERT_EQ(ours.ends, std::vector<int>(o.contours, o.contours + o.n_contours));
        ASSERT_EQ(ours.points.size(), std::size_t(o.n_points));
        for (int i = 0; i < o.n_points; ++i) {
            const OutlinePoint& p = ours.points[std::size_t(i)];
            EXPECT_NEAR(p.x, o.points[i].x, 1) << i;
            EXPECT_NEAR(p.y, o.points[i].y, 1) << i;
            EXPECT_EQ(int(p.kind), FT_CURVE_TAG(o.tags[i])) << i;
        }
    }
}

// A box drawn with every kind of line and curve operator, flex family too.
std::vector<ttf::ByteVector> everyOperator()
{
    return {
        Code().ns({10, 10}).op(RMoveTo).ns({100, 0, 0, 100}).op(RLineTo).n(-100).op(HLineTo).bytes(),
        Code().n(20).op(HMoveTo).n(300).op(VLineTo).n(40).op(HLineTo).ns({30, 20, 10, 40, 50, 60}).op(RRCurveTo)
            .ns({5, 10, 20, 30, 40, 50, 5, 10, 20}).op(HHCurveTo).ns({7, 10, 20, 30, 40}).op(VVCurveTo)
            .ns({10, 20, 30, 40, 10, 20, 30, 40, 9}).op(HVCurveTo).ns({10, 20, 30, 40, 5}).op(VHCurveTo).bytes(),
        Code().n(50).op(VMoveTo).ns({10, 20, 30, 40, 50, 60, 70, 80}).op(RCurveLine)
            .ns({5, 5, 10, 0, 10, 20, 30, 40, 50, 60}).op(RLineCurve).bytes(),
        Code().ns({0, 0}).op(RMoveTo).ns({10, 20, 30, 40, 50, 0, 50, 0, 30, -40, 10, -20, 50}).op(Flex)
            .ns({20, 30, 10, 40, 30, 20, 10}).op(HFlex).ns({10, 5, 20, 10, 30, 30, 20, -5, 10}).op(HFlex1)
            .ns({10, 20, 30, 5, 40, 0, 30, -5, 20, -10, 15}).op(Flex1).fixed(10.5).fixed(-3.25).op(RLineTo).bytes(),
    };
}

TEST(CffBuiltVsFreeType, EveryPathOperatorSubroutinesAndAnAccentedGlyph)
{
    cff::FontDesign d;
    d.charStrings = everyOperator();
    // Glyph 4 draws through a local and a global subroutine; glyph 5 is
    // glyph 1 ("A", code 65) with glyph 2 ("acute", code 194) over it.
    d.localSubrs = {{Code().ns({100, 0}).op(RLineTo).op(Return).bytes()}};
    d.globalSubrs = {Code().ns({0, 100}).op(RLineTo).n(-107).op(CallSubr).op(Return).bytes()};
    d.charStrings.push_back(Code().ns({5, 5}).op(RMoveTo).n(-107).op(CallGSubr).ns({-100, -50}).op(RLineTo).bytes());
    d.charStrings.push_back(Code().ns({200, 300, 65, 194}).op(EndChar).bytes());
    d.charset = {34, 125, 3, 4, 5}; // A, acute, ...
    const auto file = cff::otfFont(cff::cffTable(d), false, d.charStrings.size());
    compareAt(file, false, {}, {});
    auto font = std::get<CffFont>(ReadCff(sfntTable(file, "CFF "), false));
    EXPECT_EQ(CffGlyphName(font, 2), "acute");
    const auto accented = std::get<CffGlyph>(DecodeCharString(font, 5, {})).accented;
    ASSERT_TRUE(accented);
    EXPECT_EQ(accented->base, 1);
    EXPECT_EQ(accented->accent, 2);
}

TEST(CffBuiltVsFreeType, VariedCff2AtThreeLocations)
{
    const cff::FontDesign d = cff::variedDesign();
    const auto file = cff::otfFont(cff::cff2Table(d), true, d.charStrings.size(), cff::fvarTable({{100, 400, 900}}));
    compareAt(file, true, {}, {});
    compareAt(file, true, {650 << 16}, Location{{0.5}});
    compareAt(file, true, {900 << 16}, Location{{1.0}});
    compareAt(file, true, {250 << 16}, Location{{-0.5}});
    // The location the window and lumaro-inspect choose for those user values.
    FontState loaded;
    RecordingSink sink;
    ASSERT_EQ(LoadFont(file, loaded, sink), LoadResult::Loaded);
    for (const auto& [user, normalized] : {std::pair{650, 0.5}, {900, 1.0}, {250, -0.5}})
        EXPECT_EQ(Normalize(loaded.Variations, std::vector<Fixed>{user << 16}).normalized,
                  std::vector<double>{normalized});
    const auto font = std::get<CffFont>(ReadCff(sfntTable(file, "CFF2"), true));
    for (int g = 0; g < 2; ++g) // the locations differ: the blends were taken
        EXPECT_NE(std::get<CffGlyph>(DecodeCharString(font, g, {})).contours.points,
                  std::get<CffGlyph>(DecodeCharString(font, g, Location{{0.5}})).contours.points);
}

} // namespace
