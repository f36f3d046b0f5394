#include "ui/variations/variations_view.h"

#include <algorithm>

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "platform/paths.h"
#include "platform/settings.h"
#include "ui/satellite_window.h"
#include "ui/session_signals.h"
#include "ui/variations/variations_dialog.h"

VariationsView::VariationsView(QWidget* window, const QWidget* canvas, SessionSignals& session, QMenu* viewMenu,
                               Settings& settings)
    : QObject(window), session_(session), settings_(settings), dialog_(new VariationsDialog(window))
{
    dialog_->setObjectName("variations");
    makeSatellite(dialog_, window, canvas);
    action_ = new QAction("Variations", viewMenu);
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    action_->setVisible(false);
    viewMenu->insertAction(viewMenu->actions().value(1), action_); // after Overview
    connect(action_, &QAction::triggered, this, [this] {
        dialog_->show();
        dialog_->raise();
        dialog_->activateWindow();
    });
    action_->setObjectName("mnuVariations");
    connect(dialog_, &VariationsDialog::locationChanged, this, &VariationsView::moved);
    connect(&session_, &SessionSignals::fontOpened, this, &VariationsView::fontOpened);
}

void VariationsView::fontOpened()
{
    FontSession& session = session_.session();
    const FontState& font = *session.font();
    const FontVariations& variations = font.Variations;
    path_ = QFileInfo(fromPath(font.FontFileName)).absoluteFilePath();
    action_->setVisible(!variations.axes.empty());
    if (variations.axes.empty())
        dialog_->hide();
    const std::vector<double> kept = settings_.fontLocation(path_);
    std::vector<Fixed> user = DefaultCoordinates(variations);
    if (kept.size() == user.size())
        for (std::size_t i = 0; i < kept.size(); ++i)
            user[i] = ToFixed(std::clamp(kept[i], -32768.0, 32767.0));
    session.setLocation(user);
    dialog_->setAxes(variations, session.userLocation());
}

void VariationsView::moved(const std::vector<Fixed>& user)
{
    session_.session().setLocation(user);
    std::vector<double> values;
    for (Fixed v : session_.session().userLocation())
        values.push_back(v / 65536.0);
    settings_.setFontLocation(path_, values);
}
