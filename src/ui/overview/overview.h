#pragma once
#include <atomic>
#include <memory>
#include <string>

#include <QListView>
#include <QThreadPool>
#include <QWidget>

#include "ui/overview/glyph_source.h"
#include "ui/overview/overview_filter.h"
#include "ui/overview/overview_drawing.h"

class GlyphListModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class ThumbnailCache;
class Toolkit;

// The overview's grid: Enter on a cell is reported like a click.
class GlyphGrid : public QListView {
    Q_OBJECT
public:
    using QListView::QListView;

signals:
    void enterPressed(const QModelIndex& index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// "Lumaro Overview": every glyph of the font as a grid of cells at one
// scale, with a filter, a cell-size slider and a PDF glyph sheet.
class OverviewWindow : public QWidget {
    Q_OBJECT
public:
    // The save dialog and messages go through toolkit.
    explicit OverviewWindow(Toolkit& toolkit, QWidget* parent = nullptr);
    ~OverviewWindow() override; // waits for the filter's worker

    // nullptr: no font, an empty grid. Costs the same for any number of
    // glyphs. Once it returns, nothing reads the previous source any more.
    // sameFont: the font shown before (at another location, or read again)
    // keeps its filter; any other font starts with the filter empty.
    void setSource(std::shared_ptr<const GlyphSource> source, bool sameFont = false);

    // Writes the sheet of the glyphs shown (all, or those filtered) to path,
    // replacing the file only once the sheet is complete. "" when written or
    // cancelled, else the message to show.
    std::string writeSheet(const std::string& path);

    // The "Colour glyphs" box, shown for a font with colour glyphs and
    // checked on for each new one; whether the cells are drawn in colour.
    void offerColour(bool available, bool newFont);
    bool colourShown() const;

    // The main window's findings and changes per glyph, for the filter and the cells.
    void setMarks(std::shared_ptr<const GlyphMarks> marks);

public slots:
    // Selects the glyph the main window shows and scrolls to it; a glyph
    // the filter hides leaves no selection.
    void showGlyph(int glyph);
    // Asks for a file and writes the glyph sheet there.
    void exportSheet();

signals:
    // The user clicked a cell or pressed Enter on it.
    void glyphActivated(int glyph);
    // The grid shows the glyphs the filter's text asks for. A filter that
    // reads every glyph runs once typing pauses, on a worker; any other at once.
    void rowsFiltered();
    // The "Colour glyphs" box was switched.
    void colourToggled();

private:
    void createControls();
    void connectControls();
    void applyFilter(const QString& text);
    void startFiltering(const GlyphFilter& filter);
    void stopFiltering();
    void filtered();
    void setCellSize(int box);
    void selectShownGlyph();
    void updateCount();
    void cellChosen(const QModelIndex& index);

    Toolkit& toolkit_;
    GlyphListModel* model_;
    ThumbnailCache* thumbnails_;
    CellGeometry geometry_;
    int shownGlyph_ = -1;

    // The filter that reads every glyph: started once typing pauses; a newer
    // text cancels it and its late result is dropped.
    QTimer* filterLater_ = nullptr;
    GlyphFilter pending_;
    std::shared_ptr<std::atomic<bool>> cancelFilter_;
    quint64 filterGeneration_ = 0;
    QThreadPool filterPool_;

    QLineEdit* filter_ = nullptr;
    QLabel* count_ = nullptr;
    QSlider* cellSize_ = nullptr;
    QPushButton* export_ = nullptr;
    QCheckBox* colour_ = nullptr;
    GlyphGrid* grid_ = nullptr;
};
