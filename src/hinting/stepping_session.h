#pragma once
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "hinting/disassembly.h"
#include "hinting/hinted_glyph.h"
#include "hinting/interpreter.h"

// The instruction debugger's session, without a window: one program of one
// glyph at one size set up to run a step at a time, with its breakpoints,
// Step Over and Step Out, and the instructions that moved each point. The
// glyph's program is the one that runs last for it (a composite's own, over
// its hinted components); the control-value program runs over a new size.
class SteppingSession {
public:
    // One instruction that moved a point.
    struct Move {
        std::int64_t step = 0; // 1 for the program's first instruction
        Program program = Program::Glyph;
        std::uint32_t offset = 0;
        std::uint8_t opcode = 0;
        Vec from, to;
    };

    // `font` must outlive the session.
    explicit SteppingSession(const FontState& font);

    // Sets up `program` (Glyph or Prep) of glyph g at a size and starts it.
    // False when there is nothing to step: the glyph has no instructions, or
    // the font or control-value program failed (the glyph is then unhinted).
    bool Load(int g, int ppem, int version, const Location& location, Program program);
    // Back to the start of the program loaded.
    void Restart();

    void Step();
    // A CALL, LOOPCALL or an instruction definition run to its return.
    void StepOver();
    // Runs to the return from the function the current instruction is in,
    // or to the end outside a function.
    void StepOut();
    void RunToEnd();
    // Runs at least one instruction and stops before the next breakpoint.
    void RunToBreakpoint();

    void ToggleBreakpoint(Program program, std::uint32_t offset);
    bool IsBreakpoint(Program program, std::uint32_t offset) const { return breakpoints_.count({program, offset}) > 0; }

    bool loaded() const { return loaded_; }
    const Execution& execution() const { return exec_; }
    // The CVT as the program found it, in 26.6, and the font's own in font units.
    const std::vector<F26Dot6>& startCvt() const { return start_.cvt; }
    const std::vector<std::int16_t>& fontCvt() const { return context_.programs().cvt; }
    std::int64_t steps() const { return exec_.executed; }
    // Points of the glyph zone that are the outline's (the phantom points follow them).
    std::size_t outlinePoints() const { return loaded_ && exec_.glyph.size() >= 4 ? exec_.glyph.size() - 4 : 0; }
    const std::vector<Move>& movesOf(bool twilight, std::uint32_t point) const;
    const Disassembly& listing(Program program) const { return listings_[std::size_t(program) - 1]; }
    // Why Load found nothing to step, for the window to say.
    const std::string& note() const { return note_; }
    // The glyph as the hinting gives it, for comparison: FreeType's frame.
    const HintedGlyph& hinted() const { return hinted_; }

private:
    void record();
    template <class Stop> void runUntil(Stop stop);

    const FontState& font_;
    HintingContext context_;
    Execution start_; // the program as it starts, copied on Restart
    Execution exec_;
    Definitions definitions_; // the execution's, so that a restart forgets what a run defined
    Definitions startDefinitions_;
    bool loaded_ = false;
    int glyph_ = -1;
    std::string note_;
    HintedGlyph hinted_;
    std::array<Disassembly, 3> listings_;
    std::set<std::pair<Program, std::uint32_t>> breakpoints_;
    std::vector<std::vector<Move>> glyphMoves_, twilightMoves_;
    std::vector<Vec> glyphAt_, twilightAt_; // where each point was before the step
};
