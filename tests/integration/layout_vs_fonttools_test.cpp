// Lumaro's reading of GSUB and GPOS against fontTools', over whole fonts:
// every script and language, feature and lookup, the mappings of GSUB types
// 1 to 4 and the pairs of GPOS type 2 (the kerning), as lines of text in the
// words tests/support/layout_fonttools.py prints.
#include <algorithm>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "layout/lookup_content.h"
#include "sfnt/table_directory.h"
#include "support/command_output.h"
#include "support/font_file_loading.h"

namespace {

std::string joined(const std::vector<int>& v, const char* separator)
{
    std::string out;
    for (std::size_t k = 0; k < v.size(); ++k)
        out += (k ? separator : "") + std::to_string(v[k]);
    return out;
}

std::string value(const PairValue& v)
{
    return std::to_string(v.format) + ":" + joined({v.values.begin(), v.values.end()}, ",") + ":"
         + std::to_string(v.devices);
}

void langLine(std::vector<std::string>& out, const std::string& table, const std::string& script, const LangSys& l)
{
    out.push_back(table + " script " + script + " " + l.tag + " req=" + std::to_string(l.requiredFeature)
                  + " features=" + joined(l.features, ","));
}

void tableLines(std::vector<std::string>& out, const GsubGposTable& t)
{
    const std::string table = t.gpos ? "GPOS" : "GSUB";
    for (const ScriptRecord& s : t.scripts) {
        if (s.defaultLangSys)
            langLine(out, table, s.tag, *s.defaultLangSys);
        for (const LangSys& l : s.languages)
            langLine(out, table, s.tag, l);
    }
    for (std::size_t n = 0; n < t.features.size(); ++n)
        out.push_back(table + " feature " + std::to_string(n) + " " + t.features[n].tag + " ui="
                      + std::to_string(t.features[n].uiNameID) + " lookups=" + joined(t.features[n].lookups, ","));
    for (std::size_t i = 0; i < t.lookups.size(); ++i) {
        const LayoutLookup& l = t.lookups[i];
        const std::string at = " " + std::to_string(i) + " ";
        out.push_back(table + " lookup" + at + "type=" + std::to_string(l.type) + " flags=" + std::to_string(l.flags)
                      + " mfs=" + std::to_string(l.markFilteringSet) + " subtables=" + std::to_string(l.subtableCount));
        const LookupContent content = ExpandLookup(t, int(i));
        EXPECT_FALSE(content.cut) << table << " lookup " << i;
        EXPECT_TRUE(content.problems.empty()) << table << " lookup " << i << ": " << content.problems.listed.front();
        for (const GlyphMapping& m : content.mappings)
            out.push_back(table + " map" + at + std::to_string(m.subtable) + " " + joined(m.input, " ") + " > "
                          + joined(m.output, " "));
        for (const GlyphPair& p : content.pairs)
            out.push_back(table + " pair" + at + std::to_string(p.subtable) + " " + std::to_string(p.first) + " "
                          + std::to_string(p.second) + " " + value(p.value1) + " " + value(p.value2));
    }
}

std::vector<std::string> sortedLines(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

class LayoutVsFontTools : public testing::TestWithParam<std::string> {};

TEST_P(LayoutVsFontTools, ScriptsFeaturesLookupsMappingsAndPairsAgree)
{
    FontState font;
    ASSERT_EQ(loadFontPath(font, GetParam()), LoadResult::Loaded) << GetParam();
    std::vector<std::string> ours;
    for (const bool gpos : {false, true}) {
        const auto bytes = TableBytes(font, gpos ? "GPOS" : "GSUB");
        ASSERT_FALSE(bytes.empty()) << GetParam();
        const auto read = ReadGsubGpos(bytes, gpos);
        ASSERT_TRUE(std::holds_alternative<GsubGposTable>(read));
        EXPECT_TRUE(std::get<GsubGposTable>(read).problems.empty());
        tableLines(ours, std::get<GsubGposTable>(read));
    }
    const CommandOutput run = runCommand(shellQuoted(PYTHON3) + " " + shellQuoted(LAYOUT_SCRIPT) + " " + shellQuoted(GetParam()));
    ASSERT_EQ(run.status, 0);
    std::vector<std::string> theirs;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);)
        theirs.push_back(line);
    ASSERT_GT(theirs.size(), 100u); // scripts, features, lookups and their content
    const auto a = sortedLines(ours), b = sortedLines(theirs);
    std::vector<std::string> onlyOurs, onlyTheirs;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(onlyOurs));
    std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(onlyTheirs));
    EXPECT_TRUE(onlyOurs.empty()) << onlyOurs.size() << " lines only Lumaro reads, the first: " << onlyOurs.front();
    EXPECT_TRUE(onlyTheirs.empty()) << onlyTheirs.size() << " lines only fontTools reads, the first: " << onlyTheirs.front();
}

INSTANTIATE_TEST_SUITE_P(WholeFonts, LayoutVsFontTools,
                         testing::Values(std::string(DEJAVU_DIR) + "/DejaVuSans.ttf",
                                         std::string(NOTO_DIR) + "/NotoSansDevanagari-Regular.ttf",
                                         std::string(NOTO_DIR) + "/NotoNaskhArabic-Regular.ttf",
                                         std::string(INTER_VARIABLE_FONT)));

} // namespace
