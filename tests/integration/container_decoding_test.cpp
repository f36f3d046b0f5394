// WOFF inflated with zlib and WOFF2 decoded by Google's decoder, collections
// included; a file whose compressed data does not add up is refused with
// its sentence.
#include <gtest/gtest.h>

#include "outline/composite.h"
#include "platform/font_container.h"
#include "report/container_text.h"
#include "support/compressors.h"
#include "support/container_builder.h"
#include "support/recording_sink.h"
#include "tables/loader.h"
#include "tables/open_font.h"

namespace {

using ttf::ByteVector;
using ttf::deflated;
using ttf::woff2Of;

// A font whose glyf table compresses well: many squares.
ByteVector squares()
{
    return ttf::buildFont(ttf::squaresFont(60));
}

std::variant<DecodedFont, Failure> decode(const ByteVector& file)
{
    return DecodeWebFont(RecogniseFile(file), {file.begin(), file.end()});
}

std::string refusal(const ByteVector& file)
{
    auto decoded = decode(file);
    const Failure* failure = std::get_if<Failure>(&decoded);
    return failure ? ContainerFailureText(*failure) : "decoded";
}

TEST(ContainerDecoding, AWoffOfCompressedTablesInflatesToTheFontItHolds)
{
    const ByteVector font = squares();
    const ByteVector file = ttf::woff(font, deflated);
    ASSERT_LT(file.size(), font.size() / 2); // its tables were compressed
    auto decoded = decode(file);
    ASSERT_TRUE(std::holds_alternative<DecodedFont>(decoded)) << refusal(file);
    const DecodedFont& d = std::get<DecodedFont>(decoded);
    EXPECT_EQ(d.kind, FileKind::TrueType);
    EXPECT_EQ(d.bytes, font); // same directory, same order, same padding
}

TEST(ContainerDecoding, AWoff2CollectionDecodesToEachOfItsFaces)
{
    const ByteVector three = ttf::buildFont(ttf::squaresFont(3)), five = squares();
    auto decoded = decode(woff2Of(ttf::collection({three, five})));
    ASSERT_TRUE(std::holds_alternative<DecodedFont>(decoded));
    DecodedFont& d = std::get<DecodedFont>(decoded);
    EXPECT_EQ(d.kind, FileKind::Collection);
    ASSERT_EQ(ChooseFace(d.kind, d.bytes, 0).faces, 2);
    for (int face = 0; face < 2; ++face) {
        FontState font, original;
        RecordingSink sink;
        ASSERT_EQ(LoadFont(d.bytes, font, sink, ChooseFace(d.kind, d.bytes, face).offset), LoadResult::Loaded);
        ASSERT_EQ(LoadFont(face == 0 ? three : five, original, sink), LoadResult::Loaded);
        ASSERT_EQ(font.NumGlyphs, original.NumGlyphs);
        for (int g = 0; g < font.NumGlyphs; ++g) {
            WorkingValues work;
            const ResolvedGlyph a = ResolveGlyph(font, g, work, sink), b = ResolveGlyph(original, g, work, sink);
            ASSERT_EQ(a.parts.size(), b.parts.size());
            for (std::size_t p = 0; p < a.parts.size(); ++p) {
                EXPECT_EQ(a.parts[p].outline.points, b.parts[p].outline.points) << face << ' ' << g;
            }
        }
        EXPECT_TRUE(sink.texts.empty());
    }
}

TEST(ContainerDecoding, CompressedDataThatDoesNotAddUpIsRefused)
{
    const ByteVector font = squares();
    const ByteVector file = ttf::woff(font, deflated);
    const std::size_t glyf = ttf::woffEntryAt(1);
    ASSERT_LT(ttf::getU32(file, glyf + 8), ttf::getU32(file, glyf + 12)); // glyf was compressed
    const ByteVector woff2 = woff2Of(font);
    const std::string woffText = "a WOFF file that could not be decoded: its table 'glyf' ",
                      woff2Text = "a WOFF2 file that could not be decoded: ";
    const auto patched = [](ByteVector bytes, auto patch) {
        patch(bytes);
        return bytes;
    };
    const struct {
        const char* name;
        ByteVector bytes;
        std::string sentence;
    } cases[] = {
        {"zlib data expanding past origLength",
         patched(file, [&](ByteVector& b) { ttf::putU32(b, glyf + 12, ttf::getU32(b, glyf + 12) - 4); }),
         woffText + "inflates past its origLength"},
        {"zlib data short of origLength",
         patched(file, [&](ByteVector& b) {
             ttf::putU32(b, glyf + 12, ttf::getU32(b, glyf + 12) + 4);
             ttf::putU32(b, 16, ttf::getU32(b, 16) + 4); // totalSfntSize
         }),
         woffText + "inflates to fewer bytes than its origLength"},
        {"damaged zlib data", patched(file, [&](ByteVector& b) { b.at(ttf::getU32(b, glyf + 4)) ^= 0xFF; }),
         woffText + "its zlib data is damaged"},
        {"WOFF2 with a totalSfntSize too small",
         patched(woff2, [](ByteVector& b) { ttf::putU32(b, 16, 200); }),
         woff2Text + "the decoder refused it (damaged data, or tables that do not add up to its header's totalSfntSize)"},
        {"WOFF2 cut short", ByteVector(woff2.begin(), woff2.begin() + std::ptrdiff_t(woff2.size() / 2)),
         woff2Text + "its header gives a length past the end of the file"},
        {"WOFF2 with damaged data", patched(woff2, [](ByteVector& b) { std::fill(b.end() - 40, b.end(), 0xA5); }),
         woff2Text + "the decoder refused it (damaged data, or tables that do not add up to its header's totalSfntSize)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(refusal(c.bytes), c.sentence) << c.name;
}

} // namespace
