// View > "Instructions" on DejaVu Sans: "a" stepped to its end at 11 ppem
// has the hinted points, Step Over a CALL stops right after it, and a
// breakpoint in a function stops the run there.
#include <gtest/gtest.h>

#include "hinting/hinted_glyph.h"
#include "support/font_file_loading.h"
#include "tables/cmap.h"
#include "ui/instructions/instructions_window.h"

namespace {

constexpr std::uint8_t LOOPCALL = 0x2A, CALL = 0x2B;

std::uint8_t nextOpcode(const Execution& e) { return e.code[std::size_t(e.range) - 1][e.ip]; }

// Steps to the first CALL or LOOPCALL; false when the run ends first.
bool stepToCall(InstructionsWindow& window)
{
    const Execution& e = window.session()->execution();
    while (!e.finished && nextOpcode(e) != CALL && nextOpcode(e) != LOOPCALL)
        window.step();
    return !e.finished;
}

} // namespace

TEST(InstructionsWindow, StepsDejaVuSansA)
{
    auto font = std::make_shared<FontState>();
    ASSERT_EQ(loadFontPath(*font, std::string(DEJAVU_DIR) + "/DejaVuSans.ttf"), LoadResult::Loaded);
    const int a = CharToGlyph(*font, 'a');
    InstructionsWindow window;
    window.setPpem(11);
    for (const int version : {40, 35}) {
        SCOPED_TRACE(version);
        window.setVersion(version);
        window.showGlyph(font, a, {});
        ASSERT_TRUE(window.session()->loaded());
        window.runToEnd();
        const Execution& e = window.session()->execution();
        ASSERT_TRUE(e.finished && e.failures.empty());
        // The hinted glyph's frame differs from the run's by the origin alone.
        HintingContext context(*font);
        const HintedGlyph hinted = context.HintGlyph(a, 11, version, {});
        ASSERT_EQ(hinted.points.size(), window.session()->outlinePoints());
        for (std::size_t i = 0; i < hinted.points.size(); ++i) {
            EXPECT_EQ(e.glyph.cur[i].x - e.glyph.cur[0].x, hinted.points[i].x - hinted.points[0].x) << i;
            EXPECT_EQ(e.glyph.cur[i].y, hinted.points[i].y) << i;
        }
    }

    // The control-value program calls the font program's functions.
    window.setProgram(Program::Prep);
    ASSERT_TRUE(stepToCall(window));
    const Execution& e = window.session()->execution();
    const Program range = e.range;
    const std::uint32_t after = e.ip + 1;
    const std::size_t depth = e.calls.size();
    window.step();
    ASSERT_EQ(e.range, Program::Fpgm);
    const std::uint32_t inside = e.ip;
    window.restart();
    ASSERT_TRUE(stepToCall(window));
    window.stepOver();
    EXPECT_EQ(e.range, range);
    EXPECT_EQ(e.ip, after);
    EXPECT_EQ(e.calls.size(), depth);

    // A breakpoint on the function's first instruction, set by its listing line.
    const Disassembly& fpgm = window.session()->listing(Program::Fpgm);
    int row = 0;
    while (std::size_t(row) < fpgm.instructions.size() && fpgm.instructions[std::size_t(row)].offset != inside)
        ++row;
    window.toggleBreakpoint(Program::Fpgm, row);
    window.restart();
    window.runToBreakpoint();
    EXPECT_FALSE(e.finished);
    EXPECT_EQ(e.range, Program::Fpgm);
    EXPECT_EQ(e.ip, inside);
    window.toggleBreakpoint(Program::Fpgm, row);
    window.restart();
    window.runToBreakpoint();
    EXPECT_TRUE(e.finished);
}
