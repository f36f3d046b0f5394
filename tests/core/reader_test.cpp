#include <gtest/gtest.h>

#include <vector>

#include "sfnt/errors.h"
#include "tables/font_state.h"
#include "sfnt/reader.h"
#include "support/recording_sink.h"

namespace {

struct PairCase {
    std::uint8_t b1, b2;
    int signedValue, unsignedValue;
};

TEST(ValueRoutines, ByteOrderAndSign)
{
    const PairCase cases[] = {
        {0x00, 0x05, 5, 5},
        {0x7F, 0xFF, 32767, 32767},
        {0xFF, 0xFE, -2, 65534},
        {0xFF, 0x9C, -100, 65436},
        {0x80, 0x00, -32768, 32768},
    };
    for (const PairCase& c : cases) {
        const std::vector<std::uint8_t> bytes = {c.b1, c.b2};
        ByteReader a(bytes), b(bytes);
        EXPECT_EQ(ReadShort(a), c.signedValue) << int(c.b1) << ' ' << int(c.b2);
        EXPECT_EQ(ReadUShort(b), c.unsignedValue) << int(c.b1) << ' ' << int(c.b2);
    }
}

TEST(ValueRoutines, SwapLongTakesFileOrder)
{
    // The four file bytes 00 00 01 0C held first-byte-least-significant.
    EXPECT_EQ(SwapLong(0x0C010000u), 268);
    EXPECT_EQ(SwapLong(0xFFFFFFFFu), -1);
    EXPECT_EQ(SwapLong(0x78563412u), 0x12345678);
}

TEST(ByteReader, ReadsBigEndian)
{
    const std::vector<std::uint8_t> bytes = {0x12, 0x34, 0x56, 0x78, 0x9A};
    ByteReader r(bytes);
    EXPECT_EQ(r.u32(), 0x12345678u);
    EXPECT_EQ(r.u8(), 0x9A);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.pos(), 5u);
}

TEST(ByteReader, ReadPastEndFailsAndReadsNothing)
{
    const std::vector<std::uint8_t> bytes = {1, 2, 3};
    ByteReader r(bytes);
    r.u16();
    EXPECT_EQ(r.u16(), 0);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.pos(), 2u);
    EXPECT_FALSE(r.canRead(0));
    r.clearFailure();
    EXPECT_EQ(r.u8(), 3);
    EXPECT_TRUE(r.ok());
}

TEST(ByteReader, HugeCountsDoNotWrapAround)
{
    const std::vector<std::uint8_t> bytes(16, 0);
    ByteReader r(bytes);
    r.seek(8);
    EXPECT_FALSE(r.canRead(SIZE_MAX));
    EXPECT_TRUE(r.bytes(SIZE_MAX - 4).empty());
    EXPECT_FALSE(r.ok());
}

TEST(ByteReader, SeekToTheEndIsAllowedButNotBeyond)
{
    const std::vector<std::uint8_t> bytes(4, 0);
    ByteReader r(bytes);
    r.seek(4);
    EXPECT_TRUE(r.ok());
    EXPECT_FALSE(r.canRead(1));
    r.seek(5);
    EXPECT_FALSE(r.ok());
}

TEST(ShowError, WritesTheCodeAndTheWorkingValues)
{
    WorkingValues work;
    RecordingSink sink;
    sink.take(Reports{{TooManyTables, work, {}}});
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], "Error!\r\nCode = 10\r\nNumberOffContours = 0\r\npontdb = 0\r\nb = 0");

    work.NumberOfContours = -1;
    work.PointCount = 2001;
    work.CurvePoint = 199;
    sink.take(Reports{{TooManyPoints, work, {}}});
    EXPECT_EQ(sink.texts[1], "Error!\r\nCode = 12\r\nNumberOffContours =-1\r\npontdb = 2001\r\nb = 199");
}

TEST(ShowError, ReadPastEndNamesWhatWasRead)
{
    RecordingSink sink;
    sink.take(Reports{{ReadPastEnd, {}, "loca"}});
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], "Error!\r\nCode = 15\r\nNumberOffContours = 0\r\npontdb = 0\r\nb = 0\r\nReading: loca");
}

TEST(BlankSigned, BlankOrMinusInFront)
{
    EXPECT_EQ(BlankSigned(258), " 258");
    EXPECT_EQ(BlankSigned(0), " 0");
    EXPECT_EQ(BlankSigned(-7), "-7");
}

} // namespace
