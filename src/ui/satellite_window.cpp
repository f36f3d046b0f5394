#include "ui/satellite_window.h"

#include <algorithm>

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

namespace {

// Places its window once, the first time it is shown, and then lets the user move it.
class FirstShowPlacer : public QObject {
public:
    FirstShowPlacer(QWidget* window, const QWidget* main, const QWidget* canvas)
        : QObject(window), main_(main), canvas_(canvas)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && window->isWindow()) {
            place(window);
            window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    void place(QWidget* window) const
    {
        const QScreen* screen = main_->screen();
        if (!screen)
            return;
        // The window manager frames the satellite as it frames the main window;
        // a main window not framed yet (just shown) is taken to have a title bar and borders.
        const QRect outer = main_->frameGeometry(), inner = main_->geometry();
        const QMargins frame = outer == inner ? QMargins(8, 40, 8, 8)
                                              : QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                                                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
        const QRect canvas(canvas_->mapToGlobal(QPoint(0, 0)), canvas_->size());
        const QRect placed = besideMainWindow(window->size().grownBy(frame), outer, canvas, screen->availableGeometry());
        // The client area: before its first show the window's frame is not known to Qt,
        // which would put the client where the frame was meant to go.
        window->setGeometry(placed.marginsRemoved(frame));
    }

    const QWidget* main_;
    const QWidget* canvas_;
};

} // namespace

QRect besideMainWindow(QSize frame, const QRect& main, const QRect& canvas, const QRect& screen)
{
    const QSize size = frame.boundedTo(screen.size());
    const int y = std::clamp(main.top(), screen.top(), screen.bottom() + 1 - size.height());
    const int lefts[] = {main.right() + 1, main.left() - size.width(), canvas.right() + 1, canvas.left() - size.width()};
    for (const int x : lefts)
        if (x >= screen.left() && x + size.width() <= screen.right() + 1)
            return {QPoint(x, y), size};
    return {QPoint(screen.right() + 1 - size.width(), y), size};
}

void makeSatellite(QWidget* window, const QWidget* main, const QWidget* canvas)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
    new FirstShowPlacer(window, main, canvas);
}

QAction* satelliteAction(QMenu* viewMenu, QWidget* window, const QString& text, const QKeySequence& shortcut,
                         std::function<void()> shown)
{
    auto* action = new QAction(text, viewMenu);
    action->setObjectName("mnu" + text);
    action->setShortcut(shortcut);
    action->setEnabled(false);
    viewMenu->insertAction(viewMenu->actions().value(2), action);
    QObject::connect(action, &QAction::triggered, window, [window, shown = std::move(shown)] {
        window->show();
        window->raise();
        window->activateWindow();
        shown();
    });
    return action;
}
