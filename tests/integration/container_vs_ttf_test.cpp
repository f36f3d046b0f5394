// The WOFF and WOFF2 files of DejaVu and Fira Code decode to their .ttf
// counterparts: the same tables byte for byte (WOFF2's rebuilt glyf, loca and
// head aside, and the signature it drops), the same outline, box and metrics
// for every glyph, the same pick lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <map>

#include "outline/composite.h"
#include "sfnt/table_directory.h"
#include "support/font_file_loading.h"
#include "support/recording_sink.h"

namespace {

namespace fs = std::filesystem;

struct WebFont {
    std::string web, ttf;
};

// Each web font of `webDir` with its .ttf of the same name in `ttfDir`.
std::vector<WebFont> webFonts(const fs::path& webDir, const fs::path& ttfDir)
{
    std::vector<WebFont> fonts;
    for (const auto& entry : fs::directory_iterator(webDir))
        fonts.push_back({entry.path().string(), (ttfDir / entry.path().stem()).string() + ".ttf"});
    std::sort(fonts.begin(), fonts.end(), [](const WebFont& a, const WebFont& b) { return a.web < b.web; });
    return fonts;
}

std::map<std::string, std::vector<std::uint8_t>> tablesOf(const FontState& font)
{
    std::map<std::string, std::vector<std::uint8_t>> tables;
    for (const TableEntry& e : font.TableDir) {
        const std::string tag(e.Tag.data(), e.Tag.size());
        const auto bytes = TableBytes(font, tag);
        tables[tag].assign(bytes.begin(), bytes.end());
    }
    return tables;
}

struct Points {
    std::vector<long> xy;
    std::vector<int> ends;
    bool operator==(const Points&) const = default;
};

Points pointsOf(const FontState& font, int g)
{
    WorkingValues work;
    RecordingSink sink;
    const ResolvedGlyph glyph = ResolveGlyph(font, g, work, sink);
    Points p;
    for (const PlacedOutline& part : glyph.parts) {
        for (const int end : part.outline.ends)
            p.ends.push_back(int(p.xy.size() / 3) + end);
        for (const OutlinePoint& q : part.outline.points)
            p.xy.insert(p.xy.end(), {long(q.x), long(q.y), long(q.kind)});
    }
    return p;
}

void expectSameLists(const PickLists& a, const PickLists& b)
{
    EXPECT_EQ(a.GlyphList, b.GlyphList);
    EXPECT_EQ(a.CharList, b.CharList);
    EXPECT_EQ(a.AsciiList, b.AsciiList);
}

// Returns how many tables were compared byte for byte.
int compareWithTtf(const WebFont& pair, bool transformed)
{
    SCOPED_TRACE(pair.web);
    FontState web, ttf;
    RecordingSink sink;
    EXPECT_EQ(loadFontFace(web, sink, pair.web, 0), LoadResult::Loaded);
    EXPECT_EQ(loadFontFace(ttf, sink, pair.ttf, 0), LoadResult::Loaded);
    EXPECT_TRUE(sink.texts.empty());
    auto webTables = tablesOf(web), ttfTables = tablesOf(ttf);
    if (transformed)
        ttfTables.erase("DSIG"); // a signature the new bytes would not match: WOFF2 encoders drop it
    EXPECT_EQ(webTables.size(), ttfTables.size());
    int same = 0;
    for (const auto& [tag, bytes] : ttfTables) {
        if (transformed && (tag == "glyf" || tag == "loca" || tag == "head"))
            continue; // rebuilt by the decoder; their contents are compared below
        const auto found = webTables.find(tag);
        EXPECT_TRUE(found != webTables.end() && found->second == bytes) << tag;
        ++same;
    }
    EXPECT_EQ(web.NumGlyphs, ttf.NumGlyphs);
    EXPECT_EQ(web.HeadTable.UnitsPerEm, ttf.HeadTable.UnitsPerEm);
    EXPECT_EQ(web.CmapData, ttf.CmapData);
    EXPECT_EQ(web.GlyphNameIndex, ttf.GlyphNameIndex);
    EXPECT_EQ(web.GlyphNames, ttf.GlyphNames);
    expectSameLists(MakePickLists(web, false), MakePickLists(ttf, false));
    expectSameLists(MakePickLists(web, true), MakePickLists(ttf, true));
    int differing = 0;
    for (int g = 0; g < ttf.NumGlyphs && g < web.NumGlyphs && differing < 5; ++g) {
        const bool sameHeader = web.GlyphKinds[std::size_t(g)] == ttf.GlyphKinds[std::size_t(g)]
                             && std::memcmp(&web.GlyphBox[std::size_t(g)], &ttf.GlyphBox[std::size_t(g)], sizeof(BBox)) == 0
                             && web.HMetrics[std::size_t(g)].AdvanceWidth == ttf.HMetrics[std::size_t(g)].AdvanceWidth
                             && web.HMetrics[std::size_t(g)].Lsb == ttf.HMetrics[std::size_t(g)].Lsb;
        if (!sameHeader || pointsOf(web, g) != pointsOf(ttf, g)) {
            ADD_FAILURE() << "glyph " << g << " differs";
            ++differing;
        }
    }
    return same;
}

TEST(ContainerVsTtf, DejaVuWoffFilesHoldTheirTtfsTables)
{
    const auto fonts = webFonts(DEJAVU_WOFF_DIR, DEJAVU_DIR);
    ASSERT_GE(fonts.size(), 20u);
    int tables = 0;
    for (const WebFont& pair : fonts)
        tables += compareWithTtf(pair, false);
    EXPECT_GT(tables, 20 * 15);
}

TEST(ContainerVsTtf, FiraCodeWoffAndWoff2FilesDecodeToTheirTtfs)
{
    const auto woffs = webFonts(fs::path(FIRACODE_WEB_DIR) / "woff", FIRACODE_DIR);
    const auto woff2s = webFonts(fs::path(FIRACODE_WEB_DIR) / "woff2", FIRACODE_DIR);
    ASSERT_EQ(woffs.size(), 5u);
    ASSERT_EQ(woff2s.size(), 5u);
    for (const WebFont& pair : woffs)
        compareWithTtf(pair, false);
    for (const WebFont& pair : woff2s)
        EXPECT_GT(compareWithTtf(pair, true), 10);
}

} // namespace
