// Decoding simple glyphs from glyf bytes built here field by field.
#include <gtest/gtest.h>

#include "outline/glyf.h"
#include "support/glyph_font.h"
#include "support/recording_sink.h"

namespace {

// numberOfContours, a box, endPtsOfContours and instructionLength 0.
ttf::Bytes header(std::vector<std::uint16_t> endPts, std::uint16_t instructionLength = 0)
{
    ttf::Bytes b;
    b.i16(std::int16_t(endPts.size())); // numberOfContours
    b.i16(0).i16(0).i16(1000).i16(1000); // xMin yMin xMax yMax
    for (std::uint16_t e : endPts)
        b.u16(e); // endPtsOfContours
    b.u16(instructionLength);
    return b;
}

struct Decoded {
    OutlineStatus status;
    Contours outline;
    std::vector<std::string> messages;
};

// Decodes glyph 0 of a font holding just these bytes (then glyph 1, empty).
Decoded decode(const ttf::ByteVector& bytes, int glyph = 0)
{
    FontState font;
    std::vector<ttf::Glyph> glyphs(std::size_t(glyph) + 1);
    glyphs[std::size_t(glyph)] = rawGlyph(bytes);
    fillGlyphFont(font, glyphs);
    RecordingSink sink;
    WorkingValues work;
    Decoded d{OutlineStatus::Decoded, {}, {}};
    d.status = DecodeOutline(glyph, font, d.outline, work, sink);
    d.messages = sink.texts;
    return d;
}

// Five points from two repeated flags, with one-byte and two-byte deltas.
ttf::ByteVector repeatedFlagsGlyph()
{
    ttf::Bytes b = header({4});
    b.u8(ON_CURVE | X_SHORT | Y_SHORT | X_SAME_OR_POSITIVE | Y_SAME_OR_POSITIVE | REPEAT).u8(3); // points 0..3
    b.u8(ON_CURVE | REPEAT).u8(0); // point 4: a repeat count of 0 still takes its byte
    b.u8(10).u8(20).u8(30).u8(40).i16(-100); // x
    b.u8(1).u8(2).u8(3).u8(4).i16(5);        // y
    return b.data;
}

TEST(GlyphOutline, RepeatFlagsCoverCountPlusOnePoints)
{
    const Decoded d = decode(repeatedFlagsGlyph());
    ASSERT_EQ(d.status, OutlineStatus::Decoded);
    EXPECT_TRUE(d.messages.empty());
    EXPECT_EQ(d.outline.points.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(d.outline.points[i].kind, PointKind::OnCurve) << i;
    const int xs[] = {10, 30, 60, 100, 0}, ys[] = {1, 3, 6, 10, 15};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(d.outline.points[i].x, xs[i]) << i;
        EXPECT_EQ(d.outline.points[i].y, ys[i]) << i;
    }
}

TEST(GlyphOutline, DeltasOfEveryKind)
{
    struct Case {
        const char* what;
        std::uint8_t flag0, x0; // first point: one-byte x
        std::uint8_t flag1;     // second point
        std::vector<std::uint8_t> x1Bytes;
        int expectedX1;
    };
    const Case cases[] = {
        {"one byte added", X_SHORT | X_SAME_OR_POSITIVE, 100, X_SHORT | X_SAME_OR_POSITIVE, {10}, 110},
        {"one byte subtracted", X_SHORT | X_SAME_OR_POSITIVE, 100, X_SHORT, {10}, 90},
        {"unchanged, nothing read", X_SHORT | X_SAME_OR_POSITIVE, 100, X_SAME_OR_POSITIVE, {}, 100},
        {"short added", X_SHORT | X_SAME_OR_POSITIVE, 100, 0, {0xFF, 0x38}, -100}, // -200
        {"first point subtracted", X_SHORT, 100, X_SAME_OR_POSITIVE, {}, -100},
    };
    for (const Case& c : cases) {
        ttf::Bytes b = header({1});
        b.u8(std::uint8_t(c.flag0 | ON_CURVE | Y_SAME_OR_POSITIVE));
        b.u8(std::uint8_t(c.flag1 | ON_CURVE | Y_SAME_OR_POSITIVE));
        b.u8(c.x0);
        for (std::uint8_t x : c.x1Bytes)
            b.u8(x);
        const Decoded d = decode(b.data);
        ASSERT_EQ(d.status, OutlineStatus::Decoded) << c.what;
        EXPECT_EQ(d.outline.points[1].x, c.expectedX1) << c.what;
        EXPECT_EQ(d.outline.points[0].y, 0) << c.what;
        EXPECT_EQ(d.outline.points[1].y, 0) << c.what;
    }
}

TEST(GlyphOutline, ContourEndsAndPointKindsAsTheFileGives)
{
    ttf::Bytes b = header({1, 2});
    b.u8(ON_CURVE | X_SAME_OR_POSITIVE | Y_SAME_OR_POSITIVE);
    b.u8(X_SAME_OR_POSITIVE | Y_SAME_OR_POSITIVE); // off the curve
    b.u8(ON_CURVE | X_SAME_OR_POSITIVE | Y_SAME_OR_POSITIVE);
    const Decoded d = decode(b.data);
    ASSERT_EQ(d.status, OutlineStatus::Decoded);
    EXPECT_EQ(d.outline.ends, (std::vector<int>{1, 2}));
    ASSERT_EQ(d.outline.points.size(), 3u);
    EXPECT_EQ(d.outline.points[0].kind, PointKind::OnCurve);
    EXPECT_EQ(d.outline.points[1].kind, PointKind::QuadraticOff);
    EXPECT_EQ(d.outline.points[2].kind, PointKind::OnCurve);
}

TEST(GlyphOutline, FirstUnchangedPointIsAtZero)
{
    ttf::Bytes b = header({1});
    b.u8(ON_CURVE | X_SAME_OR_POSITIVE | Y_SHORT);
    b.u8(ON_CURVE | X_SHORT | X_SAME_OR_POSITIVE | Y_SAME_OR_POSITIVE);
    b.u8(50);     // x of point 1
    b.u8(7);      // y of point 0, subtracted
    const Decoded d = decode(b.data);
    ASSERT_EQ(d.status, OutlineStatus::Decoded);
    EXPECT_EQ(d.outline.points[0].x, 0);
    EXPECT_EQ(d.outline.points[0].y, -7);
    EXPECT_EQ(d.outline.points[1].x, 50);
    EXPECT_EQ(d.outline.points[1].y, -7);
}

TEST(GlyphOutline, CoordinatesWrapAsSigned16Bit)
{
    ttf::Bytes b = header({1});
    b.u8(ON_CURVE | Y_SAME_OR_POSITIVE).u8(ON_CURVE | Y_SAME_OR_POSITIVE);
    b.i16(32767).i16(1); // the second point runs past 32767
    const Decoded d = decode(b.data);
    ASSERT_EQ(d.status, OutlineStatus::Decoded);
    EXPECT_EQ(d.outline.points[0].x, 32767);
    EXPECT_EQ(d.outline.points[1].x, -32768);
}

TEST(GlyphOutline, InstructionsAreSkippedWhateverTheyHold)
{
    for (std::uint16_t length : {0, 3, 32768, 40000}) {
        ttf::Bytes b = header({0}, length);
        for (std::uint16_t i = 0; i < length; ++i)
            b.u8(ON_CURVE | REPEAT); // instruction bytes that look like flags
        b.u8(ON_CURVE).i16(-5).i16(6);
        const Decoded d = decode(b.data);
        ASSERT_EQ(d.status, OutlineStatus::Decoded) << length;
        ASSERT_EQ(d.outline.points.size(), 1u) << length;
        EXPECT_EQ(d.outline.points[0].kind, PointKind::OnCurve) << length;
        EXPECT_EQ(d.outline.points[0].x, -5) << length;
        EXPECT_EQ(d.outline.points[0].y, 6) << length;
    }
}

// n contours of one point each, or one contour ending at lastEndPt; every
// flag reads no coordinate bytes.
ttf::ByteVector manyContours(int n)
{
    std::vector<std::uint16_t> ends;
    for (int c = 0; c < n; ++c)
        ends.push_back(std::uint16_t(c));
    ttf::Bytes b = header(ends);
    for (int i = 0; i < n; ++i)
        b.u8(ON_CURVE | X_SAME_OR_POSITIVE | Y_SAME_OR_POSITIVE);
    return b.data;
}

ttf::ByteVector oneContourEndingAt(int lastEndPt)
{
    ttf::Bytes b = header({std::uint16_t(lastEndPt)});
    for (int i = 0; i <= lastEndPt; ++i)
        b.u8(ON_CURVE | X_SAME_OR_POSITIVE | Y_SAME_OR_POSITIVE);
    return b.data;
}

TEST(GlyphOutline, LimitsOfContoursAndPoints)
{
    struct Case {
        const char* what;
        ttf::ByteVector bytes;
        OutlineStatus status;
        const char* code;
    };
    const Case cases[] = {
        // The classic view's limits (codes 11 and 12) are its own: the decoder reads past them.
        {"2000 contours", manyContours(2000), OutlineStatus::Decoded, nullptr},
        {"2001 contours", manyContours(2001), OutlineStatus::Decoded, nullptr},
        {"2000 points", oneContourEndingAt(1999), OutlineStatus::Decoded, nullptr},
        {"2001 points", oneContourEndingAt(2000), OutlineStatus::Decoded, nullptr},
        {"the most points an end can give", oneContourEndingAt(32767), OutlineStatus::Decoded, nullptr},
        {"an end past them", oneContourEndingAt(32768), OutlineStatus::Abandoned, "Code = 12"},
    };
    for (const Case& c : cases) {
        const Decoded d = decode(c.bytes);
        EXPECT_EQ(d.status, c.status) << c.what;
        if (c.code) {
            ASSERT_EQ(d.messages.size(), 1u) << c.what;
            EXPECT_NE(d.messages[0].find(c.code), std::string::npos) << d.messages[0];
        } else {
            EXPECT_TRUE(d.messages.empty()) << c.what;
        }
    }
}

TEST(GlyphOutline, ContourEndsOutsideThePointsAreRefused)
{
    // Ends that go up past the glyph's last point, and a negative last end.
    for (const std::vector<std::uint16_t>& ends : {std::vector<std::uint16_t>{5, 3}, {0xFFFF}, {0xFFFB}}) {
        ttf::Bytes b = header(ends);
        for (int i = 0; i < 4; ++i)
            b.u8(ON_CURVE | X_SAME_OR_POSITIVE | Y_SAME_OR_POSITIVE);
        const Decoded d = decode(b.data);
        EXPECT_EQ(d.status, OutlineStatus::Abandoned);
        ASSERT_EQ(d.messages.size(), 1u);
        EXPECT_NE(d.messages[0].find("Code = 12"), std::string::npos);
    }
    // Ends that go back within the points draw nothing for that contour but are fine.
    ttf::Bytes b = header({3, 2, 4});
    for (int i = 0; i < 5; ++i)
        b.u8(ON_CURVE | X_SAME_OR_POSITIVE | Y_SAME_OR_POSITIVE);
    EXPECT_EQ(decode(b.data).status, OutlineStatus::Decoded);
}

TEST(GlyphOutline, DataRunningPastTheEndOfTheFileIsAbandoned)
{
    // Every truncation of two valid glyphs (a cut repeat count among them),
    // and a huge instruction length.
    std::vector<ttf::ByteVector> cuts;
    for (const ttf::ByteVector& whole : {ttf::glyphData(ttf::squareGlyph(0, 0, 10, 10)), repeatedFlagsGlyph()}) {
        for (std::size_t n = 1; n < whole.size(); ++n)
            cuts.emplace_back(whole.begin(), whole.begin() + std::ptrdiff_t(n));
        // Uncut and last in the file, it reads as it does with bytes after it.
        FontState font;
        fillGlyphFont(font, {rawGlyph(whole)}, 8);
        RecordingSink sink;
        WorkingValues work;
        Contours followed, last;
        EXPECT_EQ(DecodeOutline(0, font, followed, work, sink), OutlineStatus::Decoded);
        font.FontBytes.resize(whole.size());
        EXPECT_EQ(DecodeOutline(0, font, last, work, sink), OutlineStatus::Decoded);
        EXPECT_EQ(last.points, followed.points);
    }
    ttf::Bytes instructions = header({0}, 0xFFFF);
    instructions.u8(ON_CURVE);
    cuts.push_back(instructions.data);
    for (const ttf::ByteVector& bytes : cuts) {
        FontState font;
        fillGlyphFont(font, {ttf::squareGlyph(0, 0, 1, 1), rawGlyph(bytes)});
        // The glyph's own length is not checked: only the end of the file counts.
        font.FontBytes.resize(font.GlyphOffset[1] + bytes.size());
        RecordingSink sink;
        WorkingValues work;
        Contours outline;
        EXPECT_EQ(DecodeOutline(1, font, outline, work, sink), OutlineStatus::Abandoned) << bytes.size();
        ASSERT_EQ(sink.texts.size(), 1u);
        EXPECT_NE(sink.texts[0].find("Code = 15"), std::string::npos) << sink.texts[0];
        EXPECT_NE(sink.texts[0].find("glyph 1"), std::string::npos) << sink.texts[0];
        // Nothing of the failure stays for the next glyph.
        EXPECT_EQ(DecodeOutline(0, font, outline, work, sink), OutlineStatus::Decoded);
    }
    // A glyph offset beyond the file.
    FontState font;
    fillGlyphFont(font, {ttf::squareGlyph(0, 0, 1, 1)});
    font.Glyf.Offset = 1000;
    RecordingSink sink;
    WorkingValues work;
    Contours outline;
    EXPECT_EQ(DecodeOutline(0, font, outline, work, sink), OutlineStatus::Abandoned);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_NE(sink.texts[0].find("Code = 15"), std::string::npos);
}

} // namespace
