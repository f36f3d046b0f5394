#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "hinting/hinting_font.h"
#include "hinting/interpreter.h"
#include "outline/outline.h"
#include "sfnt/location.h"
#include "tables/font_state.h"

// A glyph hinted as FreeType 2.12's FT_Load_Glyph gives it with
// FT_LOAD_NO_AUTOHINT | FT_LOAD_NO_BITMAP at a pixel size: its points in
// 26.6 pixels in FreeType's frame (the origin at the first phantom point:
// hinted and rounded with v35, unhinted and unrounded in v40's backward
// compatibility mode), and FreeType's advance.
struct HintedPoint {
    F26Dot6 x = 0, y = 0;
    PointKind kind = PointKind::OnCurve;
};

struct HintedGlyph {
    std::vector<HintedPoint> points;
    std::vector<int> ends;
    std::array<Vec, 4> phantoms{}; // as the glyph's program left them, in the same frame
    F26Dot6 advance = 0;
    std::int64_t instructions = 0;  // run for the glyph and its components
    bool hinted = false;            // false: the unhinted points scaled (instructions off, or a failure below)
    std::optional<HintFailure> sizeFailure;  // the font or control-value program's failure
    std::vector<HintFailure> failures;       // the glyph's programs' failures
};

// Told of each instruction as it runs, with the execution between steps.
class StepObserver {
public:
    virtual ~StepObserver() = default;
    virtual void step(const Execution& execution) = 0;
};

// The interpreter's state at a size after the control-value program.
struct SizeState {
    std::int32_t ppem = 0;
    std::int32_t scale = 0; // font units to 26.6, 16.16
    Definitions definitions;
    GraphicsState gs;
    SuperRound superRound;
    std::vector<F26Dot6> cvt;
    std::vector<std::int64_t> storage;
    Zone twilight;
    std::optional<HintFailure> failure; // the font or control-value program's
};

struct PausedPrep {
    Execution execution;
    Definitions definitions;
};

// Hinting for one loaded font: the font program's definitions and each size's
// state after the control-value program, run once and kept. The font is
// read-only and shared; the caller owns this context (one a thread).
class HintingContext {
public:
    explicit HintingContext(const FontState& font);

    const HintingFont& programs() const { return hf_; }

    // Glyph g at `ppem` with interpreter `version` (35 or 40) at `location`.
    // An observer is told of every instruction: the control-value program's
    // when this size is first prepared, then the glyph's.
    HintedGlyph HintGlyph(int g, int ppem, int version, const Location& location, StepObserver* observer = nullptr);

    // The state at a size, prepared when first asked for.
    const SizeState& Size(int ppem, int version, const Location& location, StepObserver* observer = nullptr);

    // For a debugger: glyph g's own program ready to step, its zone as the
    // loader hands it over (a composite's components already hinted) and
    // the size's state; nothing when the glyph has no program or the size
    // is left unhinted. Step() it, or Run() it, and read its members; it
    // reads the size's CVT and storage from this context, so it lives no
    // longer than the context.
    std::optional<Execution> GlyphExecution(int g, int ppem, int version, const Location& location);

    // For a debugger: the control-value program at a size ready to step, as
    // it runs when the size is first prepared, with the font program's
    // definitions it starts from (point the execution's definitions at a
    // copy of them); nothing when there is no control-value program or the
    // font program failed.
    std::optional<PausedPrep> PrepExecution(int ppem, int version, const Location& location);

    // What a run knows of the size and the interpreter it imitates.
    RunSettings Settings(int ppem, int version, const Location& location, bool composite) const;

private:
    struct FontRun {
        Definitions definitions;
        SuperRound superRound;
        std::optional<HintFailure> failure;
    };
    const FontRun& fontRun(int version);
    std::unique_ptr<SizeState> startSize(int ppem, int version, const Location& location, Execution& exec);

    const FontState& font_;
    HintingFont hf_;
    // Buffers kept from glyph to glyph: hinting a font allocates little.
    Execution exec_;
    std::vector<Vec> points_;
    std::vector<std::uint8_t> tags_;
    std::vector<int> ends_;
    const SizeState* lastSize_ = nullptr;
    std::tuple<int, int, std::vector<double>> lastKey_;
    RunSettings lastSettings_;
    const SizeState* twilightOf_ = nullptr; // the size whose twilight zone exec_ holds
    std::map<int, FontRun> fontRuns_;
    std::map<std::tuple<int, int, std::vector<double>>, std::unique_ptr<SizeState>> sizes_;
};

// The code of each range for an execution: the font program, the
// control-value program and `glyph`.
std::array<std::span<const std::uint8_t>, 3> CodeRanges(const HintingFont& hf, std::span<const std::uint8_t> glyph);
