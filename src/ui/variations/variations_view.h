#pragma once
#include <vector>

#include <QObject>

#include "sfnt/fixed.h"
#include "tables/font_state.h"

class frmmain;
class QAction;
class QMenu;
class Settings;
class VariationsDialog;

// View > "Variations", shown only while a variable font is open: the dialog
// moves the window's location, which is remembered per font file.
class VariationsView : public QObject {
    Q_OBJECT
public:
    VariationsView(frmmain* window, QMenu* viewMenu, Settings& settings);

    // The command shown or hidden for the font, and the location it was last
    // shown at set before its first glyph is drawn.
    void fontOpened(const FontState& font);

    VariationsDialog* dialog() const { return dialog_; }
    QAction* action() const { return action_; }

private:
    void moved(const std::vector<Fixed>& user);

    frmmain* window_;
    Settings& settings_;
    VariationsDialog* dialog_;
    QAction* action_;
    QString path_; // the open font's file
};
