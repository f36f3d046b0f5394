#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "layout/lookup_content.h"
#include "sfnt/table_directory.h"

namespace {

// Each expansion here has a small budget, and an input stops after the lookup
// that spends a few of them in all: an input runs in milliseconds, and the
// fuzzer spends its time on many inputs, not on millions of entries of one.
// The full budget's time and memory are the memory tests'.
constexpr std::size_t StepsPerLookup = 1 << 12, StepsPerInput = 1 << 14;
constexpr std::size_t BrowserRows = 100000;

} // namespace

int fuzz::LayoutTables(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font))
        return 0;
    const int picked = tailByte(data, size, 0) << 8 | tailByte(data, size, 1);
    std::size_t steps = 0;
    for (const bool gpos : {false, true}) {
        const auto read = ReadGsubGpos(TableBytes(font, gpos ? "GPOS" : "GSUB"), gpos);
        const auto* layout = std::get_if<GsubGposTable>(&read);
        if (!layout)
            continue;
        // The language systems' feature indices and the features' lookup indices
        // are the font's word: each looked up as the browser would, within as
        // many rows as its tree takes.
        const auto browse = [&] {
            std::size_t rows = 0;
            for (const ScriptRecord& script : layout->scripts)
                for (const LangSys& lang : script.languages)
                    for (const int f : lang.features) {
                        if (std::size_t(f) >= layout->features.size())
                            continue;
                        for (const int l : layout->features[std::size_t(f)].lookups) {
                            if (++rows > BrowserRows)
                                return;
                            LookupTypeName(gpos, std::size_t(l) < layout->lookups.size() ? layout->lookups[std::size_t(l)].type : 0);
                        }
                    }
        };
        browse();
        for (int l = 0; l < int(layout->lookups.size()) && steps < StepsPerInput; ++l) {
            steps += ExpandLookup(*layout, l, std::nullopt, StepsPerLookup).steps;
            steps += ExpandLookup(*layout, l, picked % std::max(font.NumGlyphs, 1), StepsPerLookup).steps;
        }
    }
    return 0;
}
