// Charstrings are programs from unknown files: each broken limit abandons
// the glyph with code 18 and a CharString: line saying why.
#include <gtest/gtest.h>

#include "support/cff_damaged.h"
#include "report/messages.h"

namespace {

using cff::Code;
using cff::DamagedCase;

class DamagedCharString : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedCharString, AbandonsTheGlyphWithItsReason)
{
    const ttf::ByteVector table = cff::cffTable(GetParam().design);
    auto opened = ReadCff(table, false);
    ASSERT_TRUE(std::holds_alternative<CffFont>(opened)) << std::get<Failure>(opened).detail;
    const CffFont& font = std::get<CffFont>(opened);
    EXPECT_TRUE(std::holds_alternative<CffGlyph>(DecodeCharString(font, 0, {})));
    const auto decoded = DecodeCharString(font, 1, {});
    ASSERT_TRUE(std::holds_alternative<Failure>(decoded));
    const Failure& failure = std::get<Failure>(decoded);
    EXPECT_EQ(failure.code, BadCharString);
    EXPECT_EQ(failure.context.GlyphIndex, 1);
    const std::vector<std::string> boxes = MessageBoxes(failure);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Error!\r\nCode = 18\r\nNumberOffContours = 0\r\npontdb = 0\r\nb = 0\r\nCharString: "
                                 + std::string(GetParam().why));
}

INSTANTIATE_TEST_SUITE_P(Cff, DamagedCharString, testing::ValuesIn(cff::damagedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A CharStrings INDEX whose last offset runs past the table, and every
// shorter cut of a whole table, open as code 15 or not at all, never past the bytes.
TEST(DamagedCff, IndexPastTheTableAndEveryTruncation)
{
    cff::FontDesign d = cff::withGlyph(Code().ns({10, 20}).op(RMoveTo).ns({30, 40}).op(RLineTo).n(-107).op(CallSubr).bytes(),
                                  {Code().ns({5, 5}).op(RLineTo).op(Return).bytes()});
    d.charset = {34};
    ttf::ByteVector table = cff::cffTable(d);
    ASSERT_TRUE(std::holds_alternative<CffFont>(ReadCff(table, false)));
    ttf::ByteVector overrun = table;
    overrun.resize(table.size() - 8); // the Private DICT and Subrs are cut off
    const auto opened = ReadCff(overrun, false);
    ASSERT_TRUE(std::holds_alternative<Failure>(opened));
    EXPECT_EQ(std::get<Failure>(opened).code, ReadPastEnd);
    EXPECT_EQ(std::get<Failure>(opened).detail, "CFF Private DICT");
    for (std::size_t n = 0; n < table.size(); ++n) {
        const auto cut = ReadCff(std::span(table).first(n), false);
        if (const CffFont* font = std::get_if<CffFont>(&cut))
            for (int g = 0; g < 2; ++g)
                DecodeCharString(*font, g, {});
        else
            EXPECT_EQ(std::get<Failure>(cut).code, ReadPastEnd) << n;
    }
}

} // namespace
