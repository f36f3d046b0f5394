#pragma once
#include <vector>

#include <QObject>

#include "sfnt/fixed.h"

class QAction;
class QMenu;
class QWidget;
class SessionSignals;
class Settings;
class VariationsDialog;

// View > "Variations", shown only while a variable font is open: the dialog
// moves the session's location, which is remembered per font file.
class VariationsView : public QObject {
    Q_OBJECT
public:
    // The dialog is placed beside window, clear of canvas.
    VariationsView(QWidget* window, const QWidget* canvas, SessionSignals& session, QMenu* viewMenu,
                   Settings& settings);

private:
    // The command shown or hidden for the font, and the location it was last
    // shown at set before its first glyph is drawn.
    void fontOpened();
    void moved(const std::vector<Fixed>& user);

    SessionSignals& session_;
    Settings& settings_;
    VariationsDialog* dialog_;
    QAction* action_;
    QString path_; // the open font's file
};
