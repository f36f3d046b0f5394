#include "ui/instructions/instructions_view.h"

#include <QAction>
#include <QKeySequence>

#include "hinting/hinting_font.h"
#include "ui/instructions/instructions_window.h"
#include "ui/satellite_window.h"
#include "ui/session_signals.h"

InstructionsView::InstructionsView(QWidget* window, const QWidget* canvas, SessionSignals& session, QMenu* viewMenu)
    : QObject(window), session_(session), window_(new InstructionsWindow(window))
{
    window_->setObjectName("instructionsWindow");
    window_->setWindowFlag(Qt::Window);
    makeSatellite(window_, window, canvas);
    action_ = satelliteAction(viewMenu, window_, "Instructions", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I), [this] {
        follow();
    });
    connect(&session_, &SessionSignals::fontOpened, this, &InstructionsView::fontOpened);
    connect(&session_, &SessionSignals::glyphShown, this, &InstructionsView::follow);
    connect(&session_, &SessionSignals::locationChanged, this, &InstructionsView::follow);
}

void InstructionsView::fontOpened()
{
    const std::shared_ptr<const FontState>& font = session_.session().font();
    const bool instructed = font && font->Loaded && HasInstructions(*font, ReadHintingFont(*font));
    action_->setEnabled(instructed);
    if (!instructed)
        window_->hide();
    follow();
}

void InstructionsView::follow()
{
    if (!window_->isVisible() || !action_->isEnabled())
        return;
    const FontSession& session = session_.session();
    window_->showGlyph(session.font(), session.CurrentGlyph(), session.location());
}
