#include "layout/layout_table.h"

#include <cctype>

#include "sfnt/reader.h"

namespace {

constexpr int GsubExtension = 7, GposExtension = 9;

std::string tagAt(ByteReader& r)
{
    const auto b = r.bytes(4);
    return b.size() == 4 ? std::string(b.begin(), b.end()) : std::string();
}

const char* tableName(bool gpos) { return gpos ? "GPOS" : "GSUB"; }

// A record list's count at `offset`, or nullopt when the count or its records
// lie past the table: counts are believed only as far as the bytes back them.
std::optional<int> listCount(ByteReader& r, std::size_t offset, std::size_t recordSize)
{
    r.seek(offset);
    const int count = r.u16();
    if (!r.ok() || !r.canRead(std::size_t(count) * recordSize))
        return std::nullopt;
    return count;
}

std::optional<LangSys> readLangSys(std::span<const std::uint8_t> table, std::size_t offset, std::string tag)
{
    ByteReader r(table);
    r.seek(offset);
    r.u16(); // lookupOrderOffset, reserved
    LangSys lang{std::move(tag), 0, {}};
    lang.requiredFeature = r.u16();
    if (lang.requiredFeature == 0xFFFF)
        lang.requiredFeature = -1;
    const auto count = listCount(r, offset + 4, 2);
    if (!count)
        return std::nullopt;
    for (int k = 0; k < *count; ++k)
        lang.features.push_back(r.u16());
    return lang;
}

void readScripts(GsubGposTable& t, std::size_t listOffset)
{
    ByteReader r(t.table);
    const auto count = listCount(r, listOffset, 6);
    if (!count) {
        t.problems.push_back("the ScriptList runs past the table");
        return;
    }
    std::size_t named = 0; // feature indices of the language systems kept so far
    const auto withinBudget = [&](const std::optional<LangSys>& lang) {
        named += lang ? lang->features.size() : 0;
        return named <= MaxIndicesNamed;
    };
    const std::string overBudget = "the language systems name more than " + std::to_string(MaxIndicesNamed)
                                 + " features in all: the rest are left out";
    for (int k = 0; k < *count; ++k) {
        r.seek(listOffset + 2 + std::size_t(k) * 6);
        ScriptRecord script{tagAt(r), {}, {}};
        const std::size_t at = listOffset + r.u16();
        ByteReader s(t.table);
        s.seek(at);
        const int defaultOffset = s.u16();
        const auto langCount = listCount(s, at + 2, 6);
        if (!langCount) {
            t.problems.push_back("script " + script.tag + " runs past the table");
            continue;
        }
        if (defaultOffset != 0 && !(script.defaultLangSys = readLangSys(t.table, at + defaultOffset, "dflt")))
            t.problems.push_back("the default language of script " + script.tag + " runs past the table");
        if (!withinBudget(script.defaultLangSys)) {
            t.problems.push_back(overBudget);
            return;
        }
        for (int l = 0; l < *langCount; ++l) {
            s.seek(at + 4 + std::size_t(l) * 6);
            std::string tag = tagAt(s);
            const std::size_t langOffset = s.u16();
            auto lang = readLangSys(t.table, at + langOffset, tag);
            if (!lang) {
                t.problems.push_back("language " + tag + " of script " + script.tag + " runs past the table");
            } else if (!withinBudget(lang)) {
                t.problems.push_back(overBudget);
                t.scripts.push_back(std::move(script));
                return;
            } else {
                script.languages.push_back(std::move(*lang));
            }
        }
        t.scripts.push_back(std::move(script));
    }
}

// ssXX and cvXX keep the name ID of their UI name second in their FeatureParams.
bool namedByParams(const std::string& tag)
{
    return tag.size() == 4 && ((tag[0] == 's' && tag[1] == 's') || (tag[0] == 'c' && tag[1] == 'v'))
        && std::isdigit(static_cast<unsigned char>(tag[2])) && std::isdigit(static_cast<unsigned char>(tag[3]));
}

void readFeatures(GsubGposTable& t, std::size_t listOffset)
{
    ByteReader r(t.table);
    const auto count = listCount(r, listOffset, 6);
    if (!count) {
        t.problems.push_back("the FeatureList runs past the table");
        return;
    }
    std::size_t named = 0; // lookup indices of the features so far
    for (int k = 0; k < *count; ++k) {
        r.seek(listOffset + 2 + std::size_t(k) * 6);
        FeatureRecord feature{tagAt(r), {}, 0};
        const std::size_t at = listOffset + r.u16();
        ByteReader f(t.table);
        f.seek(at);
        const int paramsOffset = f.u16();
        const auto lookupCount = listCount(f, at + 2, 2);
        if (!lookupCount) {
            // Kept, empty, so that the language systems' feature indices still point right.
            t.problems.push_back("feature " + feature.tag + " runs past the table");
            t.features.push_back(std::move(feature));
            continue;
        }
        // Past the budget a feature is kept, empty, so that the indices still point right.
        if ((named += std::size_t(*lookupCount)) > MaxIndicesNamed) {
            if (named - std::size_t(*lookupCount) <= MaxIndicesNamed)
                t.problems.push_back("the features name more than " + std::to_string(MaxIndicesNamed)
                                     + " lookups in all: the lookups of the rest are left out");
            t.features.push_back(std::move(feature));
            continue;
        }
        for (int l = 0; l < *lookupCount; ++l)
            feature.lookups.push_back(f.u16());
        if (paramsOffset != 0 && namedByParams(feature.tag)) {
            f.seek(at + std::size_t(paramsOffset) + 2);
            feature.uiNameID = f.u16(); // 0 when the params lie past the table
        }
        t.features.push_back(std::move(feature));
    }
}

// The type a stored lookup type stands for: an extension subtable's wrapped
// type, read from the subtable at `at`; 0 when it cannot be read or wraps
// another extension.
int wrappedType(const GsubGposTable& t, std::size_t at, std::uint32_t* target)
{
    ByteReader r(t.table);
    r.seek(at);
    const int format = r.u16();
    const int type = r.u16();
    const std::uint32_t offset = r.u32();
    const int extension = t.gpos ? GposExtension : GsubExtension;
    if (!r.ok() || format != 1 || type == extension || type == 0 || at + offset >= t.table.size())
        return 0;
    if (target)
        *target = std::uint32_t(at + offset);
    return type;
}

void readLookups(GsubGposTable& t, std::size_t listOffset)
{
    ByteReader r(t.table);
    const auto count = listCount(r, listOffset, 2);
    if (!count) {
        t.problems.push_back("the LookupList runs past the table");
        return;
    }
    for (int k = 0; k < *count; ++k) {
        r.seek(listOffset + 2 + std::size_t(k) * 2);
        LayoutLookup lookup;
        lookup.offset = std::uint32_t(listOffset + r.u16());
        ByteReader l(t.table);
        l.seek(lookup.offset);
        lookup.type = l.u16();
        lookup.flags = l.u16();
        const auto subtables = listCount(l, lookup.offset + 4, 2);
        lookup.subtableCount = subtables.value_or(0);
        const std::size_t firstSubtable = subtables && *subtables > 0 ? lookup.offset + l.u16() : 0;
        l.seek(lookup.offset + 6 + std::size_t(lookup.subtableCount) * 2);
        if (lookup.flags & USE_MARK_FILTERING_SET)
            lookup.markFilteringSet = l.u16();
        if (!subtables || !l.ok()) {
            t.problems.push_back("lookup " + std::to_string(k) + " runs past the table");
            lookup.type = 0;
        } else if (lookup.type == (t.gpos ? GposExtension : GsubExtension)) {
            lookup.extension = true;
            lookup.type = firstSubtable ? wrappedType(t, firstSubtable, nullptr) : 0;
            if (lookup.type == 0)
                t.problems.push_back("lookup " + std::to_string(k) + " is an extension that cannot be followed");
        }
        t.lookups.push_back(lookup);
    }
}

} // namespace

std::variant<GsubGposTable, Failure> ReadGsubGpos(std::span<const std::uint8_t> table, bool gpos)
{
    ByteReader r(table);
    GsubGposTable t;
    t.table = table;
    t.gpos = gpos;
    t.majorVersion = r.u16();
    t.minorVersion = r.u16();
    const std::size_t scriptList = r.u16(), featureList = r.u16(), lookupList = r.u16();
    if (!r.ok())
        return Failure{ReadPastEnd, {}, std::string(tableName(gpos)) + " table"};
    // A list at offset 0 is absent (an empty table's lists are).
    if (scriptList != 0)
        readScripts(t, scriptList);
    if (featureList != 0)
        readFeatures(t, featureList);
    if (lookupList != 0)
        readLookups(t, lookupList);
    return t;
}

std::vector<std::uint32_t> LookupSubtables(const GsubGposTable& layout, const LayoutLookup& lookup,
                                           LookupProblems& problems)
{
    std::vector<std::uint32_t> subtables;
    ByteReader r(layout.table);
    r.seek(lookup.offset + 6);
    for (int k = 0; k < lookup.subtableCount; ++k) {
        std::uint32_t at = lookup.offset + r.u16();
        const auto refuse = [&](const char* why) {
            problems.add("subtable " + std::to_string(k) + " " + why);
        };
        if (!r.ok() || at >= layout.table.size()) {
            refuse("lies past the table");
            continue;
        }
        if (lookup.extension && wrappedType(layout, at, &at) != lookup.type) {
            refuse("is an extension that cannot be followed, or wraps another type");
            continue;
        }
        subtables.push_back(at);
    }
    return subtables;
}

std::string LookupTypeName(bool gpos, int type)
{
    static const char* const gsub[] = {"single substitution", "multiple substitution", "alternate substitution",
                                       "ligature substitution", "contextual substitution",
                                       "chained contexts substitution", "extension substitution",
                                       "reverse chaining contextual single substitution"};
    static const char* const gposNames[] = {"single adjustment", "pair adjustment", "cursive attachment",
                                            "mark-to-base attachment", "mark-to-ligature attachment",
                                            "mark-to-mark attachment", "contextual positioning",
                                            "chained contexts positioning", "extension positioning"};
    if (!gpos && type >= 1 && type <= 8)
        return gsub[type - 1];
    if (gpos && type >= 1 && type <= 9)
        return gposNames[type - 1];
    return "type " + std::to_string(type);
}
