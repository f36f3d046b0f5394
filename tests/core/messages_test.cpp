#include <gtest/gtest.h>

#include "report/messages.h"

namespace {

const std::string NoValues = "\r\nNumberOffContours = 0\r\npontdb = 0\r\nb = 0";

TEST(MessageBoxes, OneFailureMayShowTwoBoxesOrAnUnnumberedOne)
{
    EXPECT_EQ(MessageBoxes(Failure{TableMissing, {}, "loca"}),
              (std::vector<std::string>{"Not found: loca", "Error!\r\nCode = 14" + NoValues}));
    EXPECT_EQ(MessageBoxes(Failure{CmapFormatUnknown, {}, {}}), std::vector<std::string>{"wrong cmapFormat!!"});
    const ErrorContext context{7, -1, 3, 2.5f};
    EXPECT_EQ(MessageBoxes(Failure{BadComposite, context, "glyph 7 refers back to glyph 7"}),
              std::vector<std::string>{"Error!\r\nCode = 17\r\nNumberOffContours =-1\r\npontdb = 3\r\nb = 2.5"
                                       "\r\nComposite: glyph 7 refers back to glyph 7"});
    // Only codes 15 and 17 print their detail.
    EXPECT_EQ(MessageBoxes(Failure{RunTooLong, {}, "ignored"}),
              std::vector<std::string>{"Error!\r\nCode = 13" + NoValues});
}

TEST(MessageBoxes, ReportsKeepTheirOrder)
{
    const Reports reports{{TableMissing, {}, "name"}, {ReadPastEnd, {}, "hmtx"}};
    EXPECT_EQ(MessageBoxes(reports), (std::vector<std::string>{"Not found: name", "Error!\r\nCode = 14" + NoValues,
                                                                "Error!\r\nCode = 15" + NoValues + "\r\nReading: hmtx"}));
    EXPECT_TRUE(MessageBoxes(Reports{}).empty());
}

TEST(WhyNotOpened, EachFailureOfALoadHasItsSentence)
{
    const struct {
        Failure failure;
        const char* sentence;
    } cases[] = {
        {{TableMissing, {}, "glyf"}, "it has no glyf table"},
        {{ReadPastEnd, {}, "post glyph names"}, "the file ends inside its post glyph names"},
        {{TooManyTables, {}, {}}, "it lists more than 32 tables"},
        {{BadLocaFormat, {}, {}}, "its glyph locations are in an unknown format"},
        {{TooManyPoints, {}, {}}, "the file cannot be read"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WhyNotOpened({c.failure}), c.sentence) << c.failure.code;
    EXPECT_EQ(WhyNotOpened({}), "the file cannot be read");
    // The first failure that says something decides.
    EXPECT_EQ(WhyNotOpened({{TooManyPoints, {}, {}}, {TooManyTables, {}, {}}}), "it lists more than 32 tables");
}

} // namespace
