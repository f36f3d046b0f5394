#pragma once
#include <cstdint>
#include <memory>
#include <vector>
#include <string>

#include <QObject>

class OverviewWindow;
class QTimer;
class QWidget;
class SessionSignals;
struct ColourTables;
struct GlyphMarks;
struct FontState;
class Toolkit;

// View > "Overview": the overview of the session's font, made when first
// asked for. It follows the glyph shown and, once its moves pause, the
// location; a glyph chosen there is shown by the session. A font from
// another file or face clears its filter; the same font again keeps it.
class OverviewView : public QObject {
    Q_OBJECT
public:
    // The window is placed beside `window`, clear of `canvas`.
    OverviewView(QWidget* window, const QWidget* canvas, SessionSignals& session, Toolkit& toolkit);

    void show();
    // What the filter's `problems` and `changed` read: a bit per check found
    // in each glyph, and each glyph's change (empty: no comparison).
    void setProblems(const std::vector<std::uint16_t>& checksByGlyph);
    void setChanges(const std::vector<std::int8_t>& changeByGlyph);

private:
    void refresh();

    QWidget* window_;
    const QWidget* canvas_;
    SessionSignals& session_;
    Toolkit& toolkit_;
    OverviewWindow* overview_ = nullptr;
    QTimer* later_; // the overview made again after a location change
    std::string file_; // the font the overview shows, and its face
    int face_ = -1;
    std::shared_ptr<const ColourTables> colour_; // of the font shown
    std::weak_ptr<const FontState> colourFont_;   // the font colour_ was read from
    std::shared_ptr<const GlyphMarks> marks_;
};
