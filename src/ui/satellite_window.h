#pragma once
#include <functional>

#include <QRect>

class QAction;
class QKeySequence;
class QMenu;
class QString;
class QWidget;

// Where a window beside the main one goes, as frames in screen coordinates:
// its size kept inside `screen` (the available area of the screen that holds
// the main window), beside the main window where there is room, else beside
// `canvas` (the picture, which it should not hide), else at the screen's
// right edge; level with the main window's top and never past the screen.
QRect besideMainWindow(QSize frame, const QRect& main, const QRect& canvas, const QRect& screen);

// Makes `window` a satellite of `main`: Escape closes it, and the first time
// it is shown it is placed by besideMainWindow, clear of `canvas`.
void makeSatellite(QWidget* window, const QWidget* main, const QWidget* canvas);

// The View menu's entry, "mnu" + text, that opens satellite `window`, placed
// among the views beside the main window; disabled until a font has what the
// window shows. Triggered, the window is shown and raised, then `shown` runs.
QAction* satelliteAction(QMenu* viewMenu, QWidget* window, const QString& text, const QKeySequence& shortcut,
                         std::function<void()> shown);
