#pragma once
#include <cstdint>
#include <vector>

#include <QObject>

#include "check/outline_checks.h"

class FontChecks;
class GlyphCanvas;
class QAction;
class QLabel;
class QMenu;
class QTableWidget;
class QTreeWidget;
class QWidget;
class SessionSignals;
class StatusLabel;

// The outline problems in the window: the "Problems" table of the glyph
// shown (a row chosen selects its point), a badge on the canvas at each
// problem's place (View > "Problems", on unless the user turned it off), and the whole font checked in the
// background for View > "Font Problems" and the overview's filter.
class ProblemsView : public QObject {
    Q_OBJECT
public:
    // The table is made in `listingParent`; the progress goes into `statusBar`.
    ProblemsView(QWidget* window, GlyphCanvas* canvas, SessionSignals& session, QMenu* viewMenu,
                 QWidget* listingParent, QWidget* statusBar);

    QTableWidget* table() const { return table_; }
    const std::vector<Finding>& findings() const { return findings_; } // of the glyph shown
    const FontChecks& fontChecks() const { return *checks_; }
    QAction* badgesAction() const { return badges_; }
    // Shows glyph `glyph` and selects its finding `index`.
    void showFinding(int glyph, int index);
    void showFontProblems();

signals:
    // A finding was chosen elsewhere: the table should be in view.
    void tableWanted();
    // The background check handed back more of the font.
    void fontChecked(const std::vector<std::uint16_t>& checksByGlyph);

private:
    void locationChanged();
    void glyphShown(int glyph);
    void selectRow(int row);
    void showBadges();
    void showProgress();
    void fillFontProblems();

    SessionSignals& session_;
    GlyphCanvas* canvas_;
    QTableWidget* table_;
    QAction* badges_;
    StatusLabel* progress_;
    FontChecks* checks_;
    QTreeWidget* fontProblems_ = nullptr; // made when first asked for
    QWidget* window_;
    CheckFacts facts_; // of the open font at the session's location
    std::vector<Finding> findings_;
};
