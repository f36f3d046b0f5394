#pragma once
#include <memory>
#include <string>
#include <vector>

#include <QDockWidget>

#include "platform/shaping.h"
#include "sfnt/fixed.h"
#include "sfnt/location.h"
#include "tables/font_state.h"

class GlyphDrawing;
class GlyphList;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimer;
class QTabWidget;
class QTreeWidget;
class ShapingTrace;
class VariationsDialog;
class WaterfallCanvas;

// View > "Text", a proofing view: a line of text shaped by HarfBuzz with the
// features, script, language and direction chosen, split into bidirectional
// runs, drawn from Lumaro's own outlines in a waterfall of sizes or at one
// size. Beside the main window's font other rows may show other fonts, faces
// or locations with the same text and options. The glyph list and the
// shaping trace show the selected row. A click on a glyph shows it in the
// main window.
class TextPreview : public QDockWidget {
    Q_OBJECT
public:
    explicit TextPreview(QWidget* parent = nullptr);
    ~TextPreview() override;

    // The main row's font: a new font starts with its sample text (name ID
    // 19), else a pangram in its script; a new location keeps the text typed.
    // `user` is the location in user coordinates, faceCount the file's faces.
    void setFont(std::shared_ptr<const FontState> font, const Location& location, std::vector<Fixed> user = {},
                 int faceCount = 1);
    QString text() const;
    void setText(const QString& text);

    // Another row: face `face` of a font file, opened as File > Open opens
    // it; false, adding nothing, when it does not open.
    bool addFontRow(const std::string& path, int face = 0);
    // Another row: the main row's font at user coordinates `user`.
    void addLocationRow(const std::vector<Fixed>& user);
    int rowCount() const { return int(rows_.size()); }
    int selectedRow() const;
    void selectRow(int row);
    // The shaped glyphs of a row, in visual order.
    const std::vector<ShapedGlyph>& rowGlyphs(int row) const { return rows_[std::size_t(row)].glyphs; }
    // What every row is shaped with, as the controls give it.
    ShapeOptions options() const;

    GlyphList* glyphList() const { return glyphs_; }
    ShapingTrace* trace() const { return trace_; }
    void showTrace();

public slots:
    // Marks the trace's steps of that lookup of GSUB (gpos false) or GPOS.
    void highlightLookup(bool gpos, int lookupIndex);

signals:
    // A glyph of the main row was clicked.
    void glyphClicked(int glyph);
    // A glyph of another row was clicked: its font's file, face and location.
    void rowGlyphClicked(const std::string& path, int face, const std::vector<Fixed>& user, int glyph);

private:
    struct Row {
        std::shared_ptr<const FontState> font;
        int faceCount = 1;
        std::vector<Fixed> user; // one per axis; empty: the default
        Location location;
        FontLayout layout;
        std::vector<ShapedGlyph> glyphs;
        std::vector<ShapedRun> runs; // their glyphs not kept: the row's are
        std::shared_ptr<GlyphDrawing> drawing;
    };
    void createControls();
    QWidget* createRowsBox();
    void setRow(Row& row, std::shared_ptr<const FontState> font, const std::vector<Fixed>& user);
    QString rowLabel(const Row& row) const;
    void fillLayoutChoices();
    void fillLanguages();
    void fillAddMenu();
    void reshape();
    void shapeRow(Row& row, const ShapeOptions& options, const std::string& utf8);
    void showRows();
    void showSelected();
    void traceLater();
    void showTraceOf(const Row& row);
    void editLocation();
    void removeRow();
    void addFontFile();
    void rowClicked(int row, int glyph);

    QLineEdit* text_ = nullptr;
    QComboBox* script_ = nullptr;
    QComboBox* language_ = nullptr;
    QComboBox* direction_ = nullptr;
    QCheckBox* waterfall_ = nullptr;
    QSpinBox* size_ = nullptr;
    QTreeWidget* features_ = nullptr;
    QListWidget* rowList_ = nullptr;
    QMenu* addMenu_ = nullptr;
    QPushButton* locationButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    WaterfallCanvas* canvas_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    GlyphList* glyphs_ = nullptr;
    ShapingTrace* trace_ = nullptr;
    VariationsDialog* locationDialog_ = nullptr;
    int locationRow_ = -1; // the row the location dialog moves
    std::vector<Row> rows_; // the main row first
    bool traceStale_ = true;
    QTimer* traceTimer_ = nullptr; // a long text's trace waits for typing to pause
    int traceRun_ = 0; // which run of the selected row is traced, in visual order
};

// The font's sample text: the first non-empty name ID 19 record, else the
// pangram of the script whose letters the font maps most of, else Latin's.
QString SampleText(const FontState& font);
