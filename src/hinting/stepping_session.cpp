#include "hinting/stepping_session.h"

#include <optional>

#include "hinting/hinting_font.h"

SteppingSession::SteppingSession(const FontState& font) : font_(font), context_(font) {}

bool SteppingSession::Load(int g, int ppem, int version, const Location& location, Program program)
{
    loaded_ = false;
    note_.clear();
    // Breakpoints in the font and control-value programs stay for the next
    // glyph; those in a glyph's own program are that glyph's.
    if (g != glyph_)
        std::erase_if(breakpoints_, [](const auto& b) { return b.first == Program::Glyph; });
    glyph_ = g;
    const HintingFont& hf = context_.programs();
    const std::span<const std::uint8_t> own = GlyphInstructions(font_, g).bytes;
    listings_ = {Disassemble(hf.fpgm), Disassemble(hf.prep), Disassemble(own)};
    hinted_ = context_.HintGlyph(g, ppem, version, location);
    Execution& e = start_;
    if (program == Program::Prep) {
        std::optional<PausedPrep> paused = context_.PrepExecution(ppem, version, location);
        if (!paused) {
            note_ = hf.prep.empty() ? "The font has no control-value program."
                                    : "The font program failed: the control-value program does not run.";
            return false;
        }
        e = std::move(paused->execution);
        startDefinitions_ = std::move(paused->definitions);
    } else {
        if (own.empty()) {
            note_ = "Glyph " + std::to_string(g) + " has no instructions of its own.";
            return false;
        }
        if (hinted_.sizeFailure) {
            note_ = "The font or control-value program failed at this size: the glyph is not hinted.";
            return false;
        }
        std::optional<Execution> paused = context_.GlyphExecution(g, ppem, version, location);
        if (!paused)
            return false;
        e = std::move(*paused);
        startDefinitions_ = context_.Size(ppem, version, location).definitions;
        // The session's own CVT and storage, as the program finds them: a
        // restart starts from these, whatever the context runs meanwhile.
        e.cvt = e.Cvt();
        e.storage = e.Storage();
        e.sharedCvt = nullptr;
        e.sharedStorage = nullptr;
    }
    std::fill(e.stack.begin(), e.stack.end(), 0);
    e.recordSteps = true;
    e.definitions = nullptr; // Restart points it at the session's copy
    loaded_ = true;
    Restart();
    return true;
}

void SteppingSession::Restart()
{
    if (!loaded_)
        return;
    exec_ = start_;
    definitions_ = startDefinitions_;
    exec_.definitions = &definitions_;
    exec_.Start(start_.initialRange);
    glyphAt_ = exec_.glyph.cur;
    twilightAt_ = exec_.twilight.cur;
    glyphMoves_.assign(glyphAt_.size(), {});
    twilightMoves_.assign(twilightAt_.size(), {});
}

void SteppingSession::record()
{
    const StepRecord& s = exec_.lastStep;
    for (const StepRecord::Moved& m : s.moved) {
        std::vector<Vec>& at = m.twilight ? twilightAt_ : glyphAt_;
        std::vector<std::vector<Move>>& moves = m.twilight ? twilightMoves_ : glyphMoves_;
        if (m.point >= at.size() || m.point >= moves.size())
            continue;
        moves[m.point].push_back({exec_.executed, s.program, s.offset, s.opcode, at[m.point], m.to});
        at[m.point] = m.to;
    }
}

void SteppingSession::Step()
{
    if (!loaded_ || exec_.finished)
        return;
    exec_.Step();
    record();
}

// Steps until `stop` holds or the run ends; the run's own limits bound it.
template <class Stop> void SteppingSession::runUntil(Stop stop)
{
    while (loaded_ && !exec_.finished && !stop())
        Step();
}

void SteppingSession::StepOver()
{
    const std::size_t depth = exec_.calls.size();
    Step();
    runUntil([&] { return exec_.calls.size() <= depth; });
}

void SteppingSession::StepOut()
{
    const std::size_t depth = exec_.calls.size();
    Step();
    runUntil([&] { return depth > 0 && exec_.calls.size() < depth; });
}

void SteppingSession::RunToEnd()
{
    runUntil([] { return false; });
}

void SteppingSession::RunToBreakpoint()
{
    Step();
    runUntil([&] { return IsBreakpoint(exec_.range, exec_.ip); });
}

void SteppingSession::ToggleBreakpoint(Program program, std::uint32_t offset)
{
    if (!breakpoints_.erase({program, offset}))
        breakpoints_.insert({program, offset});
}

const std::vector<SteppingSession::Move>& SteppingSession::movesOf(bool twilight, std::uint32_t point) const
{
    static const std::vector<Move> none;
    const std::vector<std::vector<Move>>& moves = twilight ? twilightMoves_ : glyphMoves_;
    return point < moves.size() ? moves[point] : none;
}
