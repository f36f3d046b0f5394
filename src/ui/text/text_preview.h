#pragma once
#include <map>
#include <memory>
#include <vector>

#include <QDockWidget>
#include <QPainterPath>

#include "sfnt/location.h"
#include "platform/colour_picture.h"
#include "platform/shaping.h"
#include "tables/font_state.h"

class FontGlyphSource;
class QLineEdit;
class WaterfallCanvas;

// View > "Text": a line of text shaped by HarfBuzz at the face and location
// shown, drawn from Lumaro's own outlines at sizes from 8 to 96 pixels. A
// click on a glyph shows it in the main window.
class TextPreview : public QDockWidget {
    Q_OBJECT
public:
    explicit TextPreview(QWidget* parent = nullptr);

    // A new font starts with its sample text (name ID 19), else a pangram in
    // its script; a new location keeps the text typed.
    void setFont(std::shared_ptr<const FontState> font, const Location& location);
    QString text() const;
    void setText(const QString& text);

signals:
    void glyphClicked(int glyph);

private:
    void reshape();

    QLineEdit* text_ = nullptr;
    WaterfallCanvas* canvas_ = nullptr;
    std::shared_ptr<const FontState> font_;
    Location location_;
};

// The font's sample text: the first non-empty name ID 19 record, else the
// pangram of the script whose letters the font maps most of, else Latin's.
QString SampleText(const FontState& font);

// The drawing of the waterfall: one line per size, each glyph placed as
// shaped; remembers where each glyph was drawn for clicks.
class WaterfallCanvas : public QWidget {
    Q_OBJECT
public:
    explicit WaterfallCanvas(QWidget* parent = nullptr);
    ~WaterfallCanvas() override;
    // The glyphs drawn as Lumaro draws them at `location`.
    void setLine(std::shared_ptr<const FontState> font, const Location& location, std::vector<ShapedGlyph> glyphs);
    // The glyph drawn at a point of the canvas; -1 for none.
    int glyphAt(QPointF at) const;

signals:
    void glyphClicked(int glyph);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const QPainterPath& pathOf(int glyph);
    const ColourRendering& colourOf(int glyph, int size);

    std::shared_ptr<const FontState> font_;
    std::unique_ptr<FontGlyphSource> source_;
    std::vector<double> location_; // of source_
    std::vector<ShapedGlyph> glyphs_;
    std::map<int, QPainterPath> paths_; // by glyph, in font units, y up
    std::shared_ptr<const ColourTables> colour_; // of font_, nullptr for a font without colour glyphs
    std::map<std::pair<int, int>, ColourRendering> pictures_; // by glyph and size
    struct Placed {
        QRectF box;
        int glyph;
    };
    std::vector<Placed> placed_; // of the last painting
};
