#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class GlyphSource;

// What the main window found of each glyph, by glyph number: the checks that
// found a problem in it (a bit 1 << Check each), and its change against the
// font it is compared with (a GlyphChange; -1, or no entry: not compared).
struct GlyphMarks {
    std::vector<std::uint16_t> problems;
    std::vector<std::int8_t> changes;
    std::uint16_t problemsOf(int glyph) const;
    int changeOf(int glyph) const;
};

// What the overview's filter field asks for.
struct GlyphFilter {
    enum class Kind {
        All,        // empty field
        GlyphRange, // "100-200" or "100": glyph numbers first..last
        CodeRange,  // "U+0400-U+04FF" or "U+0416": glyphs a code first..last maps to
        Block,      // a Unicode block's name ("Cyrillic"): glyphs a code of that block maps to; first is the block
        Name,       // anything else: glyphs whose name contains the text, ignoring ASCII case
        Problems,   // "problems" or "problems:<check>": glyphs a check found something in; first holds the checks' bits
        Changed,    // "changed", "changed:<change>" or a change's name: glyphs with that change; first holds the changes' bits
    };
    Kind kind = Kind::All;
    long first = 0; // inclusive; ranges given backwards are turned round
    long last = 0;
    std::string name;

    bool operator==(const GlyphFilter&) const = default;
};

// Reads the field's text; blanks around it and around "-" do not count.
// Numbers too large for a glyph or a code are held at 65535 and U+10FFFF.
GlyphFilter parseGlyphFilter(std::string_view text);

// Problems and Changed read `marks`; without them nothing matches.
bool glyphMatches(const GlyphFilter& filter, const GlyphSource& source, int glyph, const GlyphMarks* marks = nullptr);

// Whether the filter reads every glyph (its codes or its name) rather than
// counting glyph numbers: such a filter runs off the GUI thread.
bool readsEveryGlyph(const GlyphFilter& filter);

// The glyphs the filter lets through, ascending. Safe on a worker thread;
// returns what it has as soon as `cancelled` is set.
std::vector<int> matchingGlyphs(const GlyphFilter& filter, const GlyphSource& source,
                                const std::atomic<bool>* cancelled = nullptr, const GlyphMarks* marks = nullptr);
