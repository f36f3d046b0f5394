#pragma once
#include <QObject>

class InstructionsWindow;
class QAction;
class QMenu;
class QWidget;
class SessionSignals;

// View > "Instructions", enabled for fonts with TrueType instructions: the
// debugger window follows the glyph shown and the location.
class InstructionsView : public QObject {
    Q_OBJECT
public:
    InstructionsView(QWidget* window, const QWidget* canvas, SessionSignals& session, QMenu* viewMenu);

private:
    void fontOpened();
    void follow();

    SessionSignals& session_;
    InstructionsWindow* window_;
    QAction* action_;
};
