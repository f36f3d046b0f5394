// The main window examining DejaVu Sans: it grows, zooms, names
// points, ties the listing to the drawing and copies; expected values come
// from FreeType.
#include <QApplication>
#include <QGroupBox>
#include <QSlider>
#include <QTableWidget>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStatusBar>
#include <QTextBlock>
#include <QWheelEvent>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include "platform/shell.h"
#include "platform/widgets/toolkit.h"
#include "support/quiet_toolkit.h"
#include "support/freetype_face.h"
#include "tables/cmap.h"
#include "ui/main/find_field.h"
#include "ui/main/frmmain.h"
#include "ui/main/glyph_canvas.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";

const std::string CantarellRegular = std::string(CANTARELL_DIR) + "/Cantarell-Regular.otf";

struct FreeTypePoint {
    long x, y;
    bool on;
    bool cubic;
};

// The glyph's points in font units as FreeType loads them, composites resolved.
std::vector<FreeTypePoint> freeTypePoints(int glyph, int* contours = nullptr, const std::string& path = DejaVuSans)
{
    const FreeTypeFace face(path);
    FT_Load_Glyph(face.get(), FT_UInt(glyph), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING);
    const FT_Outline& o = face.get()->glyph->outline;
    std::vector<FreeTypePoint> points;
    for (int i = 0; i < o.n_points; ++i)
        points.push_back({o.points[i].x, o.points[i].y, FT_CURVE_TAG(o.tags[i]) == FT_CURVE_TAG_ON,
                          FT_CURVE_TAG(o.tags[i]) == FT_CURVE_TAG_CUBIC});
    if (contours)
        *contours = o.n_contours;
    return points;
}

// The window's controls this test reads, found by their object names.
struct CanvasControls {
    template <class T>
    static T* control(const frmmain& w, const char* name)
    {
        T* found = w.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    explicit CanvasControls(const frmmain& w)
        : Picture1(control<GlyphCanvas>(w, "Picture1")), Text5(control<QPlainTextEdit>(w, "Text5")),
          Frame1(control<QGroupBox>(w, "Frame1")), Slider1(control<QSlider>(w, "Slider1")),
          StatusBar1(control<QStatusBar>(w, "StatusBar1")), pointsTable(control<QTableWidget>(w, "pointsTable")),
          mnuComposites(control<QAction>(w, "mnuComposites")), mnuFit(control<QAction>(w, "mnuFit")),
          mnuZoomIn(control<QAction>(w, "mnuZoomIn")), mnuCopyCharacter(control<QAction>(w, "mnuCopyCharacter")),
          mnuCopyCodePoint(control<QAction>(w, "mnuCopyCodePoint")), mnuCopyPoints(control<QAction>(w, "mnuCopyPoints")),
          mnuCopyPicture(control<QAction>(w, "mnuCopyPicture"))
    {
    }
    GlyphCanvas* Picture1;
    QPlainTextEdit* Text5;
    QGroupBox* Frame1;
    QSlider* Slider1;
    QStatusBar* StatusBar1;
    QTableWidget* pointsTable;
    QAction *mnuComposites, *mnuFit, *mnuZoomIn, *mnuCopyCharacter, *mnuCopyCodePoint, *mnuCopyPoints, *mnuCopyPicture;
};

class CanvasWindow : public ::testing::Test {
protected:
    CanvasWindow()
    {
        w.mnuOpen_Click();
        EXPECT_TRUE(w.session().font()->Loaded);
    }
    int shown() const { return w.session().CurrentGlyph(); }
    void find(const char* query)
    {
        w.findChild<FindField*>("findField")->setText(QString::fromUtf8(query));
        emit w.findChild<FindField*>("findField")->returnPressed();
    }
    QPointF onCanvas(long x, long y) const
    {
        return ui.Picture1->pictureToCanvas().map(ui.Picture1->fontToPicture().map(QPointF(double(x), double(y))));
    }
    void hover(QPointF at)
    {
        QMouseEvent move(QEvent::MouseMove, at, ui.Picture1->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(ui.Picture1, &move);
    }
    void click(QPointF at)
    {
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, ui.Picture1->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(ui.Picture1, &e);
        }
    }

    struct ForgetSettings {
        ForgetSettings() { QSettings(QSettings::UserScope, "Lumaro", "Lumaro").clear(); }
    } forgotten;
    QuietToolkit toolkit{DejaVuSans};
    RecordingShellOpener shell;
    frmmain w{toolkit, shell};
    CanvasControls ui{w};
};

TEST_F(CanvasWindow, AResizeGivesThePictureAndTheListingTheExtraSize)
{
    w.show();
    const QSize picture = ui.Picture1->size(), listing = ui.Text5->size();
    const QPoint viewFrame = ui.Frame1->pos();
    EXPECT_EQ(picture, QSize(355, 355)) << "the designed size at first";
    w.resize(w.size() + QSize(400, 300));
    QApplication::processEvents();
    EXPECT_EQ(ui.Picture1->size(), picture + QSize(220, 300));
    EXPECT_EQ(ui.Text5->size(), listing + QSize(180, 300));
    EXPECT_EQ(ui.Frame1->pos(), viewFrame + QPoint(0, 300));
    EXPECT_GT(ui.Picture1->scale(), 1.5) << "the fit fills the larger picture";
    EXPECT_LT(w.minimumSizeHint().height(), 646) << "it can be made smaller too";
    w.hide();
}

TEST_F(CanvasWindow, TheWheelZoomsAboutThePointerAndFitRestoresIt)
{
    const QPointF pointer(120, 200);
    const QPointF under = ui.Picture1->pictureToCanvas().inverted().map(pointer);
    QWheelEvent wheel(pointer, ui.Picture1->mapToGlobal(pointer), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(ui.Picture1, &wheel);
    EXPECT_DOUBLE_EQ(ui.Picture1->zoom(), 1.25);
    const QPointF stays = ui.Picture1->pictureToCanvas().map(under);
    EXPECT_NEAR(stays.x(), pointer.x(), 1e-9);
    EXPECT_NEAR(stays.y(), pointer.y(), 1e-9);
    EXPECT_EQ(ui.mnuFit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));
    ui.mnuFit->trigger();
    EXPECT_DOUBLE_EQ(ui.Picture1->zoom(), 1.0);
    ui.mnuZoomIn->trigger();
    w.Command2_Click(); // every newly shown glyph starts at the fit
    EXPECT_DOUBLE_EQ(ui.Picture1->zoom(), 1.0);
}

TEST_F(CanvasWindow, HoveringAPointNamesItInFontUnits)
{
    find("O");
    const std::vector<FreeTypePoint> points = freeTypePoints(shown());
    ASSERT_EQ(ui.Picture1->glyph().points.size(), points.size());
    for (const std::size_t i : {std::size_t(0), points.size() / 2 + 1}) {
        hover(onCanvas(points[i].x, points[i].y));
        const QString message = ui.StatusBar1->currentMessage();
        EXPECT_TRUE(message.startsWith(QStringLiteral("Point %1 ").arg(i))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("x %1, y %2, %3").arg(points[i].x).arg(points[i].y)
                                         .arg(points[i].on ? "on-curve" : "off-curve")))
            << message.toStdString();
    }
}

TEST_F(CanvasWindow, AListingLineHighlightsItsSegmentAndAClickedSegmentSelectsItsLine)
{
    find("l"); // one contour of straight edges
    const std::vector<ListedSegment>& segments = ui.Picture1->glyph().segments;
    ASSERT_FALSE(segments.empty());
    const ListedSegment last = segments.back();
    QTextCursor cursor(ui.Text5->document()->findBlockByNumber(int(last.line)));
    ui.Text5->setTextCursor(cursor);
    EXPECT_EQ(ui.Picture1->selectedSegment(), int(segments.size()) - 1);

    // The reverse: a click on the middle of the first black edge selects its line.
    std::size_t edge = 0;
    while (edge < segments.size() && ui.Text5->document()->findBlockByNumber(int(segments[edge].line)).text().endsWith("C"))
        ++edge;
    ASSERT_LT(edge, segments.size());
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(w.picture().toPicture(segments[edge].x1, segments[edge].y1, x1, y1));
    ASSERT_TRUE(w.picture().toPicture(segments[edge].x2, segments[edge].y2, x2, y2));
    const QPointF middle = ui.Picture1->pictureToCanvas().map(QPointF((x1 + x2) / 2, (y1 + y2) / 2));
    click(middle);
    const int selected = ui.Picture1->selectedSegment();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(ui.Text5->textCursor().blockNumber(), int(segments[std::size_t(selected)].line));
    EXPECT_TRUE(ui.Text5->textCursor().hasSelection());
}

TEST_F(CanvasWindow, CopyPutsTheCharacterItsCodeAndItsPointsOnTheClipboard)
{
    find("U+00E9");
    ui.mnuCopyCharacter->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("\u00e9"));
    EXPECT_EQ(ui.mnuCopyCharacter->shortcut(), QKeySequence(QKeySequence::Copy));
    ui.mnuCopyCodePoint->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "U+00E9");

    ui.mnuCopyPoints->trigger();
    const QJsonArray doc = QJsonDocument::fromJson(QGuiApplication::clipboard()->text().toUtf8()).array();
    ASSERT_EQ(doc.size(), 1);
    const QJsonObject glyph = doc[0].toObject();
    EXPECT_EQ(glyph["glyph"].toInt(), shown());
    EXPECT_EQ(glyph["kind"].toString(), "composite");
    int contours = 0;
    const std::vector<FreeTypePoint> points = freeTypePoints(shown(), &contours);
    EXPECT_EQ(glyph["contours"].toArray().size(), contours);
    const QJsonArray first = glyph["contours"].toArray()[0].toArray()[0].toArray();
    EXPECT_EQ(first[0].toInt(), points[0].x);
    EXPECT_EQ(first[1].toInt(), points[0].y);

    ui.mnuCopyPicture->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), ui.Picture1->contentsRect().size()
                                                                * int(ui.Picture1->devicePixelRatio()));
}

TEST_F(CanvasWindow, FindDrawsACompositeWithTheOptionOff)
{
    ASSERT_FALSE(ui.mnuComposites->isChecked());
    find("\u00e9");
    int contours = 0;
    const std::vector<FreeTypePoint> points = freeTypePoints(shown(), &contours);
    EXPECT_EQ(ui.Picture1->glyph().points.size(), points.size());
    EXPECT_TRUE(ui.Text5->toPlainText().startsWith(QStringLiteral("Number of Contours: %1").arg(contours)))
        << ui.Text5->toPlainText().left(40).toStdString();
    EXPECT_TRUE(ui.Text5->toPlainText().contains("Component:"));
    EXPECT_EQ(ui.pointsTable->rowCount(), int(points.size()));
    ui.Slider1->setValue(3); // redrawn at another scale, still from its components
    EXPECT_EQ(ui.Picture1->glyph().points.size(), points.size());
}

// A point picked in the table is ringed in the picture and its line selected
// in the listing; a point clicked in the picture picks its row.
TEST_F(CanvasWindow, ThePointsTableSharesTheSelection)
{
    find("O");
    EXPECT_FALSE(ui.Text5->textCursor().hasSelection()) << "a new listing selects no line";
    const std::vector<FreeTypePoint> points = freeTypePoints(shown());
    ASSERT_EQ(ui.pointsTable->rowCount(), int(points.size()));
    const int row = 3;
    EXPECT_EQ(ui.pointsTable->item(row, 2)->text(), QString::number(points[row].x));
    EXPECT_EQ(ui.pointsTable->item(row, 3)->text(), QString::number(points[row].y));
    ui.pointsTable->selectRow(row);
    EXPECT_EQ(ui.Picture1->selectedPoint(), row);
    ASSERT_GE(ui.Picture1->selectedSegment(), 0) << "a segment is drawn from every point of O";
    const ListedSegment& from = ui.Picture1->glyph().segments[std::size_t(ui.Picture1->selectedSegment())];
    EXPECT_EQ(ui.Text5->textCursor().blockNumber(), int(from.line));

    click(onCanvas(points[0].x, points[0].y));
    EXPECT_EQ(ui.Picture1->selectedPoint(), 0);
    ASSERT_EQ(ui.pointsTable->selectedItems().size(), 6);
    EXPECT_EQ(ui.pointsTable->selectedItems().first()->row(), 0);
    w.Command2_Click();
    EXPECT_EQ(ui.Picture1->selectedPoint(), -1) << "a glyph shown starts with nothing selected";
    EXPECT_TRUE(ui.pointsTable->selectedItems().isEmpty());
}

// A CFF glyph's cubic control points are named as such, in the table and on hover.
TEST(CanvasWindowCff, CubicPointsAreNamedAsFreeTypeTagsThem)
{
    QSettings(QSettings::UserScope, "Lumaro", "Lumaro").clear();
    QuietToolkit toolkit{DejaVuSans};
    toolkit.font = CantarellRegular;
    RecordingShellOpener shell;
    frmmain w{toolkit, shell};
    w.mnuOpen_Click();
    ASSERT_TRUE(w.session().font()->Loaded);
    w.findChild<FindField*>("findField")->setText("S");
    emit w.findChild<FindField*>("findField")->returnPressed();
    const CanvasControls ui(w);
    const std::vector<FreeTypePoint> points = freeTypePoints(w.session().CurrentGlyph(), nullptr, CantarellRegular);
    ASSERT_EQ(ui.pointsTable->rowCount(), int(points.size()));
    int cubic = 0;
    for (int row = 0; row < int(points.size()); ++row) {
        const FreeTypePoint& p = points[std::size_t(row)];
        cubic += p.cubic;
        EXPECT_EQ(ui.pointsTable->item(row, 4)->text(), p.on ? "on-curve" : p.cubic ? "cubic off-curve" : "off-curve") << row;
    }
    ASSERT_GT(cubic, 0);
    const auto first = std::find_if(points.begin(), points.end(), [](const FreeTypePoint& p) { return p.cubic; });
    const QPointF at = ui.Picture1->pictureToCanvas().map(ui.Picture1->fontToPicture().map(QPointF(first->x, first->y)));
    QMouseEvent move(QEvent::MouseMove, at, ui.Picture1->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(ui.Picture1, &move);
    EXPECT_TRUE(ui.StatusBar1->currentMessage().endsWith(
        QStringLiteral("x %1, y %2, cubic off-curve").arg(first->x).arg(first->y)))
        << ui.StatusBar1->currentMessage().toStdString();
}

} // namespace
