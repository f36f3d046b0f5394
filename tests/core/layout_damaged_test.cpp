// GSUB and GPOS tables that lie: offsets past the end, extensions that
// point at extensions, 65 535 lookups, coverage whose counts the bytes do not
// back, class pairs with huge class counts. Each is read to its end without
// a crash, in bounded time, with what cannot be used refused and named.
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "layout/lookup_content.h"
#include "support/ttf_builder.h"

namespace {

using ttf::Bytes;
using ttf::ByteVector;

// A table of one lookup: the header, empty script and feature lists, then
// the LookupList at 14 with the lookup at 18 and its one subtable at 26.
ByteVector oneLookup(int type, const ByteVector& subtable, int flags = 0)
{
    Bytes b;
    b.u16(1).u16(0).u16(10).u16(12).u16(14); // version 1.0; ScriptList, FeatureList, LookupList
    b.u16(0).u16(0);                         // no scripts, no features
    b.u16(1).u16(4);                         // lookupCount, the lookup 4 bytes on
    b.u16(std::uint16_t(type)).u16(std::uint16_t(flags)).u16(1).u16(8); // one subtable, 8 bytes on
    return b.append(subtable).data;
}

ByteVector extensionTo(int type, std::uint32_t offset)
{
    return Bytes().u16(1).u16(std::uint16_t(type)).u32(offset).data; // format 1, wrapped type, Offset32
}

struct Case {
    const char* name;
    ByteVector table;
    bool gpos;
    std::function<void(const GsubGposTable&)> check;
};

void noContent(const GsubGposTable& t)
{
    ASSERT_EQ(t.lookups.size(), 1u);
    const LookupContent c = ExpandLookup(t, 0);
    EXPECT_TRUE(c.mappings.empty() && c.pairs.empty() && c.coverage.empty());
    EXPECT_FALSE(c.problems.empty());
}

std::vector<Case> cases()
{
    std::vector<Case> out;
    Bytes lists;
    lists.u16(1).u16(0).u16(0xFFF0).u16(0xFFF2).u16(0xFFF4); // every list past the end
    out.push_back({"lists past the end", lists.data, false, [](const GsubGposTable& t) {
        EXPECT_TRUE(t.scripts.empty() && t.features.empty() && t.lookups.empty());
        EXPECT_EQ(t.problems.size(), 3u);
    }});
    // Single substitution format 2 whose coverage lies 0xFF00 bytes on.
    out.push_back({"coverage past the end", oneLookup(1, Bytes().u16(2).u16(0xFF00).u16(1).u16(5).data), false, noContent});
    // Coverage format 1 that claims 60000 glyphs and holds one.
    out.push_back({"coverage count that lies",
                   oneLookup(1, Bytes().u16(1).u16(6).i16(1).u16(1).u16(60000).u16(3).data), false, noContent});
    // Coverage format 2 whose ranges name every glyph ID twice over.
    out.push_back({"coverage ranges past the glyph IDs",
                   oneLookup(1, Bytes().u16(1).u16(6).i16(1).u16(2).u16(2).u16(0).u16(0xFFFF).u16(0).u16(0).u16(0xFFFF).u16(0).data),
                   false, noContent});
    // An extension whose wrapped lookup is an extension again, pointing at itself.
    out.push_back({"extension to an extension", oneLookup(7, extensionTo(7, 0)), false, [](const GsubGposTable& t) {
        ASSERT_EQ(t.lookups.size(), 1u);
        EXPECT_EQ(t.lookups[0].type, 0);
        EXPECT_FALSE(t.problems.empty());
        noContent(t);
    }});
    out.push_back({"extension past the end", oneLookup(9, extensionTo(2, 0xFFFFFFF0)), true, [](const GsubGposTable& t) {
        EXPECT_EQ(t.lookups.at(0).type, 0);
        noContent(t);
    }});
    // Class pairs of 65535 x 65535 classes, an x advance each, for one covered glyph.
    Bytes pairs;
    pairs.u16(2).u16(16).u16(X_ADVANCE).u16(0).u16(22).u16(22).u16(0xFFFF).u16(0xFFFF); // ClassDefs shared, empty
    pairs.u16(1).u16(1).u16(5);                                                       // coverage: glyph 5
    pairs.u16(2).u16(0).i16(-50);                                                     // ClassDef 2, no ranges; one value
    out.push_back({"class pairs with huge class counts", oneLookup(2, pairs.data), true, noContent});
    // 65535 lookups, each offset pointing into the offset array itself: every
    // one reads as type 4 with 4 subtables, none of which is a ligature subtable.
    Bytes many;
    many.u16(1).u16(0).u16(10).u16(12).u16(14).u16(0).u16(0).u16(0xFFFF);
    for (int k = 0; k < 0xFFFF; ++k)
        many.u16(4);
    out.push_back({"65535 lookups", many.data, false, [](const GsubGposTable& t) {
        ASSERT_EQ(t.lookups.size(), 65535u);
        std::size_t steps = 0;
        for (int k = 0; k < 65535; ++k) {
            const LookupContent c = ExpandLookup(t, k);
            EXPECT_TRUE(c.mappings.empty()) << k;
            steps += c.steps;
        }
        EXPECT_LT(steps, 65535u * 16); // a few steps a lookup, not a count the bytes repeat
    }});
    // One lookup of 30 000 subtable offsets that all lie past the table: reading
    // them is work the expansion's budget must count.
    Bytes past;
    past.u16(1).u16(0).u16(10).u16(12).u16(14).u16(0).u16(0).u16(1).u16(4).u16(1).u16(0).u16(30000);
    for (int k = 0; k < 30000; ++k)
        past.u16(0xFFFF);
    out.push_back({"subtable offsets past the end", past.data, false, [](const GsubGposTable& t) {
        const LookupContent whole = ExpandLookup(t, 0);
        EXPECT_EQ(whole.problems.listed.size(), LookupProblems::MaxListed);
        EXPECT_EQ(whole.problems.listed.size() + whole.problems.unlisted, 30000u);
        EXPECT_GE(whole.steps, 30000u);
        EXPECT_TRUE(ExpandLookup(t, 0, std::nullopt, 1000).cut);
    }});
    return out;
}

TEST(LayoutDamaged, EveryLieIsRefusedAndNamed)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const auto read = ReadGsubGpos(c.table, c.gpos);
        ASSERT_TRUE(std::holds_alternative<GsubGposTable>(read));
        c.check(std::get<GsubGposTable>(read));
    }
}

TEST(LayoutDamaged, AHeaderPastTheEndIsAFailure)
{
    const ByteVector cut{0, 1, 0, 0, 0, 10};
    const auto read = ReadGsubGpos(cut, true);
    ASSERT_TRUE(std::holds_alternative<Failure>(read));
    EXPECT_EQ(std::get<Failure>(read).code, ReadPastEnd);
    EXPECT_EQ(std::get<Failure>(read).detail, "GPOS table");
}

} // namespace
