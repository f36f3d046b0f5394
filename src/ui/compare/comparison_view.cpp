#include "ui/compare/comparison_view.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>

#include "platform/font_file.h"
#include "platform/outline_path.h"
#include "report/container_text.h"
#include "report/messages.h"
#include "tables/fvar.h"
#include "ui/font_sources.h"
#include "ui/main/glyph_canvas.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/satellite_window.h"
#include "ui/session_signals.h"
#include "ui/status_label.h"
#include "ui/variations/variations_dialog.h"

ComparisonView::ComparisonView(QWidget* window, GlyphCanvas* canvas, SessionSignals& session, QMenu* viewMenu,
                               QWidget* statusBar)
    : QObject(window), window_(window), session_(session), canvas_(canvas)
{
    overlay_ = viewMenu->addAction("Overlay");
    overlay_->setObjectName("mnuOverlay");
    overlay_->setCheckable(true);
    overlay_->setEnabled(false); // until a comparison
    stepChanges_ = viewMenu->addAction("Step Through Changes");
    stepChanges_->setObjectName("mnuStepChanges");
    stepChanges_->setCheckable(true);
    stepChanges_->setEnabled(false);
    progress_ = new StatusLabel(static_cast<QStatusBar*>(statusBar));
    progress_->setObjectName("compareProgress");
    progress_->hide();

    connect(overlay_, &QAction::toggled, this, &ComparisonView::showOverlay);
    connect(&session_, &SessionSignals::glyphShown, this, &ComparisonView::showOverlay);
    connect(&session_, &SessionSignals::fontOpened, this, [this] {
        if (locationDialog_)
            locationDialog_->hide(); // its axes are the font's before
        if (comparing())
            start();
    });
    connect(&session_, &SessionSignals::locationChanged, this, [this] {
        if (comparing())
            start();
    });
}

std::string ComparisonView::compareWith(const std::string& path, int face)
{
    OpenedFont opened = OpenFontPath(path, true, face);
    if (opened.result == LoadResult::Refused)
        return ContainerFailureText(opened.refusal);
    if (opened.result == LoadResult::Unreadable)
        return "it could not be read";
    if (opened.result != LoadResult::Loaded)
        return WhyNotOpened(opened.reports);
    if (locationDialog_)
        locationDialog_->hide(); // it moves the open font, no longer compared
    setOther(std::make_shared<const FontState>(std::move(opened.font)), opened.faces, {});
    return {};
}

void ComparisonView::compareAt(const std::vector<Fixed>& user)
{
    const FontSession& s = session_.session();
    if (s.font()->Loaded)
        setOther(s.font(), s.faceCount(), user);
}

// The pairing is kept while both fonts stay: moving the other location
// compares again without pairing again.
void ComparisonView::setOther(std::shared_ptr<const FontState> font, int faces, const std::vector<Fixed>& user)
{
    if (font != other_)
        pairing_.reset();
    other_ = std::move(font);
    otherFaces_ = faces;
    otherUser_ = user;
    otherLocation_ = Normalize(other_->Variations, user);
    overlay_->setEnabled(true);
    stepChanges_->setEnabled(true);
    start();
}

void ComparisonView::chooseLocation()
{
    const FontSession& s = session_.session();
    if (s.font()->Variations.axes.empty())
        return;
    if (!locationDialog_) {
        locationDialog_ = new VariationsDialog(window_);
        locationDialog_->setObjectName("compareLocation");
        locationDialog_->setWindowTitle("Compare With Location");
        makeSatellite(locationDialog_, window_, canvas_);
        connect(locationDialog_, &VariationsDialog::locationChanged, this, &ComparisonView::compareAt);
    }
    const std::vector<Fixed> user =
        s.userLocation().empty() ? DefaultCoordinates(s.font()->Variations) : s.userLocation();
    locationDialog_->setAxes(s.font()->Variations, user);
    locationDialog_->show();
    locationDialog_->raise();
    compareAt(user);
}

QString ComparisonView::otherLabel() const
{
    return other_ ? FontSourceLabel(*other_, otherFaces_, otherUser_) : QString();
}

// The worker pairs the glyphs (unless the pairing of these two fonts is
// known), hands the pairing back, then compares, handing back the
// comparisons in batches.
void ComparisonView::start()
{
    if (session_.session().font() != mine_)
        pairing_.reset();
    mine_ = session_.session().font();
    if (!pairing_)
        oldOf_.clear();
    changes_.assign(std::size_t(std::max(0, mine_->NumGlyphs)), -1);
    compared_ = changed_ = removed_ = 0;
    running_ = true;
    showProgress();
    showOverlay();
    run_.start([this, other = other_, mine = mine_, pairing = pairing_, oldAt = otherLocation_,
                newAt = session_.session().location()](BackgroundRun::Job& job) mutable {
        if (!pairing) {
            pairing = std::make_shared<const GlyphPairing>(PairGlyphs(*other, *mine));
            job.hand([this, pairing] { paired(pairing); });
        }
        std::vector<GlyphComparison> batch;
        auto hand = [&](bool last) {
            job.hand([this, last, b = std::move(batch)]() mutable { take(std::move(b), last); });
            batch.clear();
        };
        DiffFonts({*other, oldAt}, {*mine, newAt}, *pairing, [&](GlyphComparison&& c) {
            if (job.cancelled())
                return false;
            c.reports = {}; // the window shows the changes only
            batch.push_back(std::move(c));
            if (job.due())
                hand(false);
            return true;
        });
        hand(true);
    });
}

void ComparisonView::paired(std::shared_ptr<const GlyphPairing> pairing)
{
    pairing_ = std::move(pairing);
    oldOf_.assign(changes_.size(), -1);
    for (const PairedGlyph& pair : pairing_->pairs)
        if (pair.newGlyph >= 0 && std::size_t(pair.newGlyph) < oldOf_.size())
            oldOf_[std::size_t(pair.newGlyph)] = pair.oldGlyph;
    showOverlay();
}

void ComparisonView::take(std::vector<GlyphComparison>&& batch, bool last)
{
    for (const GlyphComparison& c : batch) {
        if (c.pair.newGlyph < 0) {
            ++removed_;
        } else if (std::size_t(c.pair.newGlyph) < changes_.size()) {
            changes_[std::size_t(c.pair.newGlyph)] = std::int8_t(c.change);
            ++compared_;
            changed_ += c.change != GlyphChange::Identical;
        }
    }
    running_ = !last;
    showProgress();
    emit changesFound(changes_);
}

void ComparisonView::showProgress()
{
    progress_->show();
    progress_->setToolTip(QStringLiteral("Compared with ") + otherLabel());
    if (running_)
        progress_->setText(pairing_ ? QStringLiteral("Comparing %1%").arg(compared_ * 100 / std::max<std::size_t>(1, changes_.size()))
                                    : QStringLiteral("Pairing glyphs"));
    else
        progress_->setText(QStringLiteral("%1 glyphs changed, %2 removed").arg(changed_).arg(removed_));
}

// The partner's outline as the canvas places the glyph shown, scaled from
// its font's units to the shown font's, and an arrow per point moved, from
// where it was to where it is (points pair only between outlines of the
// same contours and point counts).
void ComparisonView::showOverlay()
{
    const FontSession& s = session_.session();
    const int glyph = s.CurrentGlyph();
    if (!comparing() || !pairing_ || !overlay_->isChecked() || s.font() != mine_ || glyph < 0
        || std::size_t(glyph) >= oldOf_.size() || oldOf_[std::size_t(glyph)] < 0) {
        canvas_->setOverlay({}, {});
        return;
    }
    const int partner = oldOf_[std::size_t(glyph)];
    // A unitsPerEm no glyph is drawn by leaves the partner unscaled.
    const HeadRecord& from = other_->HeadTable;
    const HeadRecord& to = mine_->HeadTable;
    const double scale =
        from.usableUnitsPerEm() && to.usableUnitsPerEm() ? double(to.UnitsPerEm) / from.UnitsPerEm : 1.0;
    const QTransform toMine = QTransform::fromScale(scale, scale);
    const GlyphShape shape = FontGlyphSource(other_, {}, otherLocation_).shape(partner);
    const GlyphComparison c = CompareGlyphs({*other_, otherLocation_}, {*mine_, s.location()}, *pairing_,
                                            {partner, glyph}, true);
    // A point no further off than the rounding to whole units of either
    // font moved only by the scaling: no arrow.
    const double rounding = std::max(1.0, scale) * 0.75;
    std::vector<QLineF> arrows;
    for (const PointMove& m : c.moves) {
        const QLineF arrow(toMine.map(QPointF(m.from.x, m.from.y)), QPointF(m.to.x, m.to.y));
        if (scale == 1.0 || arrow.length() > rounding)
            arrows.push_back(arrow);
    }
    canvas_->setOverlay(toMine.map(ContoursPath(shape.outline)), std::move(arrows));
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
