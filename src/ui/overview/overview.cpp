#include "ui/overview/overview.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/paths.h"
#include "platform/widgets/toolkit.h"
#include "ui/overview/overview_model.h"
#include "ui/overview/overview_sheet.h"
#include "ui/overview/overview_thumbnails.h"

namespace {

constexpr int DefaultBox = 48;
constexpr int SmallestBox = 24;
constexpr int LargestBox = 192;
constexpr int PagesWithoutProgress = 10;
constexpr int TypingPauseMs = 200;

// Draws a cell from the thumbnail cache; a cell whose thumbnail is not built
// yet asks for it and is drawn again when it is ready.
class GlyphCellDelegate : public QStyledItemDelegate {
public:
    GlyphCellDelegate(ThumbnailCache& thumbnails, const CellGeometry& geometry, QObject* parent)
        : QStyledItemDelegate(parent), thumbnails_(thumbnails), geometry_(geometry)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int glyph = index.data(GlyphListModel::GlyphRole).toInt();
        paintCell(*painter, option.rect, geometry_, thumbnails_.find(glyph), index.data(Qt::DisplayRole).toString(),
                  option.state.testFlag(QStyle::State_Selected), option.palette,
                  index.data(Qt::BackgroundRole).value<QColor>());
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return geometry_.cellSize(); }

private:
    ThumbnailCache& thumbnails_;
    const CellGeometry& geometry_;
};


} // namespace

void GlyphGrid::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit enterPressed(currentIndex());
        return;
    }
    QListView::keyPressEvent(event);
}

OverviewWindow::OverviewWindow(Toolkit& toolkit, QWidget* parent)
    : QWidget(parent, Qt::Window), toolkit_(toolkit), model_(new GlyphListModel(this)), thumbnails_(new ThumbnailCache(this))
{
    setWindowTitle("Lumaro Overview");
    filterPool_.setMaxThreadCount(1);
    filterLater_ = new QTimer(this);
    filterLater_->setSingleShot(true);
    filterLater_->setInterval(TypingPauseMs);
    connect(filterLater_, &QTimer::timeout, this, [this] { startFiltering(pending_); });
    createControls();
    setCellSize(DefaultBox);
    updateCount();
    resize(1000, 720);
}

void OverviewWindow::offerColour(bool available, bool newFont)
{
    colour_->setVisible(available);
    if (newFont) {
        const QSignalBlocker quiet(colour_); // the caller sets the source next
        colour_->setChecked(available);
    }
}

void OverviewWindow::setMarks(std::shared_ptr<const GlyphMarks> marks)
{
    const GlyphFilter::Kind kind = model_->filter().kind;
    model_->setMarks(std::move(marks));
    if (kind == GlyphFilter::Kind::Problems || kind == GlyphFilter::Kind::Changed)
        filtered();
}

bool OverviewWindow::colourShown() const { return !colour_->isHidden() && colour_->isChecked(); }

OverviewWindow::~OverviewWindow()
{
    stopFiltering();
    filterPool_.waitForDone();
}

void OverviewWindow::createControls()
{
    filter_ = new QLineEdit(this);
    filter_->setObjectName("filter");
    filter_->setPlaceholderText("100-200, U+0400-U+04FF or part of a name");
    filter_->setClearButtonEnabled(true);
    count_ = new QLabel(this);
    count_->setObjectName("count");
    cellSize_ = new QSlider(Qt::Horizontal, this);
    cellSize_->setObjectName("cellSize");
    cellSize_->setRange(SmallestBox, LargestBox);
    cellSize_->setSingleStep(4);
    cellSize_->setPageStep(16);
    cellSize_->setValue(DefaultBox);
    cellSize_->setFixedWidth(160);
    export_ = new QPushButton("Export PDF...", this);
    export_->setObjectName("export");
    export_->setEnabled(false);
    colour_ = new QCheckBox("Colour glyphs", this);
    colour_->setObjectName("colourGlyphs");
    colour_->setVisible(false);

    grid_ = new GlyphGrid(this);
    grid_->setObjectName("grid");
    grid_->setViewMode(QListView::IconMode);
    grid_->setMovement(QListView::Static);
    grid_->setResizeMode(QListView::Adjust);
    grid_->setUniformItemSizes(true);
    grid_->setWrapping(true);
    grid_->setSpacing(0);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid_->setModel(model_);
    grid_->setItemDelegate(new GlyphCellDelegate(*thumbnails_, geometry_, grid_));

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel("Filter:", this));
    bar->addWidget(filter_, 1);
    bar->addWidget(count_);
    bar->addSpacing(16);
    bar->addWidget(new QLabel("Size:", this));
    bar->addWidget(cellSize_);
    bar->addSpacing(16);
    bar->addWidget(colour_);
    bar->addWidget(export_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(grid_, 1);

    connectControls();
}

void OverviewWindow::connectControls()
{
    connect(filter_, &QLineEdit::textChanged, this, &OverviewWindow::applyFilter);
    connect(cellSize_, &QSlider::valueChanged, this, &OverviewWindow::setCellSize);
    connect(colour_, &QCheckBox::toggled, this, &OverviewWindow::colourToggled);
    connect(export_, &QPushButton::clicked, this, &OverviewWindow::exportSheet);
    connect(grid_, &QListView::clicked, this, &OverviewWindow::cellChosen);
    connect(grid_, &GlyphGrid::enterPressed, this, &OverviewWindow::cellChosen);
    connect(thumbnails_, &ThumbnailCache::ready, this, [this](int glyph) {
        const int row = model_->rowOf(glyph);
        if (row >= 0)
            grid_->update(model_->index(row));
    });
}

void OverviewWindow::setSource(std::shared_ptr<const GlyphSource> source, bool sameFont)
{
    stopFiltering();
    thumbnails_->setSource(source);
    if (!sameFont) {
        const QSignalBlocker quiet(filter_);
        filter_->clear();
    }
    model_->setSource(std::move(source), sameFont);
    shownGlyph_ = -1;
    export_->setEnabled(model_->source() != nullptr);
    updateCount();
    // The rows were kept from before; a font read again may have changed its names or codes.
    const GlyphFilter wanted = parseGlyphFilter(filter_->text().toStdString());
    if (readsEveryGlyph(wanted))
        startFiltering(wanted);
    else if (!(wanted == model_->filter())) {
        model_->setFilter(wanted);
        filtered();
    }
}

void OverviewWindow::applyFilter(const QString& text)
{
    stopFiltering();
    const GlyphFilter filter = parseGlyphFilter(text.toStdString());
    if (readsEveryGlyph(filter) && model_->source()) {
        pending_ = filter;
        filterLater_->start();
        return;
    }
    model_->setFilter(filter);
    filtered();
}

void OverviewWindow::startFiltering(const GlyphFilter& filter)
{
    stopFiltering();
    const std::shared_ptr<const GlyphSource> source = model_->source();
    if (!source)
        return;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    cancelFilter_ = cancelled;
    const quint64 generation = filterGeneration_;
    filterPool_.start([this, source, filter, cancelled, generation] {
        std::vector<int> matches = matchingGlyphs(filter, *source, cancelled.get());
        if (cancelled->load())
            return; // the destructor may be waiting: `this` is not to be touched
        QMetaObject::invokeMethod(
            this,
            [this, filter, generation, matches = std::move(matches)]() mutable {
                if (generation != filterGeneration_)
                    return;
                model_->setMatches(filter, std::move(matches));
                filtered();
            },
            Qt::QueuedConnection);
    });
}

// Whatever filter is pending or running is forgotten.
void OverviewWindow::stopFiltering()
{
    filterLater_->stop();
    if (cancelFilter_)
        cancelFilter_->store(true);
    cancelFilter_.reset();
    ++filterGeneration_;
}

void OverviewWindow::filtered()
{
    updateCount();
    selectShownGlyph();
    emit rowsFiltered();
}

void OverviewWindow::setCellSize(int box)
{
    geometry_.box = box;
    geometry_.labelHeight = grid_->fontMetrics().height();
    thumbnails_->setBoxSize(QSize(box, box), grid_->devicePixelRatioF());
    grid_->setGridSize(geometry_.cellSize());
    if (grid_->currentIndex().isValid())
        grid_->scrollTo(grid_->currentIndex());
}

void OverviewWindow::updateCount()
{
    const int total = model_->source() ? model_->source()->glyphCount() : 0;
    const int shown = model_->rowCount();
    count_->setText(shown == total ? QStringLiteral("%1 glyphs").arg(total) : QStringLiteral("%1 of %2 glyphs").arg(shown).arg(total));
}

void OverviewWindow::showGlyph(int glyph)
{
    const QModelIndex current = grid_->currentIndex();
    // The main window redraws the same glyph when its view settings change: the grid stays where the user put it.
    if (glyph == shownGlyph_ && current.isValid() && model_->glyphAt(current.row()) == glyph)
        return;
    shownGlyph_ = glyph;
    selectShownGlyph();
}

void OverviewWindow::selectShownGlyph()
{
    const int row = model_->rowOf(shownGlyph_);
    if (row < 0) {
        grid_->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row);
    grid_->setCurrentIndex(index);
    grid_->scrollTo(index);
}

void OverviewWindow::cellChosen(const QModelIndex& index)
{
    const int glyph = model_->glyphAt(index.row());
    if (glyph >= 0)
        emit glyphActivated(glyph);
}

void OverviewWindow::exportSheet()
{
    if (!model_->source())
        return;
    CommonDialog dialog{"Export Glyph Sheet", "PDF file (*.pdf)|*.pdf", CurDir()};
    std::string path = toolkit_.ShowSave(dialog);
    if (path.empty())
        return;
    QFileInfo chosen(fromPath(path));
    if (chosen.suffix().isEmpty()) {
        chosen.setFile(chosen.filePath() + QStringLiteral(".pdf"));
        path = toPath(chosen.filePath());
    }
    if (!toolkit_.ConfirmOverwrite(path))
        return;
    const std::string error = writeSheet(path);
    if (!error.empty())
        toolkit_.MsgBox(error);
}

std::string OverviewWindow::writeSheet(const std::string& path)
{
    const std::string failed = "The glyph sheet could not be written to " + path + ".";
    if (!model_->source())
        return failed;
    QSaveFile file(fromPath(path));
    if (!file.open(QIODevice::WriteOnly))
        return failed;

    const std::vector<int> glyphs = model_->glyphs();
    std::function<bool(int)> progress;
    std::unique_ptr<QProgressDialog> dialog;
    if (glyphs.size() > std::size_t(PagesWithoutProgress * SheetColumns * SheetRows)) {
        dialog = std::make_unique<QProgressDialog>("Writing the glyph sheet...", "Cancel", 0, int(glyphs.size()), this);
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setMinimumDuration(500);
        progress = [&dialog](int done) {
            dialog->setValue(done);
            return !dialog->wasCanceled();
        };
    }
    if (!writeGlyphSheet(file, *model_->source(), glyphs, progress)) {
        file.cancelWriting();
        return dialog && dialog->wasCanceled() ? std::string() : failed;
    }
    return file.commit() ? std::string() : failed;
}
