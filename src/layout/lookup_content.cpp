#include "layout/lookup_content.h"

#include <algorithm>
#include <bit>
#include <map>

#include "sfnt/reader.h"

namespace {

constexpr std::size_t GlyphIdCount = 65536; // no Coverage or ClassDef can name more glyphs than this
constexpr std::size_t HeapBlock = 32;       // what the allocator takes for a short glyph list

// One expansion under way: what it has given, its budget, the glyph it is filtered by.
struct Expansion {
    const GsubGposTable& layout;
    std::optional<int> glyph;
    std::size_t budget; // steps
    LookupContent out;
    int subtable = 0;
    std::size_t held = 0; // bytes of the content, as MaxExpandedBytes counts them

    // Counts n steps; false once the budget is spent (the content is then cut).
    bool spend(std::size_t n)
    {
        out.steps += n;
        out.cut = out.cut || out.steps > budget || held >= MaxExpandedBytes;
        return !out.cut;
    }
    void problem(const std::string& what) { out.problems.add("subtable " + std::to_string(subtable) + ": " + what); }
    bool shows(const std::vector<int>& a, const std::vector<int>& b) const
    {
        return !glyph || std::count(a.begin(), a.end(), *glyph) || std::count(b.begin(), b.end(), *glyph);
    }
    void map(std::vector<int> input, std::vector<int> output)
    {
        if (!shows(input, output) || !spend(1))
            return;
        held += sizeof(GlyphMapping) + 2 * HeapBlock + (input.size() + output.size()) * sizeof(int);
        out.mappings.push_back({subtable, std::move(input), std::move(output)});
    }
};

// Puts glyph IDs in order, each once: a bit per ID between the least and the
// greatest, since damaged subtables can repeat one range millions of times.
void inOrderOnce(std::vector<int>& glyphs)
{
    if (glyphs.empty())
        return;
    const auto [least, greatest] = std::minmax_element(glyphs.begin(), glyphs.end());
    const int first = *least;
    std::vector<bool> present(std::size_t(*greatest - first) + 1);
    for (const int g : glyphs)
        present[std::size_t(g - first)] = true;
    glyphs.clear();
    for (std::size_t k = 0; k < present.size(); ++k)
        if (present[k])
            glyphs.push_back(first + int(k));
}

// count 16-bit glyph IDs at r's position; nullopt when the bytes do not hold them.
std::optional<std::vector<int>> glyphArray(ByteReader& r, std::size_t count)
{
    if (!r.canRead(count * 2))
        return std::nullopt;
    std::vector<int> glyphs;
    for (std::size_t k = 0; k < count; ++k)
        glyphs.push_back(r.u16());
    return glyphs;
}

// The coverage at subtable offset + the 16-bit offset at `field`.
std::optional<std::vector<int>> coverageAt(Expansion& e, std::size_t subtable, std::size_t field)
{
    ByteReader r(e.layout.table);
    r.seek(subtable + field);
    const std::size_t offset = r.u16();
    auto glyphs = r.ok() ? ReadCoverage(e.layout.table, subtable + offset) : std::nullopt;
    if (!glyphs)
        e.problem("its coverage cannot be read");
    else if (!e.spend(glyphs->size()))
        return std::nullopt;
    return glyphs;
}

// A subtable's offsets to per-glyph lists (Sequence, AlternateSet, LigatureSet, PairSet): the
// list of covered glyph k is at subtable + the k-th offset. Coverage past the count is ignored.
template <typename Body>
void perCoveredGlyph(Expansion& e, std::size_t at, std::size_t countField, Body body)
{
    const auto coverage = coverageAt(e, at, 2);
    ByteReader r(e.layout.table);
    r.seek(at + countField);
    const std::size_t count = r.u16();
    if (!coverage || !r.canRead(count * 2))
        return e.problem("its offsets run past the table");
    for (std::size_t k = 0; k < std::min(count, coverage->size()) && e.spend(1); ++k) {
        ByteReader list(e.layout.table);
        list.seek(at + r.u16());
        body((*coverage)[k], list);
        if (!list.ok())
            e.problem("a list of glyph " + std::to_string((*coverage)[k]) + " runs past the table");
    }
}

void singleSubstitution(Expansion& e, std::size_t at, int format)
{
    const auto coverage = coverageAt(e, at, 2);
    ByteReader r(e.layout.table);
    r.seek(at + 4);
    const int delta = r.i16(); // format 2: glyphCount, then the substitutes
    std::optional<std::vector<int>> substitutes;
    r.seek(at + 6);
    if (format == 2 && !(substitutes = glyphArray(r, std::uint16_t(delta))))
        return e.problem("its substitutes run past the table");
    for (std::size_t k = 0; coverage && k < coverage->size(); ++k) {
        const int g = (*coverage)[k];
        if (format == 1)
            e.map({g}, {(g + delta) & 0xFFFF});
        else if (k < substitutes->size())
            e.map({g}, {(*substitutes)[k]});
    }
}

void ligatureSet(Expansion& e, int first, ByteReader& set)
{
    const std::size_t setStart = set.pos();
    const std::size_t count = set.u16();
    for (std::size_t k = 0; k < count && set.ok() && e.spend(1); ++k) {
        ByteReader lig(e.layout.table);
        lig.seek(setStart + set.u16());
        const int ligature = lig.u16();
        const std::size_t components = lig.u16();
        auto rest = glyphArray(lig, components > 0 ? components - 1 : 0);
        if (!lig.ok() || !rest || components == 0 || !e.spend(components)) {
            e.problem("a ligature of glyph " + std::to_string(first) + " cannot be read");
            continue;
        }
        rest->insert(rest->begin(), first);
        e.map(std::move(*rest), {ligature});
    }
}

void substitution(Expansion& e, std::size_t at, int type, int format)
{
    if (type == 1 && (format == 1 || format == 2))
        return singleSubstitution(e, at, format);
    if (format != 1)
        return e.problem("format " + std::to_string(format) + " is not one its type has");
    if (type == 2 || type == 3)
        return perCoveredGlyph(e, at, 4, [&](int g, ByteReader& list) {
            auto out = glyphArray(list, list.u16());
            if (!out)
                return e.problem("the glyphs of glyph " + std::to_string(g) + " run past the table");
            if (e.spend(out->size()))
                e.map({g}, std::move(*out));
        });
    perCoveredGlyph(e, at, 4, [&](int g, ByteReader& set) { ligatureSet(e, g, set); });
}

PairValue readValue(ByteReader& r, int format)
{
    PairValue v;
    v.format = format;
    for (int bit = 0; bit < 8; ++bit) {
        if (!(format & (1 << bit)))
            continue;
        const int field = r.i16();
        if (bit < 4)
            v.values[std::size_t(bit)] = field;
        else if (field != 0)
            v.devices |= 1 << bit;
    }
    return v;
}

std::size_t valueSize(int format) { return 2 * std::size_t(std::popcount(unsigned(format & 0xFF))); }

void pair(Expansion& e, int first, int second, const PairValue& v1, const PairValue& v2)
{
    if ((!e.glyph || first == *e.glyph || second == *e.glyph) && e.spend(1)) {
        e.held += sizeof(GlyphPair);
        e.out.pairs.push_back({e.subtable, first, second, v1, v2});
    }
}

void pairSets(Expansion& e, std::size_t at, int format1, int format2)
{
    const std::size_t recordSize = 2 + valueSize(format1) + valueSize(format2);
    perCoveredGlyph(e, at, 8, [&](int first, ByteReader& set) {
        const std::size_t count = set.u16();
        if (!set.canRead(count * recordSize))
            return e.problem("the pairs of glyph " + std::to_string(first) + " run past the table");
        for (std::size_t k = 0; k < count && e.spend(1); ++k) {
            const int second = set.u16();
            const PairValue v1 = readValue(set, format1);
            pair(e, first, second, v1, readValue(set, format2));
        }
    });
}

// Glyph to class, and class to its glyphs, of a ClassDef; class 0 holds no glyph here.
struct Classes {
    std::map<int, int> of;
    std::map<int, std::vector<int>> glyphs;
};

std::optional<Classes> classesAt(Expansion& e, std::size_t at)
{
    auto list = ReadClassDef(e.layout.table, at);
    if (!list || !e.spend(list->size()))
        return std::nullopt;
    Classes c;
    for (const auto& [glyph, cls] : *list)
        if (cls != 0 && c.of.emplace(glyph, cls).second)
            c.glyphs[cls].push_back(glyph);
    return c;
}

void classPairs(Expansion& e, std::size_t at, int format1, int format2)
{
    const auto coverage = coverageAt(e, at, 2);
    ByteReader r(e.layout.table);
    r.seek(at + 8);
    const std::size_t classDef1 = r.u16(), classDef2 = r.u16(), class1Count = r.u16(), class2Count = r.u16();
    const std::size_t rows = r.pos(), recordSize = valueSize(format1) + valueSize(format2), rowSize = class2Count * recordSize;
    const auto classes1 = coverage && r.ok() ? classesAt(e, at + classDef1) : std::nullopt;
    const auto classes2 = classes1 ? classesAt(e, at + classDef2) : std::nullopt;
    if (!classes2)
        return e.problem("its class definitions cannot be read");
    for (const int first : *coverage) {
        const auto c1 = classes1->of.find(first);
        const std::size_t row = c1 == classes1->of.end() ? 0 : std::size_t(c1->second);
        ByteReader values(e.layout.table);
        values.seek(rows + row * rowSize);
        // A class past the counts, or a row the bytes do not hold, ends the subtable.
        if (row >= class1Count || !values.canRead(rowSize))
            return e.problem("the class of glyph " + std::to_string(first) + " has no values in the table");
        // Filtered by a glyph that is not this first glyph: only that glyph's class as the second.
        const bool onlyFiltered = e.glyph && *e.glyph != first;
        for (std::size_t c2 = 0; c2 < class2Count && e.spend(1); ++c2) {
            const PairValue v1 = readValue(values, format1), v2 = readValue(values, format2);
            if (v1.zero() && v2.zero())
                continue;
            if (onlyFiltered) {
                const auto it = classes2->of.find(*e.glyph);
                if ((it == classes2->of.end() ? 0 : std::size_t(it->second)) == c2)
                    pair(e, first, c2 == 0 ? -1 : *e.glyph, v1, v2);
                continue;
            }
            if (c2 == 0) {
                pair(e, first, -1, v1, v2);
                continue;
            }
            const auto seconds = classes2->glyphs.find(int(c2));
            for (std::size_t k = 0; seconds != classes2->glyphs.end() && k < seconds->second.size(); ++k)
                pair(e, first, seconds->second[k], v1, v2);
        }
    }
}

// The first coverage of any other subtable: where its format keeps it.
void otherCoverage(Expansion& e, std::size_t at, int type, int format)
{
    const bool context = e.layout.gpos ? type == 7 : type == 5, chained = e.layout.gpos ? type == 8 : type == 6;
    std::size_t field = 2;
    if (context && format == 3)
        field = 6; // glyphCount, seqLookupCount, then the input's coverages
    if (chained && format == 3) {
        ByteReader r(e.layout.table);
        r.seek(at + 2);
        const std::size_t backtrack = r.u16();
        field = 2 + 2 + backtrack * 2 + 2; // past the backtrack coverages and inputGlyphCount
    }
    if (const auto coverage = coverageAt(e, at, field)) {
        e.held += coverage->size() * sizeof(int);
        e.out.coverage.insert(e.out.coverage.end(), coverage->begin(), coverage->end());
    }
}

} // namespace

std::optional<std::vector<int>> ReadCoverage(std::span<const std::uint8_t> table, std::size_t offset)
{
    ByteReader r(table);
    r.seek(offset);
    const int format = r.u16();
    const std::size_t count = r.u16();
    if (format == 1)
        return glyphArray(r, count);
    if (format != 2 || !r.canRead(count * 6))
        return std::nullopt;
    std::vector<int> glyphs;
    for (std::size_t k = 0; k < count; ++k) {
        const int start = r.u16(), end = r.u16();
        r.u16(); // startCoverageIndex: the ranges are in coverage order
        if (end < start || glyphs.size() + std::size_t(end - start + 1) > GlyphIdCount)
            return std::nullopt;
        for (int g = start; g <= end; ++g)
            glyphs.push_back(g);
    }
    return glyphs;
}

std::optional<std::vector<std::pair<int, int>>> ReadClassDef(std::span<const std::uint8_t> table, std::size_t offset)
{
    ByteReader r(table);
    r.seek(offset);
    const int format = r.u16();
    std::vector<std::pair<int, int>> classes;
    if (format == 1) {
        const int start = r.u16();
        const std::size_t count = r.u16();
        const auto values = glyphArray(r, count);
        if (!values || start + count > GlyphIdCount)
            return std::nullopt;
        for (std::size_t k = 0; k < count; ++k)
            classes.emplace_back(start + int(k), (*values)[k]);
        return classes;
    }
    const std::size_t count = r.u16();
    if (format != 2 || !r.canRead(count * 6))
        return std::nullopt;
    for (std::size_t k = 0; k < count; ++k) {
        const int start = r.u16(), end = r.u16(), cls = r.u16();
        if (end < start || classes.size() + std::size_t(end - start + 1) > GlyphIdCount)
            return std::nullopt;
        for (int g = start; g <= end; ++g)
            classes.emplace_back(g, cls);
    }
    return classes;
}

LookupContent ExpandLookup(const GsubGposTable& layout, int index, std::optional<int> glyph, std::size_t budget)
{
    Expansion e{layout, glyph, budget, {}, 0};
    if (index < 0 || std::size_t(index) >= layout.lookups.size())
        return e.out;
    const LayoutLookup& lookup = layout.lookups[std::size_t(index)];
    const auto subtables = LookupSubtables(layout, lookup, e.out.problems);
    e.spend(std::size_t(lookup.subtableCount)); // reading the offsets is work, even when all are refused
    for (; std::size_t(e.subtable) < subtables.size() && e.spend(1); ++e.subtable) {
        const std::size_t at = subtables[std::size_t(e.subtable)];
        ByteReader r(layout.table);
        r.seek(at);
        const int format = r.u16();
        r.u16(); // the coverage offset
        const int valueFormat1 = r.u16(), valueFormat2 = r.u16(); // GPOS 2's, after the coverage
        if (!layout.gpos && lookup.type >= 1 && lookup.type <= 4)
            substitution(e, at, lookup.type, format);
        else if (layout.gpos && lookup.type == 2 && format == 1)
            pairSets(e, at, valueFormat1, valueFormat2);
        else if (layout.gpos && lookup.type == 2 && format == 2)
            classPairs(e, at, valueFormat1, valueFormat2);
        else
            otherCoverage(e, at, lookup.type, format);
    }
    if (glyph)
        std::erase_if(e.out.coverage, [&](int g) { return g != *glyph; });
    inOrderOnce(e.out.coverage);
    return e.out;
}
