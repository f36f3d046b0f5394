// The views beside the main window: Pixels, Text and the overview's block
// filter, tried on DejaVu Sans and Noto Sans Devanagari.
#include <set>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include "platform/font_file.h"
#include "platform/shell.h"
#include "platform/widgets/toolkit.h"
#include "support/quiet_toolkit.h"
#include "support/freetype_face.h"
#include "support/ttf_builder.h"
#include "ui/main/frmmain.h"
#include "ui/satellite_window.h"
#include "ui/session_signals.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/overview/overview_filter.h"
#include "ui/overview/overview_model.h"
#include "ui/pixels/pixel_view.h"
#include "ui/text/text_preview.h"
#include "ui/text/waterfall_canvas.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
const std::string NotoDevanagari = std::string(NOTO_DIR) + "/NotoSansDevanagari-Regular.ttf";

class LibraryViewsTest : public ::testing::Test {
protected:
    QuietToolkit toolkit;
    RecordingShellOpener shell;
    frmmain w{toolkit, shell};
};

int inkPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

TEST_F(LibraryViewsTest, PixelsFollowTheGlyphShown)
{
    w.show();
    w.OpenFontFile(DejaVuSans);
    w.findChild<QAction*>("mnuPixels")->trigger();
    auto* pixels = w.findChild<PixelView*>("pixelView");
    const QImage space = pixels->picture();
    w.findChild<SessionSignals*>()->session().showGlyph(68); // 'a'
    const QImage a = pixels->picture();
    ASSERT_FALSE(a.isNull());
    EXPECT_GT(inkPixels(a), inkPixels(space) + 100);
}

TEST_F(LibraryViewsTest, TextShapesTheSampleAndAClickShowsTheGlyph)
{
    w.show();
    w.OpenFontFile(DejaVuSans);
    auto* text = w.findChild<TextPreview*>("textPreview");
    text->toggleViewAction()->trigger();
    ASSERT_TRUE(text->isVisible());
    EXPECT_EQ(text->text(), "The quick brown fox jumps over the lazy dog");

    auto* canvas = text->findChild<WaterfallCanvas*>();
    ASSERT_NE(canvas, nullptr);
    canvas->grab(); // paints, and so places the glyphs
    // The first glyph of the 96-pixel line, the last line.
    const FreeTypeFace ft(DejaVuSans);
    const int capitalT = int(FT_Get_Char_Index(ft.get(), 'T'));
    QPointF at;
    for (int y = canvas->height() - 1; y > 0 && at.isNull(); --y)
        if (canvas->glyphAt(QPointF(60, y)) == capitalT)
            at = QPointF(60, y);
    ASSERT_FALSE(at.isNull());
    QMouseEvent release(QEvent::MouseButtonRelease, at, canvas->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(canvas, &release);
    EXPECT_EQ(w.session().CurrentGlyph(), capitalT);
}

// Windows beside the main one stay on its screen, whatever their size, and
// clear of the main window, else of its canvas, where there is room.
TEST(SatelliteWindow, PlacedOnTheScreenBesideTheMainWindow)
{
    enum class Clear { Main, Canvas, Nothing };
    const QRect fullHd(0, 0, 1920, 1050), halfOfQhd(0, 0, 1280, 690); // available areas; the second at scale 2
    const struct {
        const char* what;
        QRect screen, main, canvas;
        QSize frame;
        Clear clearOf;
    } cases[] = {
        {"overview, main at the left", fullHd, {0, 0, 733, 700}, {16, 80, 355, 355}, {1016, 760}, Clear::Main},
        {"pixels, main centred", fullHd, {593, 190, 733, 700}, {609, 270, 355, 355}, {736, 808}, Clear::Canvas},
        {"overview, main centred", fullHd, {593, 190, 733, 700}, {609, 270, 355, 355}, {1016, 760}, Clear::Nothing},
        {"variations, main wide", fullHd, {100, 100, 1600, 700}, {116, 180, 700, 700}, {400, 300}, Clear::Canvas},
        {"overview at scale 2", halfOfQhd, {270, 0, 733, 690}, {286, 80, 355, 355}, {1016, 760}, Clear::Nothing},
        {"a screen not at the origin", fullHd.translated(1920, 0), {1920, 0, 733, 700}, {1936, 80, 355, 355},
         {1016, 760}, Clear::Main},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QRect placed = besideMainWindow(c.frame, c.main, c.canvas, c.screen);
        EXPECT_TRUE(c.screen.contains(placed)) << placed.x() << "," << placed.y() << " " << placed.width() << "x"
                                               << placed.height();
        EXPECT_EQ(placed.size(), c.frame.boundedTo(c.screen.size()));
        if (c.clearOf == Clear::Main) {
            EXPECT_FALSE(placed.intersects(c.main));
        }
        if (c.clearOf != Clear::Nothing) {
            EXPECT_FALSE(placed.intersects(c.canvas));
        }
    }
}

TEST(SampleText, NameId19ElseAPangramTheFontCovers)
{
    ttf::FontSpec design = ttf::squaresFont(3);
    design.names = {{3, 1, 0x409, 19, ttf::utf16be(u"Sample of mine")}};
    const ttf::ByteVector bytes = ttf::buildFont(design);
    const OpenedFont built = OpenFontBytes("built.ttf", FileKind::TrueType, {bytes.begin(), bytes.end()}, false);
    EXPECT_EQ(SampleText(built.font), "Sample of mine");

    const OpenedFont devanagari = OpenFontPath(NotoDevanagari, false);
    ASSERT_TRUE(devanagari.font.Loaded);
    EXPECT_TRUE(SampleText(devanagari.font).startsWith(QString::fromUtf8("\u090b\u0937\u093f")));
}

// The overview's filter by block against FreeType's character map.
TEST(OverviewBlockFilter, CyrillicIsTheGlyphsOfCyrillicCodes)
{
    EXPECT_EQ(int(parseGlyphFilter("Cyrillic").kind), int(GlyphFilter::Kind::Block));
    EXPECT_EQ(int(parseGlyphFilter("cyrillic supplement").kind), int(GlyphFilter::Kind::Block));
    OpenedFont opened = OpenFontPath(DejaVuSans, false);
    auto font = std::make_shared<const FontState>(std::move(opened.font));
    GlyphListModel model;
    model.setSource(std::make_shared<FontGlyphSource>(font, "DejaVu Sans"));
    model.setFilter(parseGlyphFilter("Cyrillic"));

    const FreeTypeFace ft(DejaVuSans);
    std::set<int> expected;
    for (char32_t c = 0x400; c <= 0x4FF; ++c)
        if (const FT_UInt g = FT_Get_Char_Index(ft.get(), c))
            expected.insert(int(g));
    const std::vector<int> shown = model.glyphs();
    EXPECT_GT(expected.size(), 200u);
    EXPECT_EQ(std::set<int>(shown.begin(), shown.end()), expected);
    const QString tip = model.data(model.index(0), Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains("Block: Cyrillic")) << tip.toStdString();
}

} // namespace
