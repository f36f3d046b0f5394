// Writes the fuzzers' first corpus into a folder: one small font per
// malformed case, and small subsets of real fonts (every seed under 20 KB).
// usage: fuzz_make_seeds OUT_FOLDER [REAL_FONT ...]
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "tables/glyph_names.h"
#include "tables/loader.h"
#include "support/crafted_fonts.h"
#include "support/cff_damaged.h"
#include "support/colour_tables.h"
#include "support/colr_builder.h"
#include "support/compressors.h"
#include "support/container_builder.h"

namespace {

constexpr std::size_t SeedLimit = 20 * 1024;

ttf::ByteVector glyphBytes(const FontState& font, int g)
{
    const std::size_t start = font.Glyf.Offset + font.GlyphOffset[std::size_t(g)];
    const std::size_t end = font.Glyf.Offset + font.GlyphOffset[std::size_t(g) + 1];
    if (end <= start || end > font.FontBytes.size())
        return {};
    return {font.FontBytes.begin() + std::ptrdiff_t(start), font.FontBytes.begin() + std::ptrdiff_t(end)};
}

// Calls visit(offset of the component's glyph index) for each component record of a composite.
template <class Visit>
void forEachComponent(const ttf::ByteVector& glyph, Visit visit)
{
    std::size_t at = 10;
    for (std::uint16_t flags = ttf::MORE_COMPONENTS; flags & ttf::MORE_COMPONENTS && at + 4 <= glyph.size();) {
        flags = ttf::getU16(glyph, at);
        visit(at + 2);
        at += 4 + (flags & ttf::ARG_1_AND_2_ARE_WORDS ? 4 : 2);
        at += flags & ttf::WE_HAVE_A_SCALE ? 2 : flags & ttf::WE_HAVE_AN_X_AND_Y_SCALE ? 4 : flags & ttf::WE_HAVE_A_TWO_BY_TWO ? 8 : 0;
    }
}

// The glyphs of `codes` and their components, renumbered from 1 (0 stays
// .notdef), as a font of our own writer: glyph data, names and the map kept.
ttf::ByteVector subset(const FontState& font, std::u32string_view codes)
{
    std::map<int, int> renumbered{{0, 0}};
    std::vector<int> order{0};
    auto add = [&](int g) {
        if (g > 0 && g < font.NumGlyphs && renumbered.emplace(g, int(order.size())).second)
            order.push_back(g);
    };
    for (char32_t c : codes)
        add(font.Unicode.glyphFor(c));
    for (std::size_t k = 0; k < order.size(); ++k) {
        const ttf::ByteVector data = glyphBytes(font, order[k]);
        if (data.size() >= 10 && std::int16_t(ttf::getU16(data, 0)) < 0)
            forEachComponent(data, [&](std::size_t at) { add(ttf::getU16(data, at)); });
    }
    ttf::FontSpec design;
    for (int g : order) {
        ttf::ByteVector data = glyphBytes(font, g);
        if (data.size() >= 10 && std::int16_t(ttf::getU16(data, 0)) < 0)
            forEachComponent(data, [&](std::size_t at) { ttf::putU16(data, at, std::uint16_t(renumbered[ttf::getU16(data, at)])); });
        ttf::Glyph glyph;
        glyph.raw = data;
        design.glyphs.push_back(glyph);
        design.glyphNames.push_back(GlyphName(font, g));
    }
    for (char32_t c : codes)
        if (c <= 0xFFFF && renumbered.count(font.Unicode.glyphFor(c)))
            design.cmap[std::uint16_t(c)] = std::uint16_t(renumbered[font.Unicode.glyphFor(c)]);
    design.names = {{3, 1, 0x409, 1, ttf::utf16be(u"Subset")}, {1, 0, 0, 2, ttf::latin1("Book")}};
    return ttf::buildFont(design);
}

bool write(const std::filesystem::path& folder, const std::string& name, const ttf::ByteVector& bytes)
{
    if (bytes.size() > SeedLimit) {
        std::fprintf(stderr, "seed %s: %zu bytes, over the limit\n", name.c_str(), bytes.size());
        return false;
    }
    std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return true;
}

// A CFF2 font with blends, and the containers: a collection of a glyf and
// a CFF2 face, a WOFF and a WOFF2 of the crafted font.
bool writeContainerSeeds(const std::filesystem::path& folder)
{
    const cff::FontDesign varied = cff::variedDesign();
    const ttf::ByteVector cff2 =
        cff::otfFont(cff::cff2Table(varied), true, varied.charStrings.size(), cff::fvarTable({{100, 400, 900}}));
    const ttf::ByteVector base = ttf::buildFont(ttf::craftedBase());
    const ttf::ByteVector woff2 = ttf::woff2Of(base);
    return write(folder, "cff2-blends.otf", cff2) && write(folder, "collection.ttc", ttf::collection({base, cff2}))
        && write(folder, "crafted-base.woff", ttf::woff(base, ttf::deflated)) && !woff2.empty()
        && write(folder, "crafted-base.woff2", woff2);
}

// Outlines the checks must survive: contours of one and two points, of
// off-curve points only, of points all at one place, crossing themselves,
// lying on one another; near-colinear, near-vertical and turning-back
// segments; a flipped component and a composite of a composite.
ttf::ByteVector degenerateOutlines()
{
    using ttf::Contour;
    const Contour square{{0, 0}, {0, 400}, {400, 400}, {400, 0}};
    const Contour reversed(square.rbegin(), square.rend());
    ttf::FontSpec design = ttf::squaresFont(1);
    design.glyphs.push_back(ttf::simpleGlyph({{{10, 10}}, {{20, 20}, {30, 30, false}}}));
    design.glyphs.push_back(ttf::simpleGlyph({{{0, 200, false}, {200, 400, false}, {400, 200, false}, {200, 0, false}}}));
    design.glyphs.push_back(ttf::simpleGlyph({{{50, 50}, {50, 50}, {50, 50, false}, {50, 50}}, {{0, 0}, {0, 0}, {0, 400}, {400, 400}, {400, 0}}}));
    design.glyphs.push_back(ttf::simpleGlyph({{{0, 0}, {500, 500}, {500, 0}, {0, 500}}}));
    design.glyphs.push_back(ttf::simpleGlyph({square, square, reversed}));
    design.glyphs.push_back(ttf::simpleGlyph({{{0, 0}, {100, 0}, {200, 1}, {300, 0}, {301, 300}, {150, 301, false}, {0, 300}, {290, 299}}}));
    design.glyphs.push_back(ttf::compositeGlyph({{4, 0, 0, {-16384, 16384}}, {6, 10, 10}}));
    design.glyphs.push_back(ttf::compositeGlyph({{7, 0, 0}, {7, 0, 0}}));
    design.glyphNames = {".notdef", "dots", "offcurve", "onespot", "bowtie", "stacked", "jaggy", "flipped", "nested"};
    for (int g = 1; g <= 8; ++g)
        design.cmap[std::uint16_t('a' + g - 1)] = std::uint16_t(g);
    return ttf::buildFont(design);
}

// "a glyph painting itself" as a file name: a-glyph-painting-itself.
std::string slug(std::string name)
{
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '-');
    return name;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::filesystem::path folder = argv[1];
    bool ok = write(folder, "crafted-base.ttf", ttf::buildFont(ttf::craftedBase()));
    for (const ttf::CraftedFont& f : ttf::malformedFonts())
        ok &= write(folder, f.name + ".ttf", f.bytes);
    // The amplifiers, small: the same shapes at a size the fuzzer runs fast.
    ok &= write(folder, "shared-name-storage.ttf", ttf::sharedNameStorageFont(300, 0x02));
    ok &= write(folder, "shared-glyph-data.ttf", ttf::sharedGlyphFont(100, 200));
    ok &= write(folder, "long-format-4.ttf", ttf::longFormat4Font(400));
    ok &= write(folder, "long-curve-runs.ttf", ttf::longCurveRunsFont(4));
    for (const cff::DamagedCase& c : cff::damagedCases())
        ok &= write(folder, std::string("charstring-") + c.name + ".otf",
                    cff::otfFont(cff::cffTable(c.design), false, c.design.charStrings.size()));
    ok &= writeContainerSeeds(folder);
    ok &= write(folder, "degenerate-outlines.ttf", degenerateOutlines());
    // The damaged COLR tables in the crafted font; those too big for a seed are in the regressions' replay.
    for (const colr::DamagedColr& c : colr::damagedColrCases())
        if (const ttf::ByteVector font = colr::colourFont(c.table()); font.size() <= SeedLimit)
            ok &= write(folder, "colour-" + slug(c.name) + ".ttf", font);
    // A strike of each kind and an SVG document over the crafted font's glyphs 1 and 2.
    const ttf::ByteVector png = ttf::pngOf(4, 4, ttf::deflatedZeros(20));
    const ttf::ByteVector image17 = ttf::Bytes().u16(3).u16(0).u8(4).u8(4).u8(0).u8(4).u8(4)
                                        .u32(std::uint32_t(png.size())).append(png).data;
    const ttf::ByteVector svgDocument = ttf::Bytes().text("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect id=\"glyph1\" "
                                                          "width=\"500\" height=\"500\"/></svg>").data;
    const std::vector<std::pair<std::string, std::vector<ttf::Table>>> strikeFonts{
        {"colour-sbix", {{"sbix", ttf::sbixTable(20, {{}, {0, 0, "png ", png}, ttf::sbixDupe(1)})}}},
        {"colour-cbdt", {{"CBLC", ttf::cblcTable(20, 32, 1, 1, 1, ttf::indexFormat1(1, 1, 17, 4, {0, std::uint32_t(image17.size()) - 4}))},
                         {"CBDT", image17}}},
        {"colour-svg", {{"SVG ", ttf::svgTable({{1, 2, 14, std::uint32_t(svgDocument.size())}}, svgDocument)}}}};
    for (const auto& strikeFont : strikeFonts) {
        const std::vector<ttf::Table>& extra = strikeFont.second; // clang 14 lambdas cannot capture bindings
        ok &= write(folder, strikeFont.first + ".ttf", ttf::craftedWith([&](std::vector<ttf::Table>& tables) {
                        tables.insert(tables.end(), extra.begin(), extra.end());
                    }));
    }

    const std::u32string_view subsets[] = {U"AHOadegnos", U"\u00C0\u00C5\u00C7\u00E9\u00F1\u01FA\u1EA4", U"0123456789.,;"};
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        FontState font;
        LoadFont({std::istreambuf_iterator<char>(in), {}}, font);
        if (!font.Loaded || font.Cff)
            continue; // subsets are of glyf fonts
        const std::string stem = std::filesystem::path(argv[i]).stem().string();
        for (std::size_t k = 0; k < std::size(subsets); ++k)
            ok &= write(folder, stem + "-subset" + std::to_string(k) + ".ttf", subset(font, subsets[k]));
    }
    return ok ? 0 : 1;
}
