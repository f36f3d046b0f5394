// The font's details: directory checksums, header fields by name, the cmap
// subtables and which of them the lists and Find read; built fonts, damaged
// on purpose.
#include <gtest/gtest.h>

#include "support/font_loading.h"
#include "tables/details.h"

namespace {

using ttf::ByteVector;

const TableField* field(const TableFields& t, const std::string& name)
{
    for (const TableField& f : t.fields)
        if (f.name == name)
            return &f;
    return nullptr;
}

FontDetails detailsOf(const ByteVector& bytes)
{
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, bytes), LoadResult::Loaded);
    return ReadFontDetails(font);
}

const TableCheck& checkOf(const FontDetails& d, const std::string& tag)
{
    for (const TableCheck& t : d.tables)
        if (std::string(t.entry.Tag.begin(), t.entry.Tag.end()) == tag)
            return t;
    ADD_FAILURE() << "no table " << tag;
    return d.tables.front();
}

TEST(TableChecksum, SumsBigEndianWordsPaddedWithZeros)
{
    EXPECT_EQ(TableChecksum({}, false), 0u);
    const std::uint8_t oneByte[] = {0x01};
    EXPECT_EQ(TableChecksum(oneByte, false), 0x01000000u);
    const std::uint8_t words[] = {0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 2, 0x80};
    EXPECT_EQ(TableChecksum(words, false), 0x80000002u); // 1 + 0xFFFFFFFF wraps to 0
}

TEST(TableChecksum, HeadCountsItsAdjustmentAsZero)
{
    ByteVector head = ttf::headTable(0);
    const std::uint32_t without = TableChecksum(head, true);
    ttf::putU32(head, 8, 0xDEADBEEF); // checksumAdjustment
    EXPECT_EQ(TableChecksum(head, true), without);
    EXPECT_EQ(TableChecksum(head, false), without + 0xDEADBEEF);
}

TEST(FontDetails, BuiltFontChecksAgreeAndFieldsAreNamed)
{
    const FontDetails d = detailsOf(ttf::buildFont(ttf::squaresFont(3)));
    ASSERT_EQ(d.tables.size(), 8u);
    for (const TableCheck& t : d.tables)
        EXPECT_TRUE(t.ok()) << std::string(t.entry.Tag.begin(), t.entry.Tag.end());
    ASSERT_NE(field(d.head, "unitsPerEm"), nullptr);
    EXPECT_EQ(field(d.head, "unitsPerEm")->value, "1000");
    EXPECT_EQ(field(d.head, "magicNumber")->value, std::to_string(0x5F0F3CF5));
    EXPECT_EQ(field(d.head, "fontRevision")->value, "1");
    EXPECT_EQ(field(d.head, "created")->value, "1904-01-01 00:00:00");
    EXPECT_TRUE(field(d.head, "created")->isText);
    EXPECT_EQ(field(d.maxp, "numGlyphs")->value, "3");
    EXPECT_EQ(d.maxp.fields.size(), 15u); // version 1.0 has all of them
    EXPECT_FALSE(d.os2.present);
    EXPECT_EQ(field(d.post, "version")->value, "3");
}

struct Damage {
    const char* what;
    void (*apply)(std::vector<ttf::Table>&);
    void (*check)(const FontDetails&);
};

const Damage Damages[] = {
    {"maxp 0.5 has numGlyphs alone",
     [](std::vector<ttf::Table>& t) {
         ttf::Bytes maxp;
         maxp.u32(0x00005000).u16(3); // version 0.5, numGlyphs
         ttf::findTable(t, "maxp")->data = maxp.data;
     },
     [](const FontDetails& d) {
         ASSERT_EQ(d.maxp.fields.size(), 2u);
         EXPECT_EQ(d.maxp.fields[0].value, "0.3125"); // 0x5000 / 65536, as the bytes say
         EXPECT_TRUE(d.maxp.whole);
     }},
    {"OS/2 cut after usWeightClass keeps the fields it holds",
     [](std::vector<ttf::Table>& t) {
         ttf::Bytes os2;
         os2.u16(4).i16(500).u16(700).u8(0); // version, xAvgCharWidth, usWeightClass, half a field
         t.push_back({"OS/2", os2.data});
     },
     [](const FontDetails& d) {
         ASSERT_EQ(d.os2.fields.size(), 3u);
         EXPECT_EQ(field(d.os2, "usWeightClass")->value, "700");
         EXPECT_FALSE(d.os2.whole);
     }},
    {"OS/2 version 0 has no code page ranges",
     [](std::vector<ttf::Table>& t) {
         ttf::Bytes os2;
         os2.u16(0).zeros(76); // version 0: 78 bytes
         os2.zeros(20);        // bytes a later version would read on
         t.push_back({"OS/2", os2.data});
     },
     [](const FontDetails& d) {
         EXPECT_EQ(field(d.os2, "ulCodePageRange1"), nullptr);
         EXPECT_NE(field(d.os2, "usWinDescent"), nullptr);
         EXPECT_TRUE(d.os2.whole);
     }},
    {"a cmap record pointing outside the table has no format",
     [](std::vector<ttf::Table>& t) {
         ByteVector& cmap = ttf::findTable(t, "cmap")->data;
         ttf::Bytes extra;
         extra.u16(1).u16(0).u32(0xFFFFFF00); // a second record, platform 1 encoding 0
         cmap.insert(cmap.begin() + 12, extra.data.begin(), extra.data.end());
         ttf::putU16(cmap, 2, 2);                          // numTables
         ttf::putU32(cmap, 8, ttf::getU32(cmap, 8) + 8);   // the first record's subtable moved on
     },
     [](const FontDetails& d) {
         ASSERT_EQ(d.cmap.size(), 2u);
         EXPECT_EQ(d.cmap[0].format, 4);
         EXPECT_TRUE(d.cmap[0].usedByLists);
         EXPECT_TRUE(d.cmap[0].usedByFind);
         EXPECT_EQ(d.cmap[1].format, -1);
         EXPECT_FALSE(d.cmap[1].usedByLists || d.cmap[1].usedByFind);
     }},
};

TEST(FontDetails, DamagedTables)
{
    for (const Damage& damage : Damages) {
        SCOPED_TRACE(damage.what);
        std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(3));
        damage.apply(tables);
        damage.check(detailsOf(ttf::assemble(tables)));
    }
}

TEST(FontDetails, ChangedAndCutTablesDoNotAgree)
{
    ByteVector bytes = ttf::buildFont(ttf::squaresFont(3));
    bytes[ttf::tableOffset(bytes, "glyf") + 1] ^= 0x40;
    const FontDetails changed = detailsOf(bytes);
    EXPECT_FALSE(checkOf(changed, "glyf").ok());
    EXPECT_TRUE(checkOf(changed, "glyf").whole);
    EXPECT_EQ(checkOf(changed, "glyf").computed, checkOf(changed, "glyf").entry.CheckSum + 0x00400000u);

    // post is the last table: a length beyond the end of the file.
    ByteVector cut = ttf::buildFont(ttf::squaresFont(3));
    ttf::putU32(cut, ttf::directoryEntryAt(cut, "post") + 12, 4000);
    const FontDetails cutDetails = detailsOf(cut);
    const TableCheck& post = checkOf(cutDetails, "post");
    EXPECT_FALSE(post.whole);
    EXPECT_FALSE(post.ok());
}

TEST(NameIdMeaning, NamesTheIdsTheFormatDefines)
{
    EXPECT_EQ(NameIdMeaning(1), "Font Family");
    EXPECT_EQ(NameIdMeaning(16), "Typographic Family");
    EXPECT_EQ(NameIdMeaning(17), "Typographic Subfamily");
    EXPECT_EQ(NameIdMeaning(25), "Variations PostScript Name Prefix");
    EXPECT_EQ(NameIdMeaning(26), "Reserved");
    EXPECT_EQ(NameIdMeaning(255), "Reserved");
    EXPECT_EQ(NameIdMeaning(256), "Font-specific");
    EXPECT_EQ(NameIdMeaning(32767), "Font-specific");
}

} // namespace
