#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QThreadPool>

#include "check/font_diff.h"

class GlyphCanvas;
class QAction;
class QLabel;
class QMenu;
class QWidget;
class SessionSignals;

// File > "Compare With...": the open font compared glyph by glyph with
// another font file (its first face, at its default location), the other
// font taken as the older. The changes are found on a worker thread; View >
// "Overlay" draws the partner's outline over the glyph shown, an arrow from
// each point that moved; View > "Step Through Changes" makes Next and
// Previous go to the changed glyphs only. Another font opened is compared
// with the same file.
class ComparisonView : public QObject {
    Q_OBJECT
public:
    ComparisonView(QWidget* window, GlyphCanvas* canvas, SessionSignals& session, QMenu* viewMenu, QWidget* statusBar);
    ~ComparisonView() override; // cancels the comparison and waits for its worker

    // Opens `path` with the window's one open function and compares; "" when
    // it opened, else why not in plain words.
    std::string compareWith(const std::string& path);
    bool comparing() const { return other_ != nullptr; }
    bool running() const { return running_; }
    // Each glyph of the open font's change (a GlyphChange), -1 while not yet compared.
    const std::vector<std::int8_t>& changes() const { return changes_; }
    QAction* overlayAction() const { return overlay_; }
    QAction* stepAction() const { return stepChanges_; }

    // With Step Through Changes on while comparing: the next (by +1) or
    // previous (-1) changed glyph after the one shown is shown; true when
    // this took the step (the session's own stepping is not wanted).
    bool stepChanged(int by);

signals:
    // More of the comparison is known: the overview's colours and filter follow.
    void changesFound(const std::vector<std::int8_t>& changes);

private:
    void start();
    void take(std::vector<GlyphComparison>&& batch, bool last);
    void showOverlay();
    void showProgress();

    SessionSignals& session_;
    GlyphCanvas* canvas_;
    QAction* overlay_;
    QAction* stepChanges_;
    QLabel* progress_;
    std::shared_ptr<const FontState> other_; // the older font
    std::shared_ptr<const FontState> mine_;  // the open font the pairing was made for
    GlyphPairing pairing_;
    std::vector<int> oldOf_; // each open glyph's partner in the other font, -1 for none
    std::vector<std::int8_t> changes_;
    int removed_ = 0;
    bool running_ = false;
    QThreadPool pool_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    quint64 generation_ = 0;
};
