#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "hinting/disassembly.h"
#include "hinting/hinted_glyph.h"
#include "hinting/hinting_font.h"

namespace {

// The glyphs each input hints: the first few (a seed's instructed glyphs) and
// a few the input picks, composites among them when the font has any.
constexpr int FirstGlyphs = 6, PickedGlyphs = 3;

// Reads what a debugger reads after each step, so the recorded pops and
// moves are built and touched; summed modulo 2^64, as popped values can be any.
class StepReader : public StepObserver {
public:
    void step(const Execution& e) override
    {
        for (const std::int64_t v : e.lastStep.pops)
            sum_ += std::uint64_t(v);
        for (const StepRecord::Moved& m : e.lastStep.moved)
            sum_ += std::uint64_t(m.to.x ^ m.to.y);
    }
    std::uint64_t sum() const { return sum_; }

private:
    std::uint64_t sum_ = 0;
};

} // namespace

int fuzz::HintedGlyphs(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font))
        return 0;
    HintingContext context(font);
    if (!HasInstructions(font, context.programs()))
        return 0;
    Disassemble(context.programs().fpgm);
    Disassemble(context.programs().prep);
    // The size (6 to 200: past 100 deltas and rounding take other paths) and
    // the interpreter version are the input's choice, so that each input runs
    // one size state and the fuzzer gets through more inputs; the glyphs are
    // hinted at the default and at the input's location.
    const int ppem = 6 + tailByte(data, size, 6) % 195;
    const int version = tailByte(data, size, 7) % 2 ? 35 : 40;
    const Location chosen = locationFrom(data, size, int(font.Variations.axes.size()));
    const std::vector<int> glyphs = glyphsChosen(font, data, size, FirstGlyphs, PickedGlyphs);
    for (const int g : glyphs)
        Disassemble(GlyphInstructions(font, g).bytes);
    StepReader reader;
    for (const Location& at : {Location{}, chosen}) {
        for (const int g : glyphs)
            context.HintGlyph(g, ppem, version, at, g % 2 ? &reader : nullptr);
        if (font.Variations.axes.empty())
            break;
    }
    return int(reader.sum() & 0);
}
