#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "outline/composite.h"
#include "sfnt/location.h"
#include "tables/font_state.h"

// What the interpreter needs of a font besides its outlines, read once
// through the checked reader: the font and control-value programs, the CVT,
// maxp's limits, the metrics of the phantom points and hdmx. Tables that are
// missing or cut short read as empty; nothing here fails.
struct HintingFont {
    std::span<const std::uint8_t> fpgm, prep;
    std::vector<std::int16_t> cvt; // in font units
    std::uint16_t maxStorage = 0, maxFunctionDefs = 0, maxInstructionDefs = 0, maxStackElements = 0,
                  maxTwilightPoints = 0;
    bool hasOs2 = false;
    std::int16_t typoAscender = 0, typoDescender = 0;
    bool fixedPitch = false;                // post's isFixedPitch: FreeType then ignores hdmx
    std::span<const std::uint8_t> hdmx;     // the whole table
    std::span<const std::uint8_t> cvar;     // the whole table
};

HintingFont ReadHintingFont(const FontState& font);

// True when the font has a font program, a control-value program or any glyph instructions.
bool HasInstructions(const FontState& font, const HintingFont& hf);

// The CVT varied by cvar at `location` (normalized), each entry's deltas
// summed in 16.16 and rounded once. Data that cannot be used leaves the CVT
// as it is.
std::vector<std::int16_t> VariedCvt(const FontState& font, const HintingFont& hf, const Location& location);

// hdmx's advance in whole pixels for glyph g at `ppem`; -1 when there is none.
int HdmxAdvance(const HintingFont& hf, int numGlyphs, int ppem, int g);
