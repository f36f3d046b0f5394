#include "ui/problems/font_checks.h"

#include <numeric>

void FontChecks::cancel()
{
    run_.cancel();
    running_ = false;
}

void FontChecks::start(std::shared_ptr<const FontState> font, const Location& location)
{
    cancel();
    found_.clear();
    checks_.assign(std::size_t(std::max(0, font ? font->NumGlyphs : 0)), 0);
    checked_ = 0;
    if (checks_.empty())
        return;
    running_ = true;
    run_.start([this, font, location](BackgroundRun::Job& job) {
        std::vector<int> glyphs(std::size_t(font->NumGlyphs));
        std::iota(glyphs.begin(), glyphs.end(), 0);
        std::vector<GlyphFindings> batch;
        int checked = 0;
        auto hand = [&](bool last) {
            job.hand([this, checked, last, b = std::move(batch)]() mutable { take(std::move(b), checked, last); });
            batch.clear();
        };
        CheckGlyphs(*font, location, glyphs, [&](GlyphFindings&& g) {
            if (job.cancelled())
                return false;
            ++checked;
            if (!g.findings.empty()) {
                g.reports = {}; // the window shows the findings only
                batch.push_back(std::move(g));
            }
            if (job.due())
                hand(false);
            return true;
        });
        hand(true);
    });
}

void FontChecks::take(std::vector<GlyphFindings>&& batch, int checked, bool last)
{
    for (GlyphFindings& g : batch) {
        if (std::size_t(g.glyph) < checks_.size())
            for (const Finding& f : g.findings)
                checks_[std::size_t(g.glyph)] |= std::uint16_t(1u << unsigned(f.check));
        found_.push_back(std::move(g));
    }
    checked_ = checked;
    running_ = !last;
    emit progressed();
}
