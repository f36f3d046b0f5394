#include "ui/colour/colour_view.h"

#include <QAction>
#include <QKeySequence>

#include "ui/colour/colour_window.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/satellite_window.h"
#include "ui/session_signals.h"

ColourView::ColourView(QWidget* window, const QWidget* canvas, SessionSignals& session, QMenu* viewMenu)
    : QObject(window), session_(session), window_(new ColourWindow(window))
{
    window_->setObjectName("colourWindow");
    window_->setWindowFlag(Qt::Window);
    makeSatellite(window_, window, canvas);
    action_ = satelliteAction(viewMenu, window_, "Colour", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), [this] {
        outline_ = -1;
        follow();
    });
    connect(&session_, &SessionSignals::fontOpened, this, &ColourView::fontOpened);
    connect(&session_, &SessionSignals::glyphShown, this, &ColourView::follow);
    connect(&session_, &SessionSignals::locationChanged, this, &ColourView::follow);
    connect(window_, &ColourWindow::outlineChosen, this, [this](int glyph) {
        outline_ = glyph;
        session_.session().showGlyph(glyph);
    });
}

void ColourView::fontOpened()
{
    const std::shared_ptr<const FontState>& font = session_.session().font();
    tables_ = font && font->Loaded ? FontColourTables(*font) : nullptr;
    action_->setEnabled(tables_ != nullptr);
    outline_ = -1;
    if (!tables_)
        window_->hide();
    follow();
}

// The glyph shown, unless it is the outline the window itself asked for:
// then the window keeps the colour glyph it came from.
void ColourView::follow()
{
    if (!window_->isVisible() || !tables_)
        return;
    const FontSession& session = session_.session();
    const int glyph = session.CurrentGlyph() == outline_ ? window_->glyph() : session.CurrentGlyph();
    if (session.CurrentGlyph() != outline_)
        outline_ = -1;
    window_->showGlyph(session.font(), tables_, glyph, session.location());
}
