#pragma once
#include <memory>

#include <QObject>

class ColourWindow;
class QAction;
class QMenu;
class QWidget;
class SessionSignals;
struct ColourTables;

// View > "Colour", enabled for fonts with colour tables: the window follows
// the glyph shown and the location, and a PaintGlyph or layer selected there
// is shown in the main window while the window keeps its colour glyph.
class ColourView : public QObject {
    Q_OBJECT
public:
    ColourView(QWidget* window, const QWidget* canvas, SessionSignals& session, QMenu* viewMenu);

private:
    void fontOpened();
    void follow();

    SessionSignals& session_;
    ColourWindow* window_;
    QAction* action_;
    std::shared_ptr<const ColourTables> tables_; // of the open font
    int outline_ = -1; // the glyph the window asked the main window to show
};
