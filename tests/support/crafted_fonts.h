#pragma once
// Damaged and hostile fonts, built with the test writer: one per malformed
// case a reader must survive, and the fonts that once multiplied their own
// size in time or memory. The fuzzer's seeds and the robustness tests share them.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/ttf_builder.h"

namespace ttf {

struct CraftedFont {
    std::string name;
    ByteVector bytes;
};

// A small font with a bit of everything: simple, composite and empty glyphs,
// glyph names, a naming table, format 4 and format 12 character maps.
inline FontSpec craftedBase()
{
    FontSpec design = squaresFont(5);
    design.glyphs.push_back(compositeGlyph({{1, 0, 0}, {2, 300, 0, {0x2000}}}, {0, 0, 500, 300}));
    design.glyphs.push_back({});
    design.glyphs.push_back(simpleGlyph({{{0, 0}, {0, 200, false}, {200, 200, false}, {200, 0}}}));
    design.cmap[0xE9] = 5;
    design.glyphNames = {".notdef", "A", "B", "C", "D", "AB", "space", "round"};
    design.names = {{3, 1, 0x409, 1, utf16be(u"Crafted")}, {1, 0, 0, 4, latin1("Crafted Regular")}};
    return design;
}

// craftedBase's tables with `edit` applied to them.
inline ByteVector craftedWith(const std::function<void(std::vector<Table>&)>& edit, FontSpec design = craftedBase())
{
    std::vector<Table> tables = fontTables(design);
    findTable(tables, "cmap")->data = cmapTable({{3, 1, cmapFormat4(design.cmap)},
                                                 {3, 10, cmapFormat12({{0x41, 0x44, 1}, {0x1F600, 0x1F601, 6}})}});
    edit(tables);
    return assemble(tables);
}

// craftedBase with one table's bytes edited.
inline ByteVector craftedTable(std::string_view tag, const std::function<void(ByteVector&)>& edit)
{
    return craftedWith([&](std::vector<Table>& tables) { edit(findTable(tables, tag)->data); });
}

// craftedBase with glyph 1 replaced.
inline ByteVector craftedGlyph(Glyph glyph, FontSpec design = craftedBase())
{
    design.glyphs[1] = std::move(glyph);
    return craftedWith([](std::vector<Table>&) {}, design);
}

inline Glyph rawGlyph(ByteVector bytes)
{
    Glyph g;
    g.raw = std::move(bytes);
    return g;
}

// A simple glyph's header and endPtsOfContours, then `rest` as it stands.
inline Glyph simpleGlyphRaw(std::vector<std::uint16_t> endPts, const ByteVector& rest)
{
    Bytes b;
    b.i16(std::int16_t(endPts.size())).i16(0).i16(0).i16(500).i16(500);
    for (std::uint16_t e : endPts)
        b.u16(e);
    return rawGlyph(b.append(rest).data);
}

// Glyphs 1..depth each made of the next; the last a square.
inline ByteVector compositeChain(int depth)
{
    FontSpec design = craftedBase();
    design.glyphs.resize(std::size_t(depth) + 2);
    for (int g = 1; g <= depth; ++g)
        design.glyphs[std::size_t(g)] = compositeGlyph({{std::uint16_t(g + 1), 10, 0}});
    design.glyphs.back() = squareGlyph(0, 0, 100, 100);
    design.glyphNames.clear();
    return craftedWith([](std::vector<Table>&) {}, design);
}

inline std::vector<CraftedFont> directoryCases()
{
    ByteVector overflow = craftedWith([](std::vector<Table>&) {});
    putU32(overflow, directoryEntryAt(overflow, "glyf") + 8, 0xFFFFFF00);
    putU32(overflow, directoryEntryAt(overflow, "glyf") + 12, 0x200);
    ByteVector manyTables = craftedWith([](std::vector<Table>&) {});
    putU16(manyTables, 4, 0xFFFF);
    return {{"dir-offset-overflow", overflow}, {"dir-numtables-huge", manyTables}};
}

inline std::vector<CraftedFont> locaCases()
{
    auto loca = [](const std::function<void(ByteVector&, std::size_t)>& edit) {
        return craftedTable("loca", [&](ByteVector& t) { edit(t, t.size() / 2); });
    };
    return {
        {"loca-decreasing", loca([](ByteVector& t, std::size_t n) { std::swap(t[2], t[2 * n - 4]); })},
        {"loca-past-end", loca([](ByteVector& t, std::size_t n) { putU16(t, 2 * n - 2, 0xFFFF); putU16(t, 2, 0xFFF0); })},
        {"loca-shared-range", loca([](ByteVector& t, std::size_t n) {
             const std::uint16_t end = getU16(t, 2 * n - 2);
             for (std::size_t k = 0; k < n; ++k)
                 putU16(t, 2 * k, k % 2 ? end : 0);
         })},
    };
}

inline std::vector<CraftedFont> simpleGlyphCases()
{
    Bytes repeat; // instructionLength 0, one flag repeated 200 times for 4 points
    repeat.u16(0).u8(0x09).u8(200);
    Bytes wide; // three x deltas of +30000: coordinates beyond int16
    wide.u16(0).u8(1).u8(1).u8(1).i16(30000).i16(30000).i16(30000).i16(0).i16(0).i16(0);
    return {
        {"glyph-short-header", craftedGlyph(rawGlyph({0, 1, 0}))},
        {"glyph-endpts-past", craftedGlyph(simpleGlyphRaw({500}, {0, 0, 1, 1}))},
        {"glyph-endpts-decreasing", craftedGlyph(simpleGlyphRaw({5, 2}, Bytes().u16(0).zeros(40).data))},
        {"glyph-endpts-ffff", craftedGlyph(simpleGlyphRaw({0xFFFF}, Bytes().u16(0).zeros(40).data))},
        {"glyph-instructions-past", craftedGlyph(simpleGlyphRaw({3}, Bytes().u16(0xFFFF).zeros(8).data))},
        {"glyph-flags-early", craftedGlyph(simpleGlyphRaw({10}, {0, 0, 1, 1, 1}))},
        {"glyph-repeat-past", craftedGlyph(simpleGlyphRaw({3}, repeat.zeros(16).data))},
        {"glyph-coords-beyond-int16", craftedGlyph(simpleGlyphRaw({2}, wide.data))},
    };
}

inline std::vector<CraftedFont> compositeCases()
{
    FontSpec mutual = craftedBase();
    mutual.glyphs[1] = compositeGlyph({{2, 0, 0}});
    mutual.glyphs[2] = compositeGlyph({{1, 5, 5}});
    Bytes cut; // MORE_COMPONENTS, then the glyph ends
    cut.i16(-1).zeros(8).u16(MORE_COMPONENTS | ARG_1_AND_2_ARE_WORDS | ARGS_ARE_XY_VALUES).u16(2).i16(0).i16(0).u16(0x0021);
    return {
        {"composite-self", craftedGlyph(compositeGlyph({{1, 0, 0}}))},
        {"composite-mutual", craftedWith([](std::vector<Table>&) {}, mutual)},
        {"composite-17-deep", compositeChain(17)},
        {"composite-flags-past", craftedGlyph(rawGlyph(cut.data))},
        {"composite-points-matched-beyond", craftedGlyph(compositeGlyph({{2, 0, 0}, {3, 900, 900, {}, true}}))},
    };
}

inline ByteVector withCmap(const std::vector<Encoding>& encodings)
{
    return craftedWith([&](std::vector<Table>& tables) { findTable(tables, "cmap")->data = cmapTable(encodings); });
}

inline std::vector<CraftedFont> cmapCases()
{
    const ByteVector good4 = cmapFormat4(craftedBase().cmap);
    auto format4 = [&](const std::function<void(ByteVector&)>& edit) {
        ByteVector sub = good4;
        edit(sub);
        return withCmap({{3, 1, sub}});
    };
    ByteVector hugeGroups = cmapFormat12({{0x41, 0x44, 1}});
    putU32(hugeGroups, 12, 0x10000000);
    return {
        {"cmap-records-past", craftedTable("cmap", [](ByteVector& t) { putU16(t, 2, 5000); })},
        {"cmap-subtable-past", craftedTable("cmap", [](ByteVector& t) { putU32(t, 8, 0x7FFFFF00); })},
        {"cmap4-segcount-zero", format4([](ByteVector& s) { putU16(s, 6, 0); })},
        {"cmap4-segcount-odd", format4([](ByteVector& s) { putU16(s, 6, 7); })},
        {"cmap4-arrays-past", format4([](ByteVector& s) { putU16(s, 6, 0xFFFE); })},
        {"cmap4-no-final-segment", withCmap({{3, 1, cmapFormat4(std::vector<Segment>{{0x41, 0x45, 0xFFC0, 0}})}})},
        {"cmap4-range-offset-past", withCmap({{3, 1, cmapFormat4(std::vector<Segment>{{0x41, 0x45, 0, 0xFFF0}, {0xFFFF, 0xFFFF, 1, 0}})}})},
        {"cmap4-unsorted", withCmap({{3, 1, cmapFormat4(std::vector<Segment>{{0x61, 0x62, 0, 0}, {0x41, 0x45, 0xFFC0, 0}, {0xFFFF, 0xFFFF, 1, 0}})}})},
        {"cmap12-groups-huge", withCmap({{3, 1, good4}, {3, 10, hugeGroups}})},
        {"cmap12-out-of-order", withCmap({{3, 1, good4}, {3, 10, cmapFormat12({{0x1F600, 0x1F6FF, 2}, {0x41, 0x44, 1}, {0x30, 0x10FFFF, 3}})}})},
    };
}

inline std::vector<CraftedFont> postAndMetricsCases()
{
    return {
        {"post2-index-past", craftedTable("post", [](ByteVector& t) { putU16(t, 32, 0x7FFF); })},
        {"post2-strings-past", craftedTable("post", [](ByteVector& t) { t.push_back(250); t.push_back('x'); })},
        {"post2-index-beyond-names", craftedTable("post", [](ByteVector& t) { putU16(t, 34 + 2, 258 + 900); })},
        {"hmtx-short", craftedTable("hmtx", [](ByteVector& t) { t.resize(6); })},
        {"hhea-no-metrics", craftedTable("hhea", [](ByteVector& t) { putU16(t, 34, 0); })},
        {"hhea-metrics-above-glyphs", craftedTable("hhea", [](ByteVector& t) { putU16(t, 34, 4000); })},
        {"hdmx-cut-at-end", [] {
             std::vector<Table> tables = fontTables(craftedBase());
             tables.push_back({"hdmx", {0, 0, 0, 0}});
             ByteVector bytes = assemble(tables);
             bytes.resize(tableOffset(bytes, "hdmx") + 2);
             return bytes;
         }()},
    };
}

inline std::vector<CraftedFont> nameCases()
{
    auto names = [](std::vector<NameRecord> records, const std::function<void(ByteVector&)>& edit) {
        return craftedWith([&](std::vector<Table>& tables) {
            ByteVector table = nameTable(records);
            edit(table);
            findTable(tables, "name")->data = table;
        });
    };
    const std::vector<NameRecord> two = craftedBase().names;
    return {
        {"name-records-past", names(two, [](ByteVector& t) { putU16(t, 2, 4000); })},
        {"name-strings-past", names(two, [](ByteVector& t) { putU16(t, 6 + 10, 0xFFF0); putU16(t, 6 + 8, 0x400); })},
        {"name-storage-over-records", names(two, [](ByteVector& t) { putU16(t, 4, 0); })},
        {"name-odd-utf16", names({{3, 1, 0x409, 1, {0, 'A', 0}}}, [](ByteVector&) {})},
        {"name-lone-surrogates", names({{3, 1, 0x409, 4, {0xD8, 0x00, 0, 'A', 0xDC, 0x00}}}, [](ByteVector&) {})},
    };
}

// Every malformed case, each a small font.
inline std::vector<CraftedFont> malformedFonts()
{
    std::vector<CraftedFont> all;
    for (auto cases : {directoryCases(), locaCases(), simpleGlyphCases(), compositeCases(), cmapCases(),
                       postAndMetricsCases(), nameCases()})
        all.insert(all.end(), cases.begin(), cases.end());
    return all;
}

// ---- amplification: small files that used to cost far more than their size --------

// A naming table claiming `count` records that lie in a run of `fill`
// bytes: every field reads fill * 0x101 (0x4141: 16 705), so each record
// names that much text at that offset into one storage shared by all.
// About 800 KB at 65 535 records.
inline ByteVector sharedNameStorageFont(std::uint16_t count = 0xFFFF, std::uint8_t fill = 0x41)
{
    Bytes name;
    name.u16(0).u16(count).u16(6);
    const std::size_t field = fill * 0x101u; // every offset and length
    name.data.resize(6 + 12 * std::size_t(count) + 2 * field, fill);
    return craftedWith([&](std::vector<Table>& tables) { findTable(tables, "name")->data = name.data; });
}

// `count` glyphs that all decode to one glyph of `points` points.
inline ByteVector sharedGlyphFont(int count = 0xFFFF, int points = 2000)
{
    Contour contour;
    for (int p = 0; p < points; ++p)
        contour.push_back({std::int16_t(p % 1000), std::int16_t(p * 7 % 1000), p % 3 != 0});
    const ByteVector glyph = glyphData(simpleGlyph({contour}));
    FontSpec design = craftedBase();
    design.indexToLocFormat = 1;
    design.glyphNames.clear();
    return craftedWith(
        [&](std::vector<Table>& tables) {
            // The glyph twice and loca 0 N 0 N ...: every glyph starts at one of the copies.
            findTable(tables, "glyf")->data = Bytes().append(glyph).append(glyph).data;
            Bytes loca;
            for (int g = 0; g <= count; ++g)
                loca.u32(g % 2 ? std::uint32_t(glyph.size()) : 0);
            findTable(tables, "loca")->data = loca.data;
            findTable(tables, "maxp")->data = maxpTable(std::uint16_t(count));
            findTable(tables, "hhea")->data = hheaTable(1);
            findTable(tables, "hmtx")->data = Bytes().u16(600).i16(0).zeros(2 * std::size_t(count - 1)).data;
        },
        design);
}

// Glyphs 1..depth each made of `fan` copies of the next, the last a glyph
// of `points` points: fan^depth components if nothing stopped the resolution.
inline ByteVector compositeFanFont(int depth = 16, int fan = 64, int points = 2000)
{
    FontSpec design = craftedBase();
    design.glyphNames.clear();
    design.glyphs.resize(std::size_t(depth) + 2);
    for (int g = 1; g <= depth; ++g)
        design.glyphs[std::size_t(g)] = compositeGlyph(std::vector<Component>(std::size_t(fan), Component{std::uint16_t(g + 1), 1, 1}));
    Contour contour;
    for (int p = 0; p < points; ++p)
        contour.push_back({std::int16_t(p % 1000), std::int16_t(p * 7 % 1000), p % 2 == 0});
    design.glyphs.back() = simpleGlyph({contour});
    return craftedWith([](std::vector<Table>&) {}, design);
}

// Glyph 1 made of `copies` of glyph 2: 2000 points, all off the curve but
// every 198th, the longest runs of curve points the drawing takes.
inline ByteVector longCurveRunsFont(int copies = 32)
{
    FontSpec design = craftedBase();
    design.glyphNames.clear();
    design.glyphs.resize(3);
    design.glyphs[1] = compositeGlyph(std::vector<Component>(std::size_t(copies), Component{2, 1, 1}));
    Contour contour;
    for (int p = 0; p < 2000; ++p)
        contour.push_back({std::int16_t(p * 13 % 1000), std::int16_t(p * 7 % 1000), p % 198 == 197});
    design.glyphs[2] = simpleGlyph({contour});
    return craftedWith([](std::vector<Table>&) {}, design);
}

// A format 4 subtable of `segments` one-code segments (and the final one).
inline ByteVector longFormat4Font(int segments = 8189)
{
    std::vector<Segment> list;
    for (int s = 0; s < segments; ++s)
        list.push_back({std::uint16_t(8 * s), std::uint16_t(8 * s), std::uint16_t(1 - 8 * s), 0});
    list.push_back({0xFFFF, 0xFFFF, 1, 0});
    return withCmap({{3, 1, cmapFormat4(list)}});
}

} // namespace ttf
