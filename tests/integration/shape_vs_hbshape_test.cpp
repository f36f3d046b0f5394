// lumaro-inspect shape against HarfBuzz's own command-line shaper.
#include <regex>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "support/command_output.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
const std::string NotoArabic = std::string(NOTO_DIR) + "/NotoSansArabic-Regular.ttf";
const std::string NotoDevanagari = std::string(NOTO_DIR) + "/NotoSansDevanagari-Regular.ttf";

struct Glyph {
    int glyph = 0, cluster = 0, xAdvance = 0, yAdvance = 0, xOffset = 0, yOffset = 0;
    friend bool operator==(const Glyph&, const Glyph&) = default;
};

std::ostream& operator<<(std::ostream& os, const Glyph& g)
{
    return os << g.glyph << "=" << g.cluster << "@" << g.xOffset << "," << g.yOffset << "+" << g.xAdvance << ","
              << g.yAdvance;
}

// hb-shape --no-glyph-names prints [gid=cluster@x_offset,y_offset+x_advance,y_advance|...],
// leaving out the offsets when both are 0 and y_advance when it is 0.
std::vector<Glyph> hbShape(const std::string& font, const std::string& text, const std::string& options)
{
    const CommandOutput run =
        runCommand(shellQuoted(HB_SHAPE) + " --no-glyph-names " + options + " " + shellQuoted(font) + " " + shellQuoted(text));
    EXPECT_EQ(run.status, 0);
    static const std::regex item(R"((\d+)=(\d+)(?:@(-?\d+),(-?\d+))?\+(-?\d+)(?:,(-?\d+))?)");
    std::vector<Glyph> out;
    for (std::sregex_iterator m(run.out.begin(), run.out.end(), item), end; m != end; ++m) {
        const auto number = [&](int k) { return (*m)[k].matched ? std::stoi((*m)[k].str()) : 0; };
        out.push_back({number(1), number(2), number(5), number(6), number(3), number(4)});
    }
    return out;
}

std::vector<Glyph> inspectShape(const std::vector<std::string>& words)
{
    int status = -1;
    const QJsonObject doc = inspectObject(words, &status);
    EXPECT_EQ(status, 0);
    std::vector<Glyph> out;
    for (const QJsonValue& v : doc["glyphs"].toArray()) {
        const QJsonObject g = v.toObject();
        out.push_back({g["glyph"].toInt(-1), g["cluster"].toInt(-1), g["x_advance"].toInt(), g["y_advance"].toInt(),
                       g["x_offset"].toInt(), g["y_offset"].toInt()});
    }
    EXPECT_TRUE(doc["messages"].toArray().isEmpty());
    return out;
}

struct ShapeCase {
    std::string font;
    std::string text;
    std::string features; // HarfBuzz's syntax, for both
};

TEST(ShapeVsHbShape, LatinArabicAndDevanagari)
{
    const std::vector<ShapeCase> cases = {
        {DejaVuSans, "AVATAR Wave office", ""},
        {DejaVuSans, "AVATAR Wave office", "-kern,-liga"},
        {DejaVuSans, "caf\u00e9 \u0101\u0301", ""}, // a mark on a letter the font composes
        {NotoArabic, "\u0627\u0644\u0633\u0644\u0627\u0645 \u0639\u0644\u064a\u0643\u0645", ""},
        {NotoArabic, "\u0628\u0650\u0633\u0652\u0645\u0650 \u0671\u0644\u0644\u0651\u064e\u0647\u0650", ""},
        {NotoDevanagari, "\u0928\u092e\u0938\u094d\u0924\u0947 \u0926\u0941\u0928\u093f\u092f\u093e", ""},
        {NotoDevanagari, "\u0915\u094d\u0937\u093f \u0930\u094d\u0915 \u0939\u093f\u0928\u094d\u0926\u0940", ""},
    };
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.text + " " + c.features);
        std::vector<std::string> words = {"shape", c.font, c.text};
        if (!c.features.empty())
            words.insert(words.end(), {"--features", c.features});
        const std::vector<Glyph> expected = hbShape(c.font, c.text, c.features.empty() ? "" : "--features=" + shellQuoted(c.features));
        ASSERT_GE(expected.size(), 5u);
        EXPECT_EQ(inspectShape(words), expected);
    }
}

TEST(ShapeVsHbShape, FeaturesChangeTheResult)
{
    // Without kerning "AV" comes apart: the comparison above is not one of equal outputs by chance.
    EXPECT_NE(inspectShape({"shape", DejaVuSans, "AVA"}), inspectShape({"shape", DejaVuSans, "AVA", "--features", "-kern"}));
}

TEST(ShapeVsHbShape, AVariableFontAtALocation)
{
    const std::string text = "Shaping at weight";
    const std::vector<Glyph> bold = inspectShape({"shape", INTER_VARIABLE_FONT, text, "--location", "wght=700"});
    EXPECT_EQ(bold, hbShape(INTER_VARIABLE_FONT, text, "--variations=wght=700"));
    EXPECT_NE(bold, inspectShape({"shape", INTER_VARIABLE_FONT, text}));
}

TEST(ShapeVsHbShape, BadFeaturesAreUsageErrors)
{
    int status = -1;
    inspectObject({"shape", DejaVuSans, "abc", "--features", "+"}, &status);
    EXPECT_EQ(status, 2);
    inspectObject({"shape", DejaVuSans}, &status);
    EXPECT_EQ(status, 2);
}

} // namespace

// --face reaches HarfBuzz: the monospaced face of the collection shapes as
// that face, not as the first.
TEST(ShapeVsHbShape, TheFaceOfACollectionChosen)
{
    const std::string text = "Wide mill";
    const std::vector<Glyph> mono = inspectShape({"shape", WQY_MICROHEI_TTC, text, "--face", "1"});
    EXPECT_EQ(mono, hbShape(WQY_MICROHEI_TTC, text, "--face-index=1"));
    EXPECT_NE(mono, inspectShape({"shape", WQY_MICROHEI_TTC, text}));
}
