#pragma once
#include <memory>
#include <vector>

#include <QString>
#include <QWidget>

#include "platform/shaping.h"

class GlyphDrawing;

// One row of the text view as drawn: its label and its shaped glyphs in
// visual order.
struct DrawnRow {
    QString label;
    std::vector<ShapedGlyph> glyphs;
    std::shared_ptr<GlyphDrawing> drawing; // nullptr: nothing to draw
};

// The drawing of the text view: each row at each size of the waterfall, or
// at one size, each glyph placed as shaped. Lines run across, or down in
// columns for vertical text. Rows are labelled when there is more than one.
class WaterfallCanvas : public QWidget {
    Q_OBJECT
public:
    explicit WaterfallCanvas(QWidget* parent = nullptr);
    ~WaterfallCanvas() override;

    void setRows(std::vector<DrawnRow> rows, std::vector<int> sizes, bool vertical);
    void setSelectedRow(int row);
    // The glyph drawn at a point of the canvas, and its row; -1 for none.
    int glyphAt(QPointF at) const { return hitAt(at).glyph; }
    int rowAt(QPointF at) const { return hitAt(at).row; }

signals:
    void glyphClicked(int row, int glyph);
    void rowClicked(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // One line of one row at one size; a row's label is a line of size 0.
    struct Line {
        int row = 0;
        int size = 0;
        QRectF band;    // what a click in it reaches
        QPointF origin; // the pen's start: on the baseline, or at the top of a column
    };
    struct Hit {
        int row = -1;
        int glyph = -1;
    };
    void layOut();
    Hit hitAt(QPointF at) const;
    double runLength(const DrawnRow& row, double scale) const;

    std::vector<DrawnRow> rows_;
    std::vector<int> sizes_;
    bool vertical_ = false;
    int selected_ = 0;
    std::vector<Line> lines_;
    std::vector<QRectF> blocks_; // each row's area
};
