#include "ui/text/shaping_trace.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "ui/text/glyph_drawing.h"

namespace {

const QColor ChangedColour(214, 69, 0);
const QColor LookupColour(255, 214, 64, 110);
constexpr int ListRunSize = 22; // pixels to the em of the runs in the list
constexpr int MessageWidth = 300;
constexpr int ShownRunSize = 72;

// Glyph `i` of `a` and `j` of `b` as drawn: a step that still holds
// characters is drawn with the glyphs the font maps them to, so turning
// characters into glyphs changes only what HarfBuzz maps otherwise.
bool same(const ShapingTrace::Step& a, std::size_t i, const ShapingTrace::Step& b, std::size_t j, bool positioned)
{
    const ShapedGlyph& x = a.step.glyphs[i];
    const ShapedGlyph& y = b.step.glyphs[j];
    return a.glyphs[i] == b.glyphs[j] && x.cluster == y.cluster &&
           (!positioned || (x.xAdvance == y.xAdvance && x.yAdvance == y.yAdvance && x.xOffset == y.xOffset &&
                            x.yOffset == y.yOffset));
}

// The glyphs of `after` that differ from `before`: position by position when
// the count stayed, else all but the common start and end.
std::vector<bool> changes(const ShapingTrace::Step& before, const ShapingTrace::Step& after)
{
    const std::size_t a = before.glyphs.size(), b = after.glyphs.size();
    std::vector<bool> changed(b, true);
    const bool positioned = before.step.positioned && after.step.positioned;
    if (a == b) {
        for (std::size_t i = 0; i < b; ++i)
            changed[i] = !same(before, i, after, i, positioned);
        return changed;
    }
    const std::size_t shorter = std::min(a, b);
    std::size_t start = 0, end = 0;
    while (start < shorter && same(before, start, after, start, positioned))
        changed[start++] = false;
    while (end < shorter - start && same(before, a - 1 - end, after, b - 1 - end, positioned))
        changed[b - 1 - end++] = false;
    return changed;
}

} // namespace

// The large drawing of the step selected.
class TraceRunCanvas : public QWidget {
public:
    explicit TraceRunCanvas(const ShapingTrace& trace) : trace_(trace)
    {
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
        setMinimumHeight(int(ShownRunSize * 1.4));
    }
    int step = -1;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (step >= 0)
            trace_.paintRun(painter, step, QRectF(rect()).adjusted(8, 8, -8, -8), ShownRunSize);
    }

private:
    const ShapingTrace& trace_;
};

namespace {

// A list entry: the step's number and message, its run below.
class StepDelegate : public QStyledItemDelegate {
public:
    StepDelegate(const ShapingTrace& trace, QObject* parent) : QStyledItemDelegate(parent), trace_(trace) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return QSize(MessageWidth + 100, std::max(option.fontMetrics.height(), int(ListRunSize * 1.4)) + 4);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int step = index.data(Qt::UserRole).toInt();
        const QRectF box = option.rect;
        if (option.state & QStyle::State_Selected)
            painter->fillRect(box, option.palette.color(QPalette::Highlight).lighter(170));
        else if (trace_.isHighlighted(step))
            painter->fillRect(box, LookupColour);
        painter->setPen(option.palette.color(trace_.changedBuffer(step) ? QPalette::Text : QPalette::PlaceholderText));
        // The message at the left, the run beside it.
        const QRectF textBox(box.left() + 4, box.top(), MessageWidth - 8, box.height());
        painter->drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter,
                          option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, int(textBox.width())));
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRectF runBox = box.adjusted(MessageWidth, 0, -4, 0);
        painter->setClipRect(runBox);
        const double above = (runBox.height() - ListRunSize * 1.3) / 2;
        trace_.paintRun(*painter, step, runBox.adjusted(0, above, 0, 0), ListRunSize);
        painter->restore();
    }

private:
    const ShapingTrace& trace_;
};

} // namespace

ShapingTrace::ShapingTrace(QWidget* parent) : QWidget(parent)
{
    hideUnchanged_ = new QCheckBox("Hide steps that changed nothing");
    hideUnchanged_->setObjectName("hideUnchanged");
    runs_ = new QComboBox;
    runs_->setObjectName("traceRun");
    runs_->setToolTip("Each run of one direction is shaped, and traced, on its own");
    runs_->hide();
    note_ = new QLabel;
    note_->setWordWrap(true);
    note_->hide();
    list_ = new QListWidget;
    list_->setObjectName("traceSteps");
    list_->setItemDelegate(new StepDelegate(*this, list_));
    list_->setUniformItemSizes(true);
    shownText_ = new QLabel;
    shownText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    canvas_ = new TraceRunCanvas(*this);
    auto* below = new QWidget;
    auto* belowLayout = new QVBoxLayout(below);
    belowLayout->setContentsMargins(0, 0, 0, 0);
    belowLayout->addWidget(shownText_);
    belowLayout->addWidget(canvas_, 1);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(list_);
    split->addWidget(below);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setSizes({400, 130});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    top->addWidget(hideUnchanged_);
    top->addStretch(1);
    top->addWidget(runs_);
    layout->addLayout(top);
    layout->addWidget(note_);
    layout->addWidget(split, 1);
    connect(hideUnchanged_, &QCheckBox::toggled, this, &ShapingTrace::hideUnchanged);
    connect(runs_, &QComboBox::currentIndexChanged, this, &ShapingTrace::runChosen);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        showStep(row >= 0 ? list_->item(row)->data(Qt::UserRole).toInt() : -1);
    });
}

ShapingTrace::Step ShapingTrace::place(TraceStep step, bool rightToLeft) const
{
    Step out;
    std::vector<int> advances;
    for (const ShapedGlyph& g : step.glyphs) {
        out.glyphs.push_back(step.characters ? drawing_->glyphFor(char32_t(g.glyph)) : g.glyph);
        // Before positioning a glyph's advance is its font's.
        advances.push_back(step.positioned ? g.xAdvance : drawing_->advance(out.glyphs.back()));
        out.width += advances.back();
    }
    double penX = rightToLeft ? out.width : 0, penY = 0;
    for (std::size_t i = 0; i < step.glyphs.size(); ++i) {
        const ShapedGlyph& g = step.glyphs[i];
        if (rightToLeft)
            penX -= advances[i];
        const double x = penX + (step.positioned ? g.xOffset : 0), y = penY + (step.positioned ? g.yOffset : 0);
        out.places.emplace_back(x, y);
        if (!rightToLeft)
            penX += advances[i];
        if (step.positioned)
            penY += g.yAdvance;
    }
    out.step = std::move(step);
    return out;
}

void ShapingTrace::setTrace(std::vector<TraceStep> steps, bool cut, bool rightToLeft,
                            std::shared_ptr<GlyphDrawing> drawing)
{
    const int shown = shownStep();
    drawing_ = std::move(drawing);
    steps_.clear();
    if (drawing_)
        for (TraceStep& step : steps) {
            // HarfBuzz turns right-to-left text into visual order once it is
            // positioned: its clusters then fall. Turned back, every step
            // compares with the one before and draws alike.
            if (rightToLeft && step.glyphs.size() > 1 && step.glyphs.front().cluster > step.glyphs.back().cluster)
                std::reverse(step.glyphs.begin(), step.glyphs.end());
            Step placed = place(std::move(step), rightToLeft);
            if (!steps_.empty()) {
                placed.changed = changes(steps_.back(), placed);
                placed.unchanged = placed.glyphs.size() == steps_.back().glyphs.size() &&
                                   std::find(placed.changed.begin(), placed.changed.end(), true) == placed.changed.end();
            } else {
                placed.changed.assign(placed.glyphs.size(), false);
            }
            steps_.push_back(std::move(placed));
        }
    note_->setText(
        QString("The trace stops after %1 steps: the text is too long to trace in full.").arg(steps_.size()));
    note_->setVisible(cut);
    fillList();
    // The same step stays shown while the text is typed, where there is one.
    showStep(std::min(shown, stepCount() - 1));
}

void ShapingTrace::fillList()
{
    list_->clear();
    for (int s = 0; s < stepCount(); ++s) {
        const QString message = QString::fromStdString(steps_[std::size_t(s)].step.message);
        auto* item = new QListWidgetItem(QString("%1  %2").arg(s + 1).arg(message));
        item->setData(Qt::UserRole, s);
        list_->addItem(item);
        item->setHidden(hideUnchanged_->isChecked() && steps_[std::size_t(s)].unchanged);
    }
}

void ShapingTrace::setRuns(const QStringList& runs, int chosen)
{
    const QSignalBlocker quiet(runs_);
    runs_->clear();
    runs_->addItems(runs);
    runs_->setCurrentIndex(chosen);
    runs_->setVisible(runs.size() > 1);
}

int ShapingTrace::listedSteps() const
{
    int listed = 0;
    for (int row = 0; row < list_->count(); ++row)
        listed += !list_->item(row)->isHidden();
    return listed;
}

int ShapingTrace::shownStep() const { return canvas_->step; }

void ShapingTrace::showStep(int step)
{
    canvas_->step = step >= 0 && step < stepCount() ? step : -1;
    if (canvas_->step >= 0) {
        const TraceStep& s = steps_[std::size_t(step)].step;
        shownText_->setText(
            QString("After step %1 of %2: %3").arg(step + 1).arg(stepCount()).arg(QString::fromStdString(s.message)));
        if (list_->currentRow() != step) {
            const QSignalBlocker quiet(list_);
            list_->setCurrentRow(step);
        }
    } else {
        shownText_->setText(stepCount() ? "Select a step to see the glyphs as they stood after it." : QString());
    }
    canvas_->update();
}

void ShapingTrace::hideUnchanged(bool hide)
{
    if (hideUnchanged_->isChecked() != hide)
        hideUnchanged_->setChecked(hide); // comes back here
    for (int row = 0; row < list_->count(); ++row)
        list_->item(row)->setHidden(hide && steps_[std::size_t(row)].unchanged);
}

bool ShapingTrace::isHighlighted(int step) const
{
    const TraceStep& s = steps_[std::size_t(step)].step;
    return highlightLookup_ >= 0 && s.lookup == highlightLookup_ && s.gpos == highlightGpos_;
}

void ShapingTrace::highlightLookup(bool gpos, int lookupIndex)
{
    highlightGpos_ = gpos;
    highlightLookup_ = lookupIndex;
    for (int s = 0; s < stepCount(); ++s)
        if (isHighlighted(s) && !list_->item(s)->isHidden()) {
            list_->scrollToItem(list_->item(s));
            break;
        }
    list_->viewport()->update();
}

void ShapingTrace::paintRun(QPainter& painter, int step, const QRectF& box, double size) const
{
    if (!drawing_ || step < 0 || step >= stepCount())
        return;
    const Step& s = steps_[std::size_t(step)];
    const double scale = size / drawing_->unitsPerEm();
    // A long run is moved left until the first glyph the step changed shows.
    double shift = 0;
    const auto first = std::find(s.changed.begin(), s.changed.end(), true);
    if (first != s.changed.end()) {
        const double x = s.places[std::size_t(first - s.changed.begin())].x() * scale;
        if (x > box.width() * 0.6)
            shift = x - box.width() / 4;
    }
    const QPointF origin(box.left() - shift, box.top() + size * 0.95);
    const QColor ink = palette().color(QPalette::Text);
    for (std::size_t i = 0; i < s.glyphs.size(); ++i) {
        const QPointF at(origin.x() + s.places[i].x() * scale, origin.y() - s.places[i].y() * scale);
        if (at.x() > box.right() || at.x() < box.left() - size * 2)
            continue; // beyond the box: a right-to-left run places its first glyphs last
        drawing_->draw(painter, s.glyphs[i], at, size, s.changed[i] ? ChangedColour : ink);
    }
}
