#include "ui/problems/font_checks.h"

#include <chrono>
#include <numeric>

FontChecks::FontChecks(QObject* parent) : QObject(parent)
{
    pool_.setMaxThreadCount(1);
}

FontChecks::~FontChecks()
{
    cancel();
    pool_.waitForDone();
}

void FontChecks::cancel()
{
    if (cancelled_)
        cancelled_->store(true);
    cancelled_.reset();
    ++generation_; // batches already on their way are dropped
    running_ = false;
}

// The worker hands back a batch at most ten times a second, so a font of
// 65 535 glyphs costs the GUI thread a few hundred small updates.
void FontChecks::start(std::shared_ptr<const FontState> font, const Location& location)
{
    cancel();
    found_.clear();
    checks_.assign(std::size_t(std::max(0, font ? font->NumGlyphs : 0)), 0);
    checked_ = 0;
    if (checks_.empty())
        return;
    running_ = true;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    cancelled_ = cancelled;
    const quint64 generation = generation_;
    pool_.start([this, font, location, cancelled, generation] {
        std::vector<int> glyphs(std::size_t(font->NumGlyphs));
        std::iota(glyphs.begin(), glyphs.end(), 0);
        using Clock = std::chrono::steady_clock;
        auto handed = Clock::now();
        std::vector<GlyphFindings> batch;
        int checked = 0;
        auto hand = [&](bool last) {
            QMetaObject::invokeMethod(this, [this, generation, checked, last, b = std::move(batch)]() mutable {
                if (generation == generation_)
                    take(std::move(b), checked, last);
            });
            batch.clear();
            handed = Clock::now();
        };
        CheckGlyphs(*font, location, glyphs, [&](GlyphFindings&& g) {
            if (cancelled->load(std::memory_order_relaxed))
                return false;
            ++checked;
            if (!g.findings.empty()) {
                g.reports = {}; // the window shows the findings only
                batch.push_back(std::move(g));
            }
            if (Clock::now() - handed > std::chrono::milliseconds(100))
                hand(false);
            return true;
        });
        if (!cancelled->load())
            hand(true); // never `this` after a cancel: the destructor may be waiting
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
