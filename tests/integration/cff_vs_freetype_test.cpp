// Every glyph of Debian's CFF fonts decodes to FreeType's unscaled, unhinted
// outline: the same contour ends and point kinds, coordinates within a unit.
#include <gtest/gtest.h>

#include <filesystem>

#include "outline/cff.h"
#include "platform/font_file.h"
#include "support/freetype_face.h"
#include "support/sfnt_tables.h"

namespace {

struct Compared {
    int glyphs = 0, cubicPoints = 0, named = 0, accented = 0;
};

// The first difference between our glyph and FreeType's, or empty.
std::string difference(const Contours& ours, const FT_Outline& o)
{
    const std::vector<int> ends(o.contours, o.contours + o.n_contours);
    if (ours.ends != ends || ours.points.size() != std::size_t(o.n_points))
        return std::to_string(ours.points.size()) + " points in " + std::to_string(ours.ends.size())
             + " contours, FreeType " + std::to_string(o.n_points) + " in " + std::to_string(o.n_contours);
    for (int i = 0; i < o.n_points; ++i) {
        const OutlinePoint& p = ours.points[std::size_t(i)];
        const int tag = FT_CURVE_TAG(o.tags[i]);
        if (std::labs(o.points[i].x - p.x) > 1 || std::labs(o.points[i].y - p.y) > 1 || int(p.kind) != tag)
            return "point " + std::to_string(i) + " (" + std::to_string(p.x) + ", " + std::to_string(p.y) + ", "
                 + std::to_string(int(p.kind)) + "), FreeType (" + std::to_string(o.points[i].x) + ", "
                 + std::to_string(o.points[i].y) + ", " + std::to_string(tag) + ")";
    }
    return {};
}

void compareFace(const std::string& path, int face, Compared& compared)
{
    SCOPED_TRACE(path + " face " + std::to_string(face));
    const auto bytes = ReadFontFile(path);
    ASSERT_TRUE(bytes);
    auto opened = ReadCff(sfntTable(*bytes, "CFF ", face), false);
    ASSERT_TRUE(std::holds_alternative<CffFont>(opened)) << std::get<Failure>(opened).detail;
    const CffFont& font = std::get<CffFont>(opened);
    FreeTypeFace ft(path, face);
    ASSERT_NE(ft.get(), nullptr);
    ASSERT_EQ(long(font.charStrings.count), ft.get()->num_glyphs);
    int wrong = 0;
    for (int g = 0; g < ft.get()->num_glyphs && wrong < 5; ++g) {
        const auto decoded = DecodeCharString(font, g, {});
        ASSERT_EQ(FT_Load_Glyph(ft.get(), FT_UInt(g), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP), 0);
        if (const Failure* failure = std::get_if<Failure>(&decoded)) {
            ADD_FAILURE() << "glyph " << g << ": " << failure->detail;
            ++wrong;
            continue;
        }
        const CffGlyph& glyph = std::get<CffGlyph>(decoded);
        const std::string diff = difference(glyph.contours, ft.get()->glyph->outline);
        if (!diff.empty() && ++wrong)
            ADD_FAILURE() << "glyph " << g << ": " << diff;
        char name[64] = "";
        if (FT_HAS_GLYPH_NAMES(ft.get()) && FT_Get_Glyph_Name(ft.get(), FT_UInt(g), name, sizeof name) == 0) {
            EXPECT_EQ(CffGlyphName(font, g), name) << g;
            compared.named += name[0] != '\0';
        }
        for (const OutlinePoint& p : glyph.contours.points)
            compared.cubicPoints += p.kind == PointKind::CubicOff;
        compared.accented += glyph.accented.has_value();
        ++compared.glyphs;
    }
}

std::vector<std::string> otfFiles(const std::string& folder)
{
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".otf")
            paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

TEST(CffVsFreeType, EveryGlyphOfCantarellAndUrwBase35)
{
    Compared compared;
    const auto cantarell = otfFiles(CANTARELL_DIR), urw = otfFiles(URW_BASE35_DIR);
    ASSERT_EQ(cantarell.size(), 5u);
    ASSERT_EQ(urw.size(), 35u);
    for (const auto* list : {&cantarell, &urw})
        for (const std::string& path : *list)
            compareFace(path, 0, compared);
    EXPECT_GT(compared.glyphs, 20000);
    EXPECT_GT(compared.cubicPoints, 500000);
    EXPECT_GT(compared.named, 20000);
}

TEST(CffVsFreeType, TwoFacesOfNotoSansCjk)
{
    Compared compared;
    for (const int face : {0, 3})
        compareFace(NOTO_CJK_DIR "/NotoSansCJK-Regular.ttc", face, compared);
    EXPECT_EQ(compared.glyphs, 2 * 65535);
    EXPECT_EQ(compared.named, 0); // CID-keyed: no glyph names
}

} // namespace
