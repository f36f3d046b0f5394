#include "ui/overview/overview_view.h"

#include <QFileInfo>
#include <QTimer>

#include "platform/paths.h"
#include "tables/names.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/overview/overview.h"
#include "ui/satellite_window.h"
#include "ui/session_signals.h"

namespace {

constexpr int FullNameId = 4;
constexpr int LocationPauseMs = 150;

} // namespace

OverviewView::OverviewView(QWidget* window, const QWidget* canvas, SessionSignals& session, Toolkit& toolkit)
    : QObject(window), window_(window), canvas_(canvas), session_(session), toolkit_(toolkit), later_(new QTimer(this))
{
    later_->setSingleShot(true);
    later_->setInterval(LocationPauseMs);
    connect(later_, &QTimer::timeout, this, &OverviewView::refresh);
    connect(&session_, &SessionSignals::fontOpened, this, &OverviewView::refresh);
    connect(&session_, &SessionSignals::locationChanged, this, [this] {
        if (overview_)
            later_->start();
    });
}

void OverviewView::setProblems(const std::vector<std::uint16_t>& checksByGlyph)
{
    auto marks = std::make_shared<GlyphMarks>(marks_ ? *marks_ : GlyphMarks{});
    marks->problems = checksByGlyph;
    marks_ = marks;
    if (overview_)
        overview_->setMarks(marks_);
}

void OverviewView::setChanges(const std::vector<std::int8_t>& changeByGlyph)
{
    auto marks = std::make_shared<GlyphMarks>(marks_ ? *marks_ : GlyphMarks{});
    marks->changes = changeByGlyph;
    marks_ = marks;
    if (overview_)
        overview_->setMarks(marks_);
}

void OverviewView::show()
{
    if (!overview_) {
        overview_ = new OverviewWindow(toolkit_, window_);
        overview_->setObjectName("overview");
        makeSatellite(overview_, window_, canvas_);
        connect(overview_, &OverviewWindow::glyphActivated, this,
                [this](int glyph) { session_.session().showGlyph(glyph); });
        connect(&session_, &SessionSignals::glyphShown, overview_, &OverviewWindow::showGlyph);
        connect(overview_, &OverviewWindow::colourToggled, this, &OverviewView::refresh);
        overview_->setMarks(marks_);
        refresh();
    }
    overview_->show();
    overview_->raise();
    overview_->activateWindow();
}

// The font at the session's location, named by its full name, else its file's.
void OverviewView::refresh()
{
    later_->stop();
    if (!overview_)
        return;
    const FontSession& session = session_.session();
    const std::shared_ptr<const FontState>& font = session.font();
    if (!font->Loaded) {
        overview_->setSource(nullptr);
        return;
    }
    const bool sameFont = font->FontFileName == file_ && font->Face == face_;
    file_ = font->FontFileName;
    face_ = font->Face;
    if (colourFont_.lock() != font) {
        colour_ = FontColourTables(*font); // once per font: the tables do not change with the location
        colourFont_ = font;
    }
    overview_->offerColour(colour_ != nullptr, !sameFont);
    std::string name = FontNameText(*font, FullNameId);
    if (name.empty())
        name = QFileInfo(fromPath(font->FontFileName)).fileName().toStdString();
    overview_->setSource(std::make_shared<FontGlyphSource>(font, name, session.location(),
                                                          overview_->colourShown() ? colour_ : nullptr), sameFont);
    overview_->showGlyph(session.CurrentGlyph());
}
