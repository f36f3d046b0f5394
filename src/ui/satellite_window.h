#pragma once
#include <QRect>

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
