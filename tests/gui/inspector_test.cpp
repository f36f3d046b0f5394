// The main window as an inspector of DejaVu Sans: it grows, zooms, names
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
#include "platform/toolkit.h"
#include "support/freetype_face.h"
#include "tables/cmap.h"
#include "ui/main/find_field.h"
#include "ui/main/frmmain.h"
#include "ui/main/glyph_canvas.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";

class QuietToolkit : public Toolkit {
public:
    void MsgBox(const std::string& text) override { messages.push_back(text); }
    bool MsgBoxYesNo(const std::string&, const std::string&) override { return false; }
    std::string ShowOpen(const CommonDialog&) override { return DejaVuSans; }
    std::string ShowSave(CommonDialog&) override { return {}; }
    void PopupMenu(QMenu*) override {}
    std::vector<std::string> messages;
};

struct FreeTypePoint {
    long x, y;
    bool on;
};

// The glyph's points in font units as FreeType loads them, composites resolved.
std::vector<FreeTypePoint> freeTypePoints(int glyph, int* contours = nullptr)
{
    const FreeTypeFace face(DejaVuSans);
    FT_Load_Glyph(face.get(), FT_UInt(glyph), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING);
    const FT_Outline& o = face.get()->glyph->outline;
    std::vector<FreeTypePoint> points;
    for (int i = 0; i < o.n_points; ++i)
        points.push_back({o.points[i].x, o.points[i].y, FT_CURVE_TAG(o.tags[i]) == FT_CURVE_TAG_ON});
    if (contours)
        *contours = o.n_contours;
    return points;
}

class Inspector : public ::testing::Test {
protected:
    Inspector()
    {
        w.mnuOpen_Click();
        EXPECT_TRUE(w.font().Loaded);
    }
    void find(const char* query)
    {
        w.findField()->setText(QString::fromUtf8(query));
        emit w.findField()->returnPressed();
    }
    QPointF onCanvas(long x, long y) const
    {
        return w.Picture1->pictureToCanvas().map(w.Picture1->fontToPicture().map(QPointF(double(x), double(y))));
    }
    void click(QPointF at)
    {
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, w.Picture1->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(w.Picture1, &e);
        }
    }

    struct ForgetSettings {
        ForgetSettings() { QSettings(QSettings::UserScope, "Lumaro", "Lumaro").clear(); }
    } forgotten;
    QuietToolkit toolkit;
    RecordingShellOpener shell;
    frmmain w{toolkit, shell};
};

TEST_F(Inspector, AResizeGivesThePictureAndTheListingTheExtraSize)
{
    w.show();
    const QSize picture = w.Picture1->size(), listing = w.Text5->size();
    const QPoint viewFrame = w.Frame1->pos();
    EXPECT_EQ(picture, QSize(355, 355)) << "the designed size at first";
    w.resize(w.size() + QSize(400, 300));
    QApplication::processEvents();
    EXPECT_EQ(w.Picture1->size(), picture + QSize(220, 300));
    EXPECT_EQ(w.Text5->size(), listing + QSize(180, 300));
    EXPECT_EQ(w.Frame1->pos(), viewFrame + QPoint(0, 300));
    EXPECT_GT(w.Picture1->scale(), 1.5) << "the fit fills the larger picture";
    EXPECT_LT(w.minimumSizeHint().height(), 646) << "it can be made smaller too";
    w.hide();
}

TEST_F(Inspector, TheWheelZoomsAboutThePointerAndFitRestoresIt)
{
    const QPointF pointer(120, 200);
    const QPointF under = w.Picture1->pictureToCanvas().inverted().map(pointer);
    QWheelEvent wheel(pointer, w.Picture1->mapToGlobal(pointer), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.Picture1, &wheel);
    EXPECT_DOUBLE_EQ(w.Picture1->zoom(), 1.25);
    const QPointF stays = w.Picture1->pictureToCanvas().map(under);
    EXPECT_NEAR(stays.x(), pointer.x(), 1e-9);
    EXPECT_NEAR(stays.y(), pointer.y(), 1e-9);
    EXPECT_EQ(w.mnuFit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));
    w.mnuFit->trigger();
    EXPECT_DOUBLE_EQ(w.Picture1->zoom(), 1.0);
    w.mnuZoomIn->trigger();
    w.Command2_Click(); // every newly shown glyph starts at the fit
    EXPECT_DOUBLE_EQ(w.Picture1->zoom(), 1.0);
}

TEST_F(Inspector, HoveringAPointNamesItInFontUnits)
{
    find("O");
    const std::vector<FreeTypePoint> points = freeTypePoints(w.CurrentGlyph);
    ASSERT_EQ(w.Picture1->glyph().points.size(), points.size());
    for (const std::size_t i : {std::size_t(0), points.size() / 2 + 1}) {
        const QPointF at = onCanvas(points[i].x, points[i].y);
        QMouseEvent move(QEvent::MouseMove, at, w.Picture1->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w.Picture1, &move);
        const QString message = w.StatusBar1->currentMessage();
        EXPECT_TRUE(message.startsWith(QStringLiteral("Point %1 ").arg(i))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("x %1, y %2, %3").arg(points[i].x).arg(points[i].y)
                                         .arg(points[i].on ? "on-curve" : "off-curve")))
            << message.toStdString();
    }
}

TEST_F(Inspector, AListingLineHighlightsItsSegmentAndAClickedSegmentSelectsItsLine)
{
    find("l"); // one contour of straight edges
    const std::vector<ListedSegment>& segments = w.Picture1->glyph().segments;
    ASSERT_FALSE(segments.empty());
    const ListedSegment last = segments.back();
    QTextCursor cursor(w.Text5->document()->findBlockByNumber(int(last.line)));
    w.Text5->setTextCursor(cursor);
    EXPECT_EQ(w.Picture1->selectedSegment(), int(segments.size()) - 1);

    // The reverse: a click on the middle of the first black edge selects its line.
    std::size_t edge = 0;
    while (edge < segments.size() && w.Text5->document()->findBlockByNumber(int(segments[edge].line)).text().endsWith("C"))
        ++edge;
    ASSERT_LT(edge, segments.size());
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(w.picture().toPicture(segments[edge].x1, segments[edge].y1, x1, y1));
    ASSERT_TRUE(w.picture().toPicture(segments[edge].x2, segments[edge].y2, x2, y2));
    const QPointF middle = w.Picture1->pictureToCanvas().map(QPointF((x1 + x2) / 2, (y1 + y2) / 2));
    click(middle);
    const int selected = w.Picture1->selectedSegment();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(w.Text5->textCursor().blockNumber(), int(segments[std::size_t(selected)].line));
    EXPECT_TRUE(w.Text5->textCursor().hasSelection());
}

TEST_F(Inspector, CopyPutsTheCharacterItsCodeAndItsPointsOnTheClipboard)
{
    find("U+00E9");
    w.mnuCopyCharacter->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("\u00e9"));
    EXPECT_EQ(w.mnuCopyCharacter->shortcut(), QKeySequence(QKeySequence::Copy));
    w.mnuCopyCodePoint->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "U+00E9");

    w.mnuCopyPoints->trigger();
    const QJsonArray doc = QJsonDocument::fromJson(QGuiApplication::clipboard()->text().toUtf8()).array();
    ASSERT_EQ(doc.size(), 1);
    const QJsonObject glyph = doc[0].toObject();
    EXPECT_EQ(glyph["glyph"].toInt(), w.CurrentGlyph);
    EXPECT_EQ(glyph["kind"].toString(), "composite");
    int contours = 0;
    const std::vector<FreeTypePoint> points = freeTypePoints(w.CurrentGlyph, &contours);
    EXPECT_EQ(glyph["contours"].toArray().size(), contours);
    const QJsonArray first = glyph["contours"].toArray()[0].toArray()[0].toArray();
    EXPECT_EQ(first[0].toInt(), points[0].x);
    EXPECT_EQ(first[1].toInt(), points[0].y);

    w.mnuCopyPicture->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), w.Picture1->contentsRect().size()
                                                                * int(w.Picture1->devicePixelRatio()));
}

TEST_F(Inspector, FindDrawsACompositeWithTheOptionOff)
{
    ASSERT_FALSE(w.mnuComposites->isChecked());
    find("\u00e9");
    int contours = 0;
    const std::vector<FreeTypePoint> points = freeTypePoints(w.CurrentGlyph, &contours);
    EXPECT_EQ(w.Picture1->glyph().points.size(), points.size());
    EXPECT_TRUE(w.Text5->toPlainText().startsWith(QStringLiteral("Number of Contours: %1").arg(contours)))
        << w.Text5->toPlainText().left(40).toStdString();
    EXPECT_TRUE(w.Text5->toPlainText().contains("Component:"));
    EXPECT_EQ(w.pointsTable->rowCount(), int(points.size()));
    w.Slider1->setValue(3); // redrawn at another scale, still from its components
    EXPECT_EQ(w.Picture1->glyph().points.size(), points.size());
}

} // namespace
