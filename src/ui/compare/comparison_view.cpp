#include "ui/compare/comparison_view.h"

#include <chrono>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

#include "platform/font_file.h"
#include "platform/outline_path.h"
#include "report/container_text.h"
#include "report/messages.h"
#include "ui/main/glyph_canvas.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/session_signals.h"

ComparisonView::ComparisonView(QWidget* window, GlyphCanvas* canvas, SessionSignals& session, QMenu* viewMenu,
                               QWidget* statusBar)
    : QObject(window), session_(session), canvas_(canvas)
{
    pool_.setMaxThreadCount(1);
    overlay_ = viewMenu->addAction("Overlay");
    overlay_->setObjectName("mnuOverlay");
    overlay_->setCheckable(true);
    overlay_->setEnabled(false); // until a comparison
    stepChanges_ = viewMenu->addAction("Step Through Changes");
    stepChanges_->setObjectName("mnuStepChanges");
    stepChanges_->setCheckable(true);
    stepChanges_->setEnabled(false);
    progress_ = new QLabel(statusBar);
    progress_->setObjectName("compareProgress");
    static_cast<QStatusBar*>(statusBar)->addPermanentWidget(progress_);
    progress_->hide();

    connect(overlay_, &QAction::toggled, this, &ComparisonView::showOverlay);
    connect(&session_, &SessionSignals::glyphShown, this, &ComparisonView::showOverlay);
    connect(&session_, &SessionSignals::fontOpened, this, [this] {
        if (comparing())
            start();
    });
    connect(&session_, &SessionSignals::locationChanged, this, [this] {
        if (comparing())
            start();
    });
}

ComparisonView::~ComparisonView()
{
    if (cancelled_)
        cancelled_->store(true);
    pool_.waitForDone();
}

std::string ComparisonView::compareWith(const std::string& path)
{
    OpenedFont opened = OpenFontPath(path, true, 0);
    if (opened.result == LoadResult::Refused)
        return ContainerFailureText(opened.refusal);
    if (opened.result == LoadResult::Unreadable)
        return "it could not be read";
    if (opened.result != LoadResult::Loaded)
        return WhyNotOpened(opened.reports);
    other_ = std::make_shared<const FontState>(std::move(opened.font));
    overlay_->setEnabled(true);
    stepChanges_->setEnabled(true);
    start();
    return {};
}

// The pairing is made at once (names and codes only); the glyphs are
// compared on the worker, handed back at most ten times a second.
void ComparisonView::start()
{
    if (cancelled_)
        cancelled_->store(true);
    ++generation_;
    mine_ = session_.session().font();
    pairing_ = PairGlyphs(*other_, *mine_);
    oldOf_.assign(std::size_t(std::max(0, mine_->NumGlyphs)), -1);
    for (const PairedGlyph& pair : pairing_.pairs)
        if (pair.newGlyph >= 0 && std::size_t(pair.newGlyph) < oldOf_.size())
            oldOf_[std::size_t(pair.newGlyph)] = pair.oldGlyph;
    changes_.assign(oldOf_.size(), -1);
    removed_ = 0;
    running_ = true;
    showProgress();
    showOverlay();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    cancelled_ = cancelled;
    const quint64 generation = generation_;
    pool_.start([this, other = other_, mine = mine_, pairing = pairing_, location = session_.session().location(),
                 cancelled, generation] {
        using Clock = std::chrono::steady_clock;
        auto handed = Clock::now();
        std::vector<GlyphComparison> batch;
        auto hand = [&](bool last) {
            QMetaObject::invokeMethod(this, [this, generation, last, b = std::move(batch)]() mutable {
                if (generation == generation_)
                    take(std::move(b), last);
            });
            batch.clear();
            handed = Clock::now();
        };
        DiffFonts({*other, Location{}}, {*mine, location}, pairing, [&](GlyphComparison&& c) {
            if (cancelled->load(std::memory_order_relaxed))
                return false;
            c.reports = {};
            batch.push_back(std::move(c));
            if (Clock::now() - handed > std::chrono::milliseconds(100))
                hand(false);
            return true;
        });
        if (!cancelled->load())
            hand(true);
    });
}

void ComparisonView::take(std::vector<GlyphComparison>&& batch, bool last)
{
    for (const GlyphComparison& c : batch) {
        if (c.pair.newGlyph < 0)
            ++removed_;
        else if (std::size_t(c.pair.newGlyph) < changes_.size())
            changes_[std::size_t(c.pair.newGlyph)] = std::int8_t(c.change);
    }
    running_ = !last;
    showProgress();
    emit changesFound(changes_);
}

void ComparisonView::showProgress()
{
    progress_->show();
    int compared = 0, changed = 0;
    for (std::int8_t c : changes_) {
        compared += c >= 0;
        changed += c > 0;
    }
    progress_->setText(running_ ? QStringLiteral("Comparing %1 of %2 glyphs").arg(compared).arg(changes_.size())
                                : QStringLiteral("%1 glyphs changed, %2 removed").arg(changed).arg(removed_));
}

// The partner's outline in font units as the canvas places the glyph shown,
// and an arrow per point moved, from where it was to where it is.
void ComparisonView::showOverlay()
{
    const FontSession& s = session_.session();
    const int glyph = s.CurrentGlyph();
    if (!comparing() || !overlay_->isChecked() || s.font() != mine_ || glyph < 0 ||
        std::size_t(glyph) >= oldOf_.size() || oldOf_[std::size_t(glyph)] < 0) {
        canvas_->setOverlay({}, {});
        return;
    }
    const int partner = oldOf_[std::size_t(glyph)];
    const GlyphShape shape = FontGlyphSource(other_, {}).shape(partner);
    const GlyphComparison c =
        CompareGlyphs({*other_, Location{}}, {*mine_, s.location()}, pairing_, {partner, glyph}, true);
    std::vector<QLineF> arrows;
    for (const PointMove& m : c.moves)
        arrows.emplace_back(m.from.x, m.from.y, m.to.x, m.to.y);
    canvas_->setOverlay(ContoursPath(shape.outline), std::move(arrows));
}

bool ComparisonView::stepChanged(int by)
{
    if (!comparing() || !stepChanges_->isChecked())
        return false;
    FontSession& s = session_.session();
    for (int g = s.CurrentGlyph() + by; g >= 0 && std::size_t(g) < changes_.size(); g += by)
        if (changes_[std::size_t(g)] > 0) {
            s.showGlyph(g);
            return true;
        }
    return true; // none left that way: the glyph shown stays
}
