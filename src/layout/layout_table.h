#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "sfnt/failure.h"

// Lumaro's own reading of a GSUB or GPOS table: its scripts and their
// language systems, its features and its lookups, read whole; what a lookup
// holds is expanded one lookup at a time (lookup_content.h). Every offset is
// checked against the table; a part that cannot be used is left out with a
// problem, never trusted.

// A language system: the features it enables, by feature index.
struct LangSys {
    std::string tag;               // "dflt" for a script's default
    int requiredFeature = -1;      // -1: none (0xFFFF)
    std::vector<int> features;
};

struct ScriptRecord {
    std::string tag;
    std::optional<LangSys> defaultLangSys;
    std::vector<LangSys> languages; // in table order
};

struct FeatureRecord {
    std::string tag;
    std::vector<int> lookups;
    int uiNameID = 0; // ssXX and cvXX: the name ID of the feature's UI name; 0: none
};

// Lookup flag bits.
inline constexpr int RIGHT_TO_LEFT = 0x0001, IGNORE_BASE_GLYPHS = 0x0002, IGNORE_LIGATURES = 0x0004,
                     IGNORE_MARKS = 0x0008, USE_MARK_FILTERING_SET = 0x0010, MARK_ATTACHMENT_TYPE = 0xFF00;

struct LayoutLookup {
    std::uint32_t offset = 0; // from the table's start
    int type = 0;             // an extension lookup's the type it wraps; 0: its first subtable cannot be read
    bool extension = false;   // stored as GSUB 7 or GPOS 9
    int flags = 0;
    int markFilteringSet = -1; // -1: the flags name none
    int subtableCount = 0;     // as stored
};

// Language systems may share one feature list and features one lookup list,
// so a small table can name billions of indices: past this many in all, the
// language systems (and the features' lookups) that follow are left out.
inline constexpr std::size_t MaxIndicesNamed = 1 << 18;

struct GsubGposTable {
    std::span<const std::uint8_t> table;
    bool gpos = false;
    int majorVersion = 0, minorVersion = 0;
    std::vector<ScriptRecord> scripts;
    std::vector<FeatureRecord> features;
    std::vector<LayoutLookup> lookups; // an unreadable lookup keeps its place with type 0
    std::vector<std::string> problems; // parts that could not be used, for the messages
};

// Reads a GSUB (gpos false) or GPOS table. The failure (code 15, "GSUB
// table") when its header lies past its end; a list whose offset or count
// runs past the table is left empty with a problem.
std::variant<GsubGposTable, Failure> ReadGsubGpos(std::span<const std::uint8_t> table, bool gpos);

// The name of a lookup type: "single substitution" ... "pair adjustment" ...;
// "type N" for a type the table's kind does not have.
std::string LookupTypeName(bool gpos, int type);

// What could not be read of one lookup: the first few problems listed, the
// rest only counted, since a damaged lookup can have one at every glyph.
struct LookupProblems {
    static constexpr std::size_t MaxListed = 10;
    std::vector<std::string> listed;
    std::size_t unlisted = 0;
    void add(std::string problem)
    {
        if (listed.size() < MaxListed)
            listed.push_back(std::move(problem));
        else
            ++unlisted;
    }
    bool empty() const { return listed.empty(); }
};

// The subtables of a lookup as offsets from the table's start, an extension's
// resolved to what it wraps. An extension that points at another extension,
// or wraps another type than the first, is left out with a problem; so is
// an offset past the table.
std::vector<std::uint32_t> LookupSubtables(const GsubGposTable& layout, const LayoutLookup& lookup,
                                           LookupProblems& problems);
