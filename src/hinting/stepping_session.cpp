#include "hinting/stepping_session.h"

#include <optional>

#include "hinting/fixed_math.h"
#include "hinting/hinting_font.h"

namespace {

// The run of `program` as it stood after its first instruction: the glyph's
// last run (a composite's own program comes after its components').
struct FirstStep : StepObserver {
    explicit FirstStep(Program program) : program(program) {}
    void step(const Execution& e) override
    {
        if (e.initialRange == program && e.executed == 1)
            first = e;
    }
    Program program;
    std::optional<Execution> first;
};

} // namespace

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
    FirstStep first(program);
    Execution& e = start_;
    if (program == Program::Prep) {
        // The control-value program runs once per size: a context of its
        // own runs it again.
        HintingContext fresh(font_);
        const SizeState& size = fresh.Size(ppem, version, location, &first);
        if (!first.first) {
            note_ = "The font has no control-value program.";
            return false;
        }
        e = *first.first;
        startDefinitions_ = size.definitions;
        const std::vector<std::int16_t> cvt = VariedCvt(font_, hf, location);
        e.cvt.resize(cvt.size());
        for (std::size_t i = 0; i < cvt.size(); ++i)
            e.cvt[i] = hintmath::mulFix(cvt[i], size.scale);
        e.storage.assign(hf.maxStorage, 0);
        e.twilight.resize(hf.maxTwilightPoints);
        e.gs = GraphicsState{};
    } else {
        if (own.empty()) {
            note_ = "Glyph " + std::to_string(g) + " has no instructions of its own.";
            return false;
        }
        if (hinted_.sizeFailure) {
            note_ = "The font or control-value program failed at this size: the glyph is not hinted.";
            return false;
        }
        context_.HintGlyph(g, ppem, version, location, &first);
        if (!first.first)
            return false;
        const SizeState& size = context_.Size(ppem, version, location);
        e = *first.first;
        startDefinitions_ = size.definitions;
        // The points as the program found them: its original ones, the
        // phantom points rounded as the loader rounds them.
        Zone& z = e.glyph;
        z.cur = z.org;
        const std::size_t n = z.size() - 4;
        z.cur[n].x = hintmath::pixRound(z.cur[n].x);
        z.cur[n + 1].x = hintmath::pixRound(z.cur[n + 1].x);
        z.cur[n + 2].y = hintmath::pixRound(z.cur[n + 2].y);
        z.cur[n + 3].y = hintmath::pixRound(z.cur[n + 3].y);
        for (std::uint8_t& t : z.tags)
            t &= TAG_ON;
        e.gs = size.gs;
        e.cvt = size.cvt;
        e.storage = size.storage;
        e.superRound = size.superRound;
        // A composite's components may have moved twilight points before it runs.
        if (!e.settings.composite)
            e.twilight = size.twilight;
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
