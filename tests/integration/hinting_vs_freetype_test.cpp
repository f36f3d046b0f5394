// Every instructed glyph of the DejaVu fonts, hinted by Lumaro's interpreter,
// against FreeType's FT_Load_Glyph with FT_LOAD_NO_AUTOHINT at the same ppem
// and interpreter version: points, on-curve flags and advance.
#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <set>
#include <sstream>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_MULTIPLE_MASTERS_H

#include "hinting/hinted_glyph.h"
#include "support/font_file_loading.h"
#include "support/freetype_face.h"
#include "support/recording_sink.h"

namespace {

// FreeType with one interpreter version.
class FreeTypeHinter {
public:
    FreeTypeHinter(const std::string& path, unsigned version)
    {
        FT_Init_FreeType(&library_);
        FT_Property_Set(library_, "truetype", "interpreter-version", &version);
        if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0)
            face_ = nullptr;
    }
    ~FreeTypeHinter()
    {
        if (face_)
            FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FT_Face face() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

struct Tally {
    long equal = 0, total = 0;
    long long instructions = 0; // run by Lumaro: the comparison is of hinted glyphs
    std::vector<std::string> differing;
};

// The glyphs a program runs for: their own instructions, or composites.
std::vector<int> instructedGlyphs(const FontState& font)
{
    std::vector<int> glyphs;
    for (int g = 0; g < font.NumGlyphs; ++g)
        if (!GlyphInstructions(font, g).bytes.empty() || font.GlyphKinds[std::size_t(g)] == GlyphKind::Composite)
            glyphs.push_back(g);
    return glyphs;
}

std::string describe(const HintedGlyph& ours, const FT_GlyphSlot slot)
{
    std::ostringstream s;
    const FT_Outline& o = slot->outline;
    s << "advance " << ours.advance << " vs " << slot->advance.x << "; points " << ours.points.size() << " vs "
      << o.n_points;
    for (int i = 0; i < o.n_points && std::size_t(i) < ours.points.size(); ++i) {
        const HintedPoint& p = ours.points[std::size_t(i)];
        if (p.x != o.points[i].x || p.y != o.points[i].y) {
            s << "; first at " << i << ": (" << p.x << "," << p.y << ") vs (" << o.points[i].x << ","
              << o.points[i].y << ")";
            break;
        }
    }
    return s.str();
}

void compare(const std::string& path, unsigned version, const std::vector<int>& sizes, Tally& tally,
             const std::vector<FT_Fixed>& coords = {})
{
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontFace(font, sink, path, 0), LoadResult::Loaded) << path;
    FreeTypeHinter ft(path, version);
    ASSERT_NE(ft.face(), nullptr);
    if (!coords.empty())
        FT_Set_Var_Blend_Coordinates(ft.face(), FT_UInt(coords.size()), const_cast<FT_Fixed*>(coords.data()));
    HintingContext context(font);
    Location location;
    for (const FT_Fixed c : coords)
        location.normalized.push_back(double(c) / 65536);
    // A font without instructions is still loaded by the hinting path: its
    // frame, rounded phantoms and varied points are compared on every glyph.
    std::vector<int> glyphs = instructedGlyphs(font);
    if (context.programs().fpgm.empty() && context.programs().prep.empty()) {
        glyphs.resize(std::size_t(font.NumGlyphs));
        std::iota(glyphs.begin(), glyphs.end(), 0);
    }
    for (const int ppem : sizes) {
        FT_Set_Pixel_Sizes(ft.face(), 0, FT_UInt(ppem));
        for (const int g : glyphs) {
            ++tally.total;
            const HintedGlyph ours = context.HintGlyph(g, ppem, int(version), location);
            tally.instructions += ours.instructions;
            if (ours.sizeFailure)
                tally.differing.push_back("size failure at " + std::to_string(ppem));
            if (FT_Load_Glyph(ft.face(), FT_UInt(g), FT_LOAD_NO_AUTOHINT | FT_LOAD_NO_BITMAP) != 0) {
                tally.differing.push_back(path + " glyph " + std::to_string(g) + " at " + std::to_string(ppem)
                                          + ": FreeType refused it");
                continue;
            }
            const FT_GlyphSlot slot = ft.face()->glyph;
            const FT_Outline& o = slot->outline;
            bool same = slot->advance.x == ours.advance && o.n_points == int(ours.points.size());
            for (int i = 0; same && i < o.n_points; ++i) {
                const HintedPoint& p = ours.points[std::size_t(i)];
                same = p.x == o.points[i].x && p.y == o.points[i].y
                    && (o.tags[i] & 1) == (p.kind == PointKind::OnCurve ? 1 : 0);
            }
            if (same)
                ++tally.equal;
            else
                tally.differing.push_back(path.substr(path.rfind('/') + 1) + " v" + std::to_string(version) + " glyph "
                                          + std::to_string(g) + " at " + std::to_string(ppem) + ": "
                                          + describe(ours, slot));
        }
    }
}

std::vector<int> testSizes()
{
    std::vector<int> sizes;
    for (int p = 9; p <= 24; ++p)
        sizes.push_back(p);
    sizes.push_back(36);
    sizes.push_back(72);
    return sizes;
}

void report(const std::string& what, const Tally& tally)
{
    std::printf("%s: %ld of %ld glyph sizes equal, %lld instructions\n", what.c_str(), tally.equal, tally.total,
                tally.instructions);
    for (std::size_t i = 0; i < tally.differing.size() && i < 20; ++i)
        std::printf("  %s\n", tally.differing[i].c_str());
}

// Glyph sizes known to differ from FreeType, and why. Empty: none does.
const std::set<std::string> KnownDifferences = {};

void compareDejaVu(unsigned version)
{
    Tally tally;
    for (const std::string& path : dejavuFontPaths())
        compare(path, version, testSizes(), tally);
    report("DejaVu v" + std::to_string(version), tally);
    long unexplained = 0;
    for (const std::string& d : tally.differing)
        unexplained += !KnownDifferences.count(d.substr(0, d.find(':')));
    EXPECT_EQ(unexplained, 0);
    EXPECT_GT(tally.instructions, tally.total);
}

TEST(HintingVsFreeType, DejaVuV35) { compareDejaVu(35); }

TEST(HintingVsFreeType, DejaVuV40) { compareDejaVu(40); }

// Debian has no instructed variable font with cvar; Inter's has gvar and
// HVAR, whose unrounded points and advances the hinting path scales.
TEST(HintingVsFreeType, InterAtLocations)
{
    Tally tally;
    const std::vector<std::vector<FT_Fixed>> locations = {{0x8000, 0}, {-0xC000, 0x4000}, {0x10000, -0x10000}};
    for (const auto& coords : locations)
        for (const unsigned version : {35u, 40u})
            compare(INTER_VARIABLE_FONT, version, {9, 12, 17, 24}, tally, coords);
    report("Inter at three locations", tally);
    EXPECT_EQ(tally.equal, tally.total);
}

} // namespace
