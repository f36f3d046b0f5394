// Damaged glyph data: whatever the bytes hold, drawing ends with a picture
// or with one of the drawing's own messages, and never reads outside the file.
#include <random>

#include <gtest/gtest.h>

#include "draw/view.h"
#include "support/glyph_font.h"
#include "support/recording_sink.h"
#include "support/recording_surface.h"

namespace {

std::vector<ttf::Glyph> sampleGlyphs()
{
    return {ttf::squareGlyph(0, 0, 500, 700),
            ttf::simpleGlyph({{{0, 0}, {50, 300, false}, {100, 600, false}, {400, 700}, {500, 0, false}},
                              {{100, 100}, {200, 100}, {150, 200, false}}}),
            ttf::Glyph{},
            ttf::squareGlyph(-20, -20, 20, 20),
            ttf::compositeGlyph({{0, 10, 10}, {1, 20, 20}}, {0, 0, 520, 720}),
            ttf::simpleGlyph({{{-32768, 32767, false}, {32767, -32768, false}, {0, 0, false}}})};
}

// Each message is one of the drawing's codes, and an abandoned drawing leaves nothing.
void expectSoundEnd(const GlyphReadout& r, const RecordingSink& sink, const RecordingSurface& surface)
{
    for (const std::string& text : sink.texts) {
        const bool known = text.find("Code = 11") != std::string::npos || text.find("Code = 12") != std::string::npos
                        || text.find("Code = 13") != std::string::npos || text.find("Code = 15") != std::string::npos
                        || text.find("Code = 17") != std::string::npos;
        EXPECT_TRUE(known) << text;
    }
    EXPECT_EQ(r.abandoned, !sink.texts.empty());
    if (r.abandoned) {
        EXPECT_EQ(r.listing, "");
        for (const auto& c : surface.sinceLastCls())
            EXPECT_NE(c.kind, RecordingSurface::LineCall);
    }
}

TEST(GlyphDamaged, EveryTruncationOfTheFile)
{
    FontState whole;
    fillGlyphFont(whole, sampleGlyphs());
    const std::vector<std::uint8_t> bytes = whole.FontBytes;
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        FontState font;
        fillGlyphFont(font, sampleGlyphs());
        font.FontBytes.assign(bytes.begin(), bytes.begin() + std::ptrdiff_t(length));
        for (int g = 0; g < font.NumGlyphs; ++g) {
            RecordingSurface surface;
            RecordingSink sink;
            const GlyphReadout r = ShowGlyph(g, font, ViewState{}, surface, sink);
            expectSoundEnd(r, sink, surface);
        }
    }
}

TEST(GlyphDamaged, RandomlyChangedBytes)
{
    std::mt19937 random(20261207);
    FontState whole;
    fillGlyphFont(whole, sampleGlyphs());
    const std::vector<std::uint8_t> bytes = whole.FontBytes;
    int abandoned = 0;
    for (int round = 0; round < 3000; ++round) {
        FontState font;
        fillGlyphFont(font, sampleGlyphs());
        const int changes = 1 + int(random() % 4);
        for (int k = 0; k < changes; ++k)
            font.FontBytes[random() % font.FontBytes.size()] = std::uint8_t(random());
        for (int g = 0; g < font.NumGlyphs; ++g) {
            RecordingSurface surface;
            RecordingSink sink;
            const ViewState view{1 + int(random() % 10), 900, 1, round % 2 == 1};
            const GlyphReadout r = ShowGlyph(g, font, view, surface, sink);
            expectSoundEnd(r, sink, surface);
            abandoned += r.abandoned;
        }
    }
    EXPECT_GT(abandoned, 0); // the damage did reach the checks
}

} // namespace
