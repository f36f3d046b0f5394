// lumaro-inspect shape against HarfBuzz's own command-line shaper.
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <gtest/gtest.h>

#include "platform/font_file.h"
#include "platform/shaping.h"
#include "support/command_output.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
const std::string NotoArabic = std::string(NOTO_DIR) + "/NotoSansArabic-Regular.ttf";
const std::string NotoNaskh = std::string(NOTO_DIR) + "/NotoNaskhArabic-Regular.ttf";
const std::string NotoDevanagari = std::string(NOTO_DIR) + "/NotoSansDevanagari-Regular.ttf";
const std::string NotoThai = std::string(NOTO_DIR) + "/NotoSansThai-Regular.ttf";
const std::string NotoSans = std::string(NOTO_DIR) + "/NotoSans-Regular.ttf";

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

// A buffer as hb-shape --no-glyph-names prints it: characters as <U+0915=0|...>,
// glyphs as [gid=cluster@x_offset,y_offset+x_advance,y_advance|...] with what is 0 left out.
std::string bufferText(const QJsonArray& entries)
{
    const bool characters = !entries.isEmpty() && entries[0].toObject().contains("unicode");
    std::ostringstream out;
    out << (characters ? "<" : "[");
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QJsonObject g = entries[i].toObject();
        out << (i ? "|" : "");
        if (characters) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", g["unicode"].toInt());
            out << code << "=" << g["cluster"].toInt();
            continue;
        }
        out << g["glyph"].toInt() << "=" << g["cluster"].toInt();
        if (!g.contains("x_advance"))
            continue;
        if (g["x_offset"].toInt() || g["y_offset"].toInt())
            out << "@" << g["x_offset"].toInt() << "," << g["y_offset"].toInt();
        out << "+" << g["x_advance"].toInt();
        if (g["y_advance"].toInt())
            out << "," << g["y_advance"].toInt();
    }
    out << (characters ? ">" : "]");
    return out.str();
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// lumaro-inspect shape --trace written out as hb-shape -V writes its trace and result.
std::vector<std::string> inspectTrace(std::vector<std::string> words)
{
    words.push_back("--trace");
    int status = -1;
    const QJsonObject doc = inspectObject(words, &status);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(doc.contains("trace_cut"));
    std::vector<std::string> out;
    for (const QJsonValue& step : doc["trace"].toArray())
        out.push_back("trace: " + step["message"].toString().toStdString() + "\tbuffer: "
                      + bufferText(step["glyphs"].toArray()));
    out.push_back(bufferText(doc["glyphs"].toArray()));
    return out;
}

struct TraceCase {
    std::string font, text;
    std::vector<std::string> options; // lumaro-inspect's
    std::string hbOptions;            // the same for hb-shape
};

TEST(ShapeVsHbShape, TraceLineForLine)
{
    const std::string bismillah = "\u0628\u0650\u0633\u0652\u0645\u0650 \u0671\u0644\u0644\u0651\u064e\u0647\u0650";
    const std::string hindi = "\u0915\u094d\u0937\u093f \u0930\u094d\u0915 \u0939\u093f\u0928\u094d\u0926\u0940";
    const std::string thai = "\u0e20\u0e32\u0e29\u0e32\u0e44\u0e17\u0e22 \u0e19\u0e49\u0e33";
    const std::vector<TraceCase> cases = {
        {DejaVuSans, "AVATAR office", {}, ""},
        {NotoSans, "Office Hours 1/2", {"--features", "+smcp,-liga,frac"}, "--features=+smcp,-liga,frac"},
        {NotoNaskh, bismillah + " 123", {}, ""},
        {NotoNaskh, bismillah, {"--features", "-mark,-mkmk"}, "--features=-mark,-mkmk"},
        {NotoDevanagari, hindi, {}, ""},
        {NotoDevanagari, hindi, {"--features", "-akhn,-rphf"}, "--features=-akhn,-rphf"},
        {NotoThai, thai, {}, ""},
        {INTER_VARIABLE_FONT, "Shaping 1/2 at weight", {"--location", "wght=700", "--features", "+ss01,+frac"},
         "--variations=wght=700 --features=+ss01,+frac"},
        {NotoDevanagari, "ab \u0915\u093f", {"--script", "Deva", "--language", "hi", "--direction", "rtl"},
         "--script=Deva --language=hi --direction=rtl"},
        {DejaVuSans, "AVA", {"--direction", "ttb"}, "--direction=ttb"},
    };
    for (const TraceCase& c : cases) {
        SCOPED_TRACE(c.text + " " + c.hbOptions);
        std::vector<std::string> words = {"shape", c.font, c.text};
        words.insert(words.end(), c.options.begin(), c.options.end());
        const CommandOutput hb = runCommand(shellQuoted(HB_SHAPE) + " -V --no-glyph-names " + c.hbOptions + " "
                                            + shellQuoted(c.font) + " " + shellQuoted(c.text));
        const std::vector<std::string> expected = lines(hb.out);
        ASSERT_GE(expected.size(), 10u);
        const std::vector<std::string> got = inspectTrace(words);
        EXPECT_EQ(got.size(), expected.size());
        for (std::size_t i = 0; i < std::min(got.size(), expected.size()); ++i)
            ASSERT_EQ(got[i], expected[i]) << "line " << i + 1;
    }
}

std::string characterRange(const std::string& text, int start, int length)
{
    const QList<uint> characters = QString::fromStdString(text).toUcs4().mid(start, length);
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.data()), characters.size()).toStdString();
}

struct BidiCase {
    std::string text;
    TextDirection direction;
    std::vector<std::tuple<int, int, bool>> runs; // start, length, right to left: in visual order, by the bidi algorithm
};

TEST(ShapeVsHbShape, BidiRunsEachShapedWithItsOwnDirection)
{
    const std::vector<BidiCase> cases = {
        {"AV \u0633\u0644\u0627\u0645", TextDirection::Auto, {{0, 3, false}, {3, 4, true}}},
        // Digits after Arabic letters are Arabic numbers, an embedded left-to-right run;
        // the spaces between the numbers and letters take the letters' direction.
        {"\u0633\u0644\u0627\u0645 123 \u0639\u0644\u064a\u0643\u0645", TextDirection::Auto,
         {{8, 6, true}, {5, 3, false}, {0, 5, true}}},
        // Brackets take the paragraph's direction; digits after Latin are Latin.
        {"\u0633\u0644\u0627\u0645 (AV) 12", TextDirection::Auto, {{10, 2, false}, {8, 2, true}, {6, 2, false}, {0, 6, true}}},
        {"\u05e9\u05dc\u05d5\u05dd world", TextDirection::LeftToRight, {{0, 4, true}, {4, 6, false}}},
        {"\u05e9\u05dc\u05d5\u05dd world", TextDirection::RightToLeft, {{5, 5, false}, {0, 5, true}}},
        {"AV \u0633\u0644\u0627\u0645", TextDirection::TopToBottom, {{0, 7, false}}},
    };
    const std::vector<std::uint8_t> font = ReadFontFile(DejaVuSans).value();
    for (const BidiCase& c : cases) {
        SCOPED_TRACE(c.text);
        ShapeOptions options;
        options.direction = c.direction;
        const std::optional<std::vector<ShapedRun>> runs = ShapeRuns(font, 0, {}, c.text, options);
        ASSERT_TRUE(runs);
        ASSERT_EQ(runs->size(), c.runs.size());
        for (std::size_t k = 0; k < runs->size(); ++k) {
            const ShapedRun& run = (*runs)[k];
            EXPECT_EQ(std::make_tuple(run.start, run.length, run.rightToLeft), c.runs[k]);
            const std::string direction = c.direction == TextDirection::TopToBottom ? "ttb" : run.rightToLeft ? "rtl" : "ltr";
            std::vector<Glyph> expected = hbShape(DejaVuSans, characterRange(c.text, run.start, run.length), "--direction=" + direction);
            for (Glyph& g : expected)
                g.cluster += run.start;
            std::vector<Glyph> got;
            for (const ShapedGlyph& g : run.glyphs)
                got.push_back({g.glyph, g.cluster, g.xAdvance, g.yAdvance, g.xOffset, g.yOffset});
            EXPECT_EQ(got, expected);
        }
    }
}

TEST(ShapeVsHbShape, BadOptionsAreUsageErrors)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--features", "+"},       {"--features", "liga,,kern"}, {"--direction", "sideways"}, {"--direction"},
        {"--script", "Dev"},       {"--script", "De1a"},         {"--language", "en_US"},     {"--language", "en--x"},
        {"--script"},              {},
    };
    for (const std::vector<std::string>& options : cases) {
        std::vector<std::string> words = {"shape", DejaVuSans};
        if (!options.empty())
            words.push_back("abc");
        words.insert(words.end(), options.begin(), options.end());
        SCOPED_TRACE(words.back());
        const CommandOutput run = runCommand(shellQuoted(LUMARO_INSPECT) + " " + [&] {
            std::string line;
            for (const std::string& w : words)
                line += " " + shellQuoted(w);
            return line;
        }());
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(ShapeVsHbShape, NothingToShapeOrNothingToShapeWith)
{
    int status = -1;
    const QJsonObject empty = inspectObject({"shape", DejaVuSans, "", "--trace"}, &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(empty["glyphs"].toArray().isEmpty());
    EXPECT_TRUE(empty["trace"].isArray());

    // Bytes HarfBuzz reads no face from, and a face number past the file's.
    const std::vector<std::uint8_t> dejavu = ReadFontFile(DejaVuSans).value();
    const std::vector<std::uint8_t> garbage(400, 0x5a);
    const std::vector<std::pair<std::span<const std::uint8_t>, int>> unreadable = {{garbage, 0}, {{}, 0}, {dejavu, 3}};
    for (const auto& [bytes, face] : unreadable) {
        EXPECT_FALSE(Shape(bytes, face, {}, "abc", {}));
        EXPECT_FALSE(ShapeRuns(bytes, face, {}, "abc", {}));
        EXPECT_TRUE(ReadFontLayout(bytes, face).features.empty());
    }
    ShapeOptions badScript;
    badScript.script = "Latin";
    EXPECT_FALSE(Shape(dejavu, 0, {}, "abc", badScript));
    EXPECT_FALSE(ShapeRuns(dejavu, 0, {}, "abc", badScript));
}

// Kerning's messages grow with the text and each holds the whole buffer: a
// few thousand letters reach the cap, which ends the trace but not the shaping.
TEST(ShapeVsHbShape, ALongTraceIsCutAndTheShapingGoesOn)
{
    const std::vector<std::uint8_t> font = ReadFontFile(DejaVuSans).value();
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "AVATAR ";
    long messages = 0, entries = 0;
    const std::optional<ShapeResult> traced = Shape(font, 0, {}, text, {}, [&](const TraceStep& step) {
        ++messages;
        entries += long(step.glyphs.size());
    });
    ASSERT_TRUE(traced);
    EXPECT_TRUE(traced->traceCut);
    EXPECT_LE(messages, MaxTraceMessages);
    EXPECT_LE(entries, MaxTraceEntries);
    EXPECT_GT(entries, MaxTraceEntries - 3000);
    EXPECT_EQ(traced->glyphs.size(), ShapeText(font, 0, {}, text)->size());
    std::vector<Glyph> got;
    for (const ShapedGlyph& g : traced->glyphs)
        got.push_back({g.glyph, g.cluster, g.xAdvance, g.yAdvance, g.xOffset, g.yOffset});
    EXPECT_EQ(got, hbShape(DejaVuSans, text, ""));
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
