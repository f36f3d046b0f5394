#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "check/font_diff.h"
#include "sfnt/fixed.h"
#include "ui/background_run.h"

class GlyphCanvas;
class QAction;
class QLabel;
class QMenu;
class QWidget;
class SessionSignals;
class StatusLabel;
class VariationsDialog;

// File > "Compare With...": the open font compared glyph by glyph with
// another font file, another face of its collection or itself at another
// location, the other taken as the older. Pairing and comparing run on a
// worker thread; View > "Overlay" draws the partner's outline over the
// glyph shown (scaled to the shown font's units), an arrow from each point
// that moved; View > "Step Through Changes" makes Next and Previous go to
// the changed glyphs only. Another font opened, or the open one moved, is
// compared with the same other font.
class ComparisonView : public QObject {
    Q_OBJECT
public:
    ComparisonView(QWidget* window, GlyphCanvas* canvas, SessionSignals& session, QMenu* viewMenu, QWidget* statusBar);

    // Opens face `face` of `path` with the window's one open function and
    // compares; "" when it opened, else why not in plain words.
    std::string compareWith(const std::string& path, int face = 0);
    // Compares with the open font at user coordinates `user` (one per axis).
    void compareAt(const std::vector<Fixed>& user);
    // Shows the axes of the open font; each move compares at once.
    void chooseLocation();
    // What the open font is compared with, as the text view names its rows.
    QString otherLabel() const;

    bool comparing() const { return other_ != nullptr; }
    bool running() const { return running_; }
    // Each glyph of the open font's change (a GlyphChange), -1 while not yet compared.
    const std::vector<std::int8_t>& changes() const { return changes_; }
    QAction* overlayAction() const { return overlay_; }
    QAction* stepAction() const { return stepChanges_; }
    VariationsDialog* locationDialog() const { return locationDialog_; }

    // With Step Through Changes on while comparing: the next (by +1) or
    // previous (-1) changed glyph after the one shown is shown; true when
    // this took the step (the session's own stepping is not wanted).
    bool stepChanged(int by);

signals:
    // More of the comparison is known: the overview's colours and filter follow.
    void changesFound(const std::vector<std::int8_t>& changes);

private:
    void setOther(std::shared_ptr<const FontState> font, int faces, const std::vector<Fixed>& user);
    void start();
    void paired(std::shared_ptr<const GlyphPairing> pairing);
    void take(std::vector<GlyphComparison>&& batch, bool last);
    void showOverlay();
    void showProgress();

    QWidget* window_;
    SessionSignals& session_;
    GlyphCanvas* canvas_;
    QAction* overlay_;
    QAction* stepChanges_;
    StatusLabel* progress_;
    VariationsDialog* locationDialog_ = nullptr; // made when first asked for
    std::shared_ptr<const FontState> other_; // the older font
    int otherFaces_ = 1;
    std::vector<Fixed> otherUser_; // where it is read; empty: its default
    Location otherLocation_;
    std::shared_ptr<const FontState> mine_; // the open font the pairing is made for
    std::shared_ptr<const GlyphPairing> pairing_; // null until the worker has made it
    std::vector<int> oldOf_; // each open glyph's partner in the other font, -1 for none
    std::vector<std::int8_t> changes_;
    int compared_ = 0, changed_ = 0, removed_ = 0;
    bool running_ = false;
    BackgroundRun run_{this};
};
