// Every malformed case of the crafted fonts through loading, the lists and
// drawing: each ends in a font or in a message, never in a crash or a hang,
// and a few answers that matter are pinned down.
#include <algorithm>
#include <chrono>

#include <gtest/gtest.h>

#include "tables/cmap.h"
#include "tables/names.h"
#include "outline/composite.h"
#include "draw/view.h"
#include "support/crafted_fonts.h"
#include "support/font_loading.h"

namespace {

struct Outcome {
    LoadResult result = LoadResult::Unreadable;
    std::vector<std::string> loadMessages;
    std::vector<int> abandonedGlyphs; // drawn with composites, classic view
    std::vector<std::string> glyphMessages;
};

Outcome runThrough(const ttf::ByteVector& bytes)
{
    Outcome out;
    FontState font;
    RecordingSink load;
    out.result = loadFontBytes(font, load, bytes);
    out.loadMessages = load.texts;
    if (out.result != LoadResult::Loaded)
        return out;
    MakePickLists(font, true);
    RecordingSink sink;
    NullSurface surface;
    ViewState view;
    view.Composites = true;
    for (int g = 0; g < font.NumGlyphs; ++g) {
        const std::size_t before = sink.texts.size();
        if (ShowGlyph(g, font, view, surface, sink).abandoned) {
            out.abandonedGlyphs.push_back(g);
            EXPECT_GT(sink.texts.size(), before) << "glyph " << g << " abandoned without a word";
        }
    }
    out.glyphMessages = sink.texts;
    NameTable names;
    RecordingSink info;
    ReadNameTable(font, info, names);
    for (std::size_t k = 0; k < names.Records.size(); ++k)
        NameText(font, names, k);
    return out;
}

bool hasCode(const std::vector<std::string>& texts, int code)
{
    const std::string wanted = "Code = " + std::to_string(code) + "\r\n";
    for (const std::string& t : texts)
        if (t.find(wanted) != std::string::npos)
            return true;
    return false;
}

TEST(CraftedFonts, EveryMalformedCaseEndsInAFontOrAMessage)
{
    const auto fonts = ttf::malformedFonts();
    EXPECT_GE(fonts.size(), 40u);
    for (const ttf::CraftedFont& f : fonts) {
        const Outcome o = runThrough(f.bytes);
        if (o.result == LoadResult::Abandoned)
            EXPECT_FALSE(o.loadMessages.empty()) << f.name;
        else
            EXPECT_EQ(o.result, LoadResult::Loaded) << f.name;
    }
}

TEST(CraftedFonts, BadCompositesAreCode17)
{
    for (const char* name : {"composite-self", "composite-mutual", "composite-17-deep"}) {
        for (const ttf::CraftedFont& f : ttf::malformedFonts()) {
            if (f.name != name)
                continue;
            const Outcome o = runThrough(f.bytes);
            ASSERT_EQ(o.result, LoadResult::Loaded) << name;
            ASSERT_FALSE(o.abandonedGlyphs.empty()) << name;
            EXPECT_EQ(o.abandonedGlyphs.front(), 1) << name;
            EXPECT_TRUE(hasCode(o.glyphMessages, 17)) << name;
        }
    }
    // 16 deep is still drawn.
    const Outcome sixteen = runThrough(ttf::compositeChain(16));
    EXPECT_TRUE(sixteen.abandonedGlyphs.empty());
}

TEST(CraftedFonts, UnsortedFormat4KeepsTheWalksAnswer)
{
    // Segments 0x61..0x62 (delta 0) before 0x41..0x45: the walk stops at the
    // first for 'A' and finds it starts too late.
    const auto fonts = ttf::cmapCases();
    const auto it = std::find_if(fonts.begin(), fonts.end(), [](const auto& f) { return f.name == "cmap4-unsorted"; });
    ASSERT_NE(it, fonts.end());
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, it->bytes), LoadResult::Loaded);
    EXPECT_EQ(CharToGlyph(font, 'a'), 'a');
    EXPECT_EQ(CharToGlyph(font, 'A'), 0);
}

TEST(CraftedFonts, CompositeResolutionStopsEarlyOnAWideDeepTree)
{
    // 64 components a level, 16 levels, 2000 points at the bottom.
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, ttf::compositeFanFont()), LoadResult::Loaded);
    const auto start = std::chrono::steady_clock::now();
    WorkingValues work;
    const ResolvedGlyph g = ResolveGlyph(font, 1, work, sink);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(g.status, OutlineStatus::Abandoned);
    EXPECT_TRUE(hasCode(sink.texts, 17));
    EXPECT_LT(seconds, 2.0);
}

TEST(CraftedFonts, LongCurveRunsDrawInBoundedTime)
{
    // 64 000 points in runs of 198 off-curve points: each curve point used to
    // weigh every point of its run.
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, ttf::longCurveRunsFont()), LoadResult::Loaded);
    NullSurface surface;
    ViewState view;
    view.Composites = true;
    const auto start = std::chrono::steady_clock::now();
    const GlyphReadout r = ShowGlyph(1, font, view, surface, sink);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(r.abandoned);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_LT(seconds, 4.0);
}

} // namespace
