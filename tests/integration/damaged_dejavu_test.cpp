#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "support/font_loading.h"

namespace {

using ttf::ByteVector;

ByteVector dejavuSans()
{
    std::ifstream in(std::string(DEJAVU_DIR) + "/DejaVuSans.ttf", std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), {});
}

// The end of the post table: the reader reads every table up to there, and
// nothing after it.
std::size_t endOfPost(const ByteVector& font)
{
    const std::size_t entry = ttf::directoryEntryAt(font, "post");
    return ttf::getU32(font, entry + 8) + ttf::getU32(font, entry + 12);
}

TEST(DamagedDejaVu, TruncatedAtManyLengths)
{
    const ByteVector full = dejavuSans();
    ASSERT_GT(full.size(), 100000u);
    const std::size_t postEnd = endOfPost(full);
    ASSERT_LT(postEnd, full.size());

    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n < 1024; ++n) // the directory and the first tables
        lengths.push_back(n);
    for (std::size_t n = 1024; n < full.size(); n += 4093)
        lengths.push_back(n);
    for (std::size_t n = postEnd - 8; n <= postEnd + 8; ++n)
        lengths.push_back(n);

    for (std::size_t length : lengths) {
        const ByteVector cut(full.begin(), full.begin() + std::ptrdiff_t(length));
        FontState font;
        RecordingSink sink;
        const LoadResult result = loadFontBytes(font, sink, cut);
        if (length >= postEnd) {
            EXPECT_EQ(result, LoadResult::Loaded) << length;
            EXPECT_EQ(font.NumGlyphs, 6253) << length;
            continue;
        }
        ASSERT_EQ(result, LoadResult::Abandoned) << length;
        ASSERT_EQ(sink.texts.size(), 1u) << length;
        EXPECT_TRUE(sink.texts[0].starts_with("Error!\r\nCode = 15\r\n")) << length << ": " << sink.texts[0];
        EXPECT_TRUE(noFontOpen(font)) << length;
    }
}

TEST(DamagedDejaVu, CorruptedBytesNeverCrash)
{
    // Overwrite bytes of the directory and of the starts of the tables read.
    const ByteVector full = dejavuSans();
    std::vector<std::size_t> targets;
    for (std::size_t i = 0; i < 12 + 16 * std::size_t(ttf::getU16(full, 4)); ++i)
        targets.push_back(i);
    for (const char* tag : {"cmap", "head", "hhea", "hmtx", "loca", "maxp", "post", "glyf"})
        for (std::size_t i = 0; i < 64; ++i)
            targets.push_back(ttf::tableOffset(full, tag) + i);

    std::mt19937 random(20261207);
    int loaded = 0, abandoned = 0;
    for (int round = 0; round < 200; ++round) {
        ByteVector bytes = full;
        for (int k = 0; k < 4; ++k)
            bytes[targets[random() % targets.size()]] = std::uint8_t(random());
        FontState font;
        RecordingSink sink;
        const LoadResult result = loadFontBytes(font, sink, bytes);
        ASSERT_NE(result, LoadResult::Unreadable);
        if (result == LoadResult::Abandoned) {
            ++abandoned;
            EXPECT_FALSE(sink.texts.empty()) << round;
            EXPECT_TRUE(noFontOpen(font)) << round;
        } else {
            ++loaded;
            // A character map damaged into another format is said, and the load goes on.
            EXPECT_TRUE(sink.texts.empty() || sink.texts == std::vector<std::string>{"wrong cmapFormat!!"}) << round;
            EXPECT_EQ(font.GlyphBox.size(), std::size_t(font.NumGlyphs)) << round;
        }
    }
    EXPECT_GT(abandoned, 0);
    EXPECT_GT(loaded, 0);
}

} // namespace
