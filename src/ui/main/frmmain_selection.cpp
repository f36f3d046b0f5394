#include "ui/main/frmmain.h"

#include <functional>

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QToolBar>

#include "tables/glyph_names.h"
#include "ui/main/face_picker.h"
#include "ui/main/form_layout.h"
#include "ui/main/glyph_canvas.h"
#include "ui/problems/problems_view.h"

// The picture for examining points: zoom and point numbers, the selection the
// picture, the listing and the points table share, copying, and a layout
// that gives the picture and the listing what the window grows by.

namespace {

// Calls back whenever the watched widget is resized.
class ResizeWatcher : public QObject {
public:
    ResizeWatcher(QWidget* watched, std::function<void(QSize)> resized) : QObject(watched), resized_(std::move(resized))
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            resized_(static_cast<QWidget*>(watched)->size());
        return false;
    }

private:
    std::function<void(QSize)> resized_;
};

QAction* menuCommand(QMenu* menu, const char* name, const char* caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

} // namespace

void frmmain::createEditMenu()
{
    mnuEdit = menuBar()->addMenu("Edit");
    mnuEdit->setObjectName("mnuEdit");
    mnuCopyCharacter = menuCommand(mnuEdit, "mnuCopyCharacter", "Copy Character");
    mnuCopyCharacter->setShortcut(QKeySequence::Copy);
    mnuCopyCodePoint = menuCommand(mnuEdit, "mnuCopyCodePoint", "Copy Code Point");
    mnuCopyPoints = menuCommand(mnuEdit, "mnuCopyPoints", "Copy Points");
    mnuCopyPicture = menuCommand(mnuEdit, "mnuCopyPicture", "Copy Picture");
    enableCopying(false); // until a glyph is shown
}

// Point numbers and smooth lines are remembered between runs, as checkable commands with names are.
void frmmain::createCanvasMenu()
{
    mnuView->addSeparator();
    mnuPointNumbers = menuCommand(mnuView, "mnuPointNumbers", "Point numbers");
    mnuPointNumbers->setCheckable(true);
    mnuSmooth = menuCommand(mnuView, "mnuSmooth", "Smooth lines");
    mnuSmooth->setCheckable(true);
    mnuSmooth->setChecked(true);
    mnuView->addSeparator();
    mnuZoomIn = menuCommand(mnuView, "mnuZoomIn", "Zoom In");
    mnuZoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    mnuZoomOut = menuCommand(mnuView, "mnuZoomOut", "Zoom Out");
    mnuZoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    mnuFit = menuCommand(mnuView, "mnuFit", "Fit");
    mnuFit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
}

// "Points" beside "Lines": the glyph's points in font units, in the listing's place.
void frmmain::createPointsTab()
{
    listingTabs = new QTabBar(Frame2);
    listingTabs->setObjectName("listingTabs");
    listingTabs->addTab(QStringLiteral("Lines"));
    listingTabs->addTab(QStringLiteral("Points"));
    listingTabs->addTab(QStringLiteral("Problems"));
    listingTabs->setDrawBase(false);
    listingTabs->setFont(formFont(8.25));
    listingTabs->setGeometry(twips(1080, 1740, 3240, 300));
    pointsTable = new QTableWidget(0, 6, Frame2);
    pointsTable->setObjectName("pointsTable");
    pointsTable->setGeometry(Text5->geometry());
    pointsTable->setHorizontalHeaderLabels({"Contour", "Point", "x", "y", "Kind", "Component"});
    pointsTable->verticalHeader()->hide();
    pointsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pointsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    pointsTable->setSelectionMode(QAbstractItemView::SingleSelection);
    pointsTable->setFont(formFont(8.25));
    pointsTable->horizontalHeader()->setFont(formFont(8.25)); // not the frame caption's underline
    pointsTable->setWordWrap(false);
    pointsTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    pointsTable->horizontalHeader()->setStretchLastSection(true);
    pointsTable->verticalHeader()->setDefaultSectionSize(pointsTable->fontMetrics().height() + 4);
    pointsTable->hide();
}

void frmmain::connectSelection()
{
    connect(mnuPointNumbers, &QAction::toggled, Picture1, &GlyphCanvas::setPointNumbers);
    connect(mnuSmooth, &QAction::toggled, Picture1, &GlyphCanvas::setSmooth);
    connect(mnuZoomIn, &QAction::triggered, Picture1, &GlyphCanvas::zoomIn);
    connect(mnuZoomOut, &QAction::triggered, Picture1, &GlyphCanvas::zoomOut);
    connect(mnuFit, &QAction::triggered, Picture1, &GlyphCanvas::fit);
    connect(Picture1, &GlyphCanvas::zoomChanged, this,
            [this](int percent) { zoomInfo_->setText(QString::number(percent) + "%"); });
    connect(Picture1, &GlyphCanvas::pointHovered, this, [this](const QString& words) {
        if (!words.isEmpty())
            StatusBar1->showMessage(words);
        else if (StatusBar1->currentMessage().startsWith(QLatin1String("Point ")))
            StatusBar1->clearMessage();
    });
    connect(Picture1, &GlyphCanvas::pointClicked, this, [this](int point) { session_.selectPoint(point); });
    connect(Picture1, &GlyphCanvas::segmentClicked, this, [this](int segment) { session_.selectSegment(segment); });
    connect(Text5, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { session_.selectLine(Text5->textCursor().blockNumber()); });
    connect(pointsTable, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem*> chosen = pointsTable->selectedItems();
        session_.selectPoint(chosen.isEmpty() ? -1 : chosen.first()->row());
    });
    connect(listingTabs, &QTabBar::currentChanged, this, [this](int tab) {
        Text5->setVisible(tab == 0);
        pointsTable->setVisible(tab == 1);
        if (problems_)
            problems_->table()->setVisible(tab == 2);
    });
    connect(mnuCopyCharacter, &QAction::triggered, this, [this] { copyCharacter(false); });
    connect(mnuCopyCodePoint, &QAction::triggered, this, [this] { copyCharacter(true); });
    connect(mnuCopyPoints, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(QString::fromStdString(session_.outlineDocument())); });
    connect(mnuCopyPicture, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setImage(Picture1->shownImage()); });

    // What grows with the window keeps its designed place to grow from.
    QWidget* client = static_cast<QScrollArea*>(centralWidget())->widget();
    for (QWidget* w : std::initializer_list<QWidget*>{Toolbar1, Label2, facePicker_, Label8, Label9, Command1, Picture1,
                                                      Frame1, Frame2, Text5, pointsTable, StatusBar1})
        w->setProperty("designed", w->geometry());
    new ResizeWatcher(client, [this](QSize size) { layoutControls(size); });
}

void frmmain::enableCopying(bool on)
{
    for (QAction* copy : mnuEdit->actions())
        copy->setEnabled(on);
}

// The picture, the listing and the points table show what the session selected.
void frmmain::selectionChanged(const Selection& selection)
{
    Picture1->setSelection(selection.point, selection.segment);
    {
        const QSignalBlocker quiet(pointsTable);
        if (selection.point >= 0)
            pointsTable->selectRow(selection.point);
        else
            pointsTable->clearSelection();
    }
    showListingLine(selection.line);
}

// One row a point, in glyf order; a composite's rows name the glyph each point comes from.
void frmmain::fillPoints()
{
    const std::vector<DrawnPoint>& points = session_.drawn().points;
    const int shown = session_.CurrentGlyph();
    const bool composite = std::any_of(points.begin(), points.end(), [&](const DrawnPoint& p) { return p.glyph != shown; });
    const QSignalBlocker quiet(pointsTable);
    pointsTable->clearContents();
    pointsTable->setRowCount(int(points.size()));
    for (int row = 0; row < int(points.size()); ++row) {
        const DrawnPoint& p = points[std::size_t(row)];
        const QString component =
            composite ? QString::number(p.glyph) + " " + QString::fromStdString(GlyphName(font(), p.glyph)) : QString();
        const QString cells[] = {QString::number(p.contour), QString::number(row), QString::number(p.x),
                                 QString::number(p.y),       PointKindWords(p.kind), component.trimmed()};
        for (int column = 0; column < 6; ++column)
            pointsTable->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
}

// Selects listing line `line` and scrolls to it; the session is not told again.
void frmmain::showListingLine(int line)
{
    const QTextBlock block = Text5->document()->findBlockByNumber(line);
    if (line < 0 || !block.isValid() || Text5->textCursor().blockNumber() == line)
        return; // a line the user put the cursor on stays as it is
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    const QSignalBlocker quiet(Text5);
    Text5->setTextCursor(cursor);
    Text5->ensureCursorVisible();
}

// The character of the glyph shown, or its code as "U+00E9".
void frmmain::copyCharacter(bool asCodePoint)
{
    const std::optional<char32_t> code = session_.characterShown();
    if (!code) {
        StatusBar1->showMessage(QStringLiteral("Glyph %1 has no character").arg(session_.CurrentGlyph()));
        return;
    }
    QGuiApplication::clipboard()->setText(asCodePoint ? QStringLiteral("U+%1").arg(uint(*code), 4, 16, QLatin1Char('0')).toUpper()
                                                      : QString::fromUcs4(&*code, 1));
}

// The extra width goes to the picture and the Glyph frame's listing about
// evenly, the extra height to both; a shorter window shrinks them.
void frmmain::layoutControls(QSize client)
{
    const QSize designed = twips(0, 0, 10755, 9420).size();
    const int dx = std::max(0, client.width() - designed.width()), dy = client.height() - designed.height();
    const int toPicture = dx * 11 / 20, toListing = dx - toPicture;
    auto place = [](QWidget* w, int x, int y, int grow, int higher) {
        const QRect r = w->property("designed").toRect();
        w->setGeometry(r.adjusted(x, y, x + grow, y + higher));
    };
    place(Toolbar1, 0, 0, dx, 0);
    place(Label2, 0, 0, dx, 0); // narrower while the face picker is beside it
    place(facePicker_, dx, 0, 0, 0);
    for (QWidget* w : std::initializer_list<QWidget*>{Label8, Label9, Command1})
        place(w, dx, 0, 0, 0);
    place(Picture1, 0, 0, toPicture, dy);
    place(Frame1, 0, dy, 0, 0);
    place(Frame2, toPicture, 0, toListing, dy);
    place(Text5, 0, 0, toListing, dy);
    place(pointsTable, 0, 0, toListing, dy);
    if (problems_)
        place(problems_->table(), 0, 0, toListing, dy);
    place(StatusBar1, 0, dy, dx, 0);
}
