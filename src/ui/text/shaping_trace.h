#pragma once
#include <memory>
#include <vector>

#include <QPointF>
#include <QWidget>

#include "platform/shaping.h"

class GlyphDrawing;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPainter;
class TraceRunCanvas;

// The shaping trace of one row: every step HarfBuzz reported, each with its
// message and the glyph run after it, the glyphs it changed in colour. The
// step selected is drawn large below, as the run stood then.
class ShapingTrace : public QWidget {
    Q_OBJECT
public:
    explicit ShapingTrace(QWidget* parent = nullptr);

    // The steps of one shaping in `drawing`'s font; right-to-left text is
    // drawn from the right, as it reads.
    void setTrace(std::vector<TraceStep> steps, bool cut, bool rightToLeft, std::shared_ptr<GlyphDrawing> drawing);
    // The bidirectional runs of the text, one traced at a time; hidden for one run.
    void setRuns(const QStringList& runs, int chosen);
    int stepCount() const { return int(steps_.size()); }
    // A step's buffer; right-to-left text in logical order.
    const TraceStep& step(int step) const { return steps_[std::size_t(step)].step; }
    int listedSteps() const; // those not hidden
    // The step drawn large, an index into all steps; -1 for none.
    int shownStep() const;
    void showStep(int step);
    void hideUnchanged(bool hide);
    bool isHighlighted(int step) const;
    // Whether step `step` changed the glyphs of the one before (the first always has).
    bool changedBuffer(int step) const { return !steps_[std::size_t(step)].unchanged; }

    // The step's run placed in `box` at `size` pixels to the em, its changed glyphs marked.
    void paintRun(QPainter& painter, int step, const QRectF& box, double size) const;

signals:
    void runChosen(int run);

public slots:
    // Marks the steps of that lookup of GSUB (gpos false) or GPOS; -1 marks none.
    void highlightLookup(bool gpos, int lookupIndex);

public:
    // One step as drawn: each glyph's place in font units from the run's
    // left end, y up, and whether the step changed it.
    struct Step {
        TraceStep step;
        std::vector<int> glyphs;
        std::vector<QPointF> places;
        std::vector<bool> changed;
        bool unchanged = false;
        double width = 0;
    };

private:
    Step place(TraceStep step, bool rightToLeft) const;
    void fillList();

    QCheckBox* hideUnchanged_ = nullptr;
    QComboBox* runs_ = nullptr;
    QLabel* note_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* shownText_ = nullptr;
    TraceRunCanvas* canvas_ = nullptr;
    std::vector<Step> steps_;
    std::shared_ptr<GlyphDrawing> drawing_;
    bool highlightGpos_ = false;
    int highlightLookup_ = -1;
};
