#pragma once
#include <atomic>
#include <string>
#include <string_view>
#include <vector>

class GlyphSource;

// What the overview's filter field asks for.
struct GlyphFilter {
    enum class Kind {
        All,        // empty field
        GlyphRange, // "100-200" or "100": glyph numbers first..last
        CodeRange,  // "U+0400-U+04FF" or "U+0416": glyphs a code first..last maps to
        Block,      // a Unicode block's name ("Cyrillic"): glyphs a code of that block maps to; first is the block
        Name,       // anything else: glyphs whose name contains the text, ignoring ASCII case
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

bool glyphMatches(const GlyphFilter& filter, const GlyphSource& source, int glyph);

// Whether the filter reads every glyph (its codes or its name) rather than
// counting glyph numbers: such a filter runs off the GUI thread.
bool readsEveryGlyph(const GlyphFilter& filter);

// The glyphs the filter lets through, ascending. Safe on a worker thread;
// returns what it has as soon as `cancelled` is set.
std::vector<int> matchingGlyphs(const GlyphFilter& filter, const GlyphSource& source,
                                const std::atomic<bool>* cancelled = nullptr);
