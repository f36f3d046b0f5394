#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QThread>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include "check/font_diff.h"
#include "check/outline_checks.h"
#include "platform/shell.h"
#include "platform/widgets/toolkit.h"
#include "support/font_file_loading.h"
#include "support/font_loading.h"
#include "support/freetype_face.h"
#include "support/glyph_font.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/main/frmmain.h"
#include "ui/overview/overview.h"
#include "ui/overview/overview_filter.h"
#include "ui/overview/overview_model.h"
#include "ui/overview/overview_sheet.h"
#include "ui/overview/overview_thumbnails.h"
#include "ui/session_signals.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
const std::string DejaVuSerif = std::string(DEJAVU_DIR) + "/DejaVuSerif.ttf";

// Opens what it is told to, saves where it is told to, answers questions as told.
class AnsweringToolkit : public Toolkit {
public:
    void MsgBox(const std::string& text) override { messages.push_back(text); }
    bool MsgBoxYesNo(const std::string& text, const std::string&) override
    {
        questions.push_back(text);
        return answerYes;
    }
    std::string ShowOpen(const CommonDialog&) override { return openAnswer; }
    std::string ShowSave(CommonDialog&) override { return saveAnswer; }
    void PopupMenu(QMenu*) override {}

    std::string openAnswer, saveAnswer;
    bool answerYes = false;
    std::vector<std::string> messages, questions;
};

FT_UInt glyphOf(const FreeTypeFace& face, FT_ULong code) { return FT_Get_Char_Index(face.get(), code); }

// Glyph -> its codes below 0x10000, as FreeType's character map gives them.
std::map<int, std::vector<char32_t>> freeTypeCodes(const FreeTypeFace& face)
{
    std::map<int, std::vector<char32_t>> codes;
    FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE); // the UCS-4 one when the font has it
    FT_UInt glyph = 0;
    for (FT_ULong c = FT_Get_First_Char(face.get(), &glyph); glyph != 0; c = FT_Get_Next_Char(face.get(), c, &glyph))
        codes[int(glyph)].push_back(char32_t(c));
    return codes;
}

TEST(OverviewFilter, Grammar)
{
    using K = GlyphFilter::Kind;
    const std::pair<const char*, GlyphFilter> cases[] = {
        {"", {K::All, 0, 0, ""}},
        {"   ", {K::All, 0, 0, ""}},
        {"100-200", {K::GlyphRange, 100, 200, ""}},
        {" 100 - 200 ", {K::GlyphRange, 100, 200, ""}},
        {"200-100", {K::GlyphRange, 100, 200, ""}},
        {"42", {K::GlyphRange, 42, 42, ""}},
        {"0-99999999999999999999", {K::GlyphRange, 0, 65535, ""}},
        {"U+0400-U+04FF", {K::CodeRange, 0x400, 0x4FF, ""}},
        {"u+41", {K::CodeRange, 0x41, 0x41, ""}},
        {"U+04ff - u+0400", {K::CodeRange, 0x400, 0x4FF, ""}},
        {"U+110000", {K::CodeRange, 0x10FFFF, 0x10FFFF, ""}},
        {"U+0400-04FF", {K::Name, 0, 0, "u+0400-04ff"}},
        {"U+", {K::Name, 0, 0, "u+"}},
        {"Cyr", {K::Name, 0, 0, "cyr"}},
        {"-5", {K::Name, 0, 0, "-5"}},
        {"10-", {K::Name, 0, 0, "10-"}},
        {"1e3", {K::Name, 0, 0, "1e3"}},
        {"100-200-300", {K::Name, 0, 0, "100-200-300"}},
        {"problems", {K::Problems, (1 << CheckCount) - 1, 0, ""}},
        {" Problems:Wrong_Direction ", {K::Problems, 1 << int(Check::WrongDirection), 0, ""}},
        {"problems:nothing", {K::Name, 0, 0, "problems:nothing"}},
        {"changed", {K::Changed, (1 << GlyphChangeCount) - 2, 0, ""}},
        {"points_moved", {K::Changed, 1 << int(GlyphChange::PointsMoved), 0, ""}},
        {"changed:removed", {K::Changed, 1 << int(GlyphChange::Removed), 0, ""}},
    };
    for (const auto& [text, expected] : cases) {
        const GlyphFilter f = parseGlyphFilter(text);
        EXPECT_EQ(int(f.kind), int(expected.kind)) << text;
        EXPECT_EQ(f.first, expected.first) << text;
        EXPECT_EQ(f.last, expected.last) << text;
        EXPECT_EQ(f.name, expected.name) << text;
    }
}

TEST(OverviewDrawing, ContoursBecomeQuadraticPaths)
{
    constexpr PointKind On = PointKind::OnCurve, Off = PointKind::QuadraticOff;
    GlyphShape shape;
    // Starts off the curve, between its last and first points (both off the
    // curve); two off-curve points in a row meet at their midpoint.
    // No on-curve point at all: it starts midway between the last and the first.
    // Straight lines only.
    shape.outline = {{3, 6, 9},
                     {{0, 0, Off}, {100, 0, Off}, {100, 100, On}, {0, 100, Off},
                      {0, 0, Off}, {10, 0, Off}, {10, 10, Off},
                      {0, 0, On}, {0, 10, On}, {10, 10, On}}};

    QPainterPath expected;
    expected.setFillRule(Qt::WindingFill);
    expected.moveTo(0, 50);
    expected.quadTo(QPointF(0, 0), QPointF(50, 0));
    expected.quadTo(QPointF(100, 0), QPointF(100, 100));
    expected.quadTo(QPointF(0, 100), QPointF(0, 50));
    expected.closeSubpath();
    expected.moveTo(5, 5);
    expected.quadTo(QPointF(0, 0), QPointF(5, 0));
    expected.quadTo(QPointF(10, 0), QPointF(10, 5));
    expected.quadTo(QPointF(10, 10), QPointF(5, 5));
    expected.closeSubpath();
    expected.moveTo(0, 0);
    expected.lineTo(0, 10);
    expected.lineTo(10, 10);
    expected.closeSubpath();

    EXPECT_EQ(glyphPath(shape), expected);
}

// A built font: hhea ascender 800, descender -200; glyph 1 a square from the
// baseline up to 201 units, glyph 2 empty, glyph 3 of 2001 contours (more
// than the classic view draws), glyph 4 claiming 3000 contours without their data.
TEST(OverviewDrawing, ThumbnailsShareOneScaleAndBaseline)
{
    ttf::FontSpec design = ttf::squaresFont(2);
    design.glyphs.push_back({});
    design.glyphs.push_back(ttf::pointRowGlyph(2001));
    design.glyphs.push_back(rawGlyph(ttf::Bytes().i16(3000).i16(0).i16(0).i16(0).i16(0).data));
    auto font = std::make_shared<FontState>();
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(*font, sink, ttf::buildFont(design)), LoadResult::Loaded);
    const FontGlyphSource source(font, "Squares");
    EXPECT_EQ(source.metrics().ascender, 800);
    EXPECT_EQ(source.metrics().descender, -200);
    EXPECT_EQ(source.metrics().unitsPerEm, 1000);

    // 100 pixels for 1000 units: the baseline at row 80, the square's top near row 60.
    const Thumbnail square = buildThumbnail(source, 1, QSize(100, 100), 1.0);
    ASSERT_FALSE(square.image.isNull());
    EXPECT_EQ(qAlpha(square.image.pixel(50, 79)), 255);
    EXPECT_EQ(qAlpha(square.image.pixel(50, 61)), 255);
    EXPECT_EQ(qAlpha(square.image.pixel(50, 81)), 0);
    EXPECT_EQ(qAlpha(square.image.pixel(50, 58)), 0);

    const Thumbnail empty = buildThumbnail(source, 2, QSize(100, 100), 1.0);
    EXPECT_TRUE(empty.image.isNull());
    EXPECT_FALSE(empty.abandoned);
    const Thumbnail drawn = buildThumbnail(source, 3, QSize(100, 100), 1.0);
    EXPECT_FALSE(drawn.abandoned);
    EXPECT_FALSE(drawn.image.isNull());
    EXPECT_EQ(int(source.shape(3).outline.ends.size()), 2001);
    const Thumbnail broken = buildThumbnail(source, 4, QSize(100, 100), 1.0);
    EXPECT_TRUE(broken.abandoned);
    EXPECT_TRUE(sink.texts.empty());
}

TEST(OverviewDrawing, DamagedMetricsDoNotBlowTheGlyphUp)
{
    // A line one unit high would make a 1000-unit glyph 48 000 pixels tall.
    const QRectF box(0, 0, 48, 48), ink(0, 0, 1000, 1000);
    const QTransform sane = glyphTransform({1000, 800, -200}, box, ink);
    const QTransform damaged = glyphTransform({1000, 1, 0}, box, ink);
    EXPECT_DOUBLE_EQ(sane.m11(), 48.0 / 1000);
    EXPECT_DOUBLE_EQ(damaged.m11(), MaxInkBoxes * 48 / 1000);
    EXPECT_DOUBLE_EQ(damaged.m22(), -damaged.m11());
}

// The thumbnail once the worker has delivered it; nullptr after five seconds.
const Thumbnail* waitForThumbnail(ThumbnailCache& cache, int glyph)
{
    QElapsedTimer waited;
    waited.start();
    const Thumbnail* t = cache.find(glyph);
    while (!t && waited.elapsed() < 5000) {
        QThread::msleep(1);
        QApplication::processEvents();
        t = cache.find(glyph);
    }
    return t;
}

TEST(ThumbnailCache, BuildsOnTheWorkerAndForgetsOnResize)
{
    auto font = std::make_shared<FontState>();
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(*font, sink, ttf::buildFont(ttf::squaresFont(3))), LoadResult::Loaded);
    const auto source = std::make_shared<FontGlyphSource>(font, "Squares");
    ThumbnailCache cache;
    cache.setSource(source);
    cache.setBoxSize(QSize(100, 100), 1.0);

    EXPECT_EQ(cache.find(2), nullptr); // queued, not built yet
    const Thumbnail* t = waitForThumbnail(cache, 2);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->image, buildThumbnail(*source, 2, QSize(100, 100), 1.0).image);

    cache.setBoxSize(QSize(40, 40), 1.0);
    EXPECT_EQ(cache.find(2), nullptr); // the old size is gone
    t = waitForThumbnail(cache, 2);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->image.size(), QSize(40, 40));
    cache.setSource(nullptr);
    EXPECT_EQ(cache.find(2), nullptr);
}

// Every glyph of the DejaVu fonts: advances, codes and simple outlines as FreeType reads them.
TEST(FontGlyphSource, AgreesWithFreeTypeOnDejaVu)
{
    for (const std::string& path : {DejaVuSans, DejaVuSerif}) {
        SCOPED_TRACE(path);
        FreeTypeFace face(path);
        ASSERT_NE(face.get(), nullptr);
        auto font = std::make_shared<FontState>();
        RecordingSink sink;
        ASSERT_EQ(loadFontPath(*font, sink, path), LoadResult::Loaded);
        const FontGlyphSource source(font, "DejaVu");
        ASSERT_EQ(source.glyphCount(), face.get()->num_glyphs);
        EXPECT_EQ(source.metrics().unitsPerEm, face.get()->units_per_EM);
        EXPECT_EQ(source.metrics().ascender, face.get()->ascender);
        EXPECT_EQ(source.metrics().descender, face.get()->descender);

        const auto codes = freeTypeCodes(face);
        for (int g = 0; g < source.glyphCount(); ++g) {
            const auto it = codes.find(g);
            EXPECT_EQ(source.codes(g), it == codes.end() || g == 0 ? std::vector<char32_t>() : it->second) << g;
            ASSERT_EQ(FT_Load_Glyph(face.get(), FT_UInt(g), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_RECURSE), 0);
            const FT_GlyphSlot slot = face.get()->glyph;
            EXPECT_EQ(source.advance(g), slot->advance.x) << g;
            if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
                continue; // composites are compared with FreeType's in the outline tests
            const GlyphShape shape = source.shape(g);
            ASSERT_FALSE(shape.abandoned) << g;
            ASSERT_EQ(shape.outline.ends, std::vector<int>(slot->outline.contours,
                                                           slot->outline.contours + slot->outline.n_contours)) << g;
            ASSERT_EQ(int(shape.outline.points.size()), slot->outline.n_points) << g;
            // FreeType moves a glyph whose lsb differs from its xMin by lsb - xMin.
            const BBox& box = font->GlyphBox[std::size_t(g)];
            const long shift = font->HMetrics[std::size_t(g)].Lsb - box.XMin;
            for (int i = 0; i < slot->outline.n_points; ++i) {
                const OutlinePoint& p = shape.outline.points[std::size_t(i)];
                EXPECT_EQ(p.x + shift, slot->outline.points[i].x);
                EXPECT_EQ(p.y, slot->outline.points[i].y);
                EXPECT_EQ(p.kind == PointKind::OnCurve, FT_CURVE_TAG(slot->outline.tags[i]) == FT_CURVE_TAG_ON);
            }
        }
    }
}

TEST(GlyphListModel, RowsFollowTheFilter)
{
    FreeTypeFace face(DejaVuSans);
    auto font = std::make_shared<FontState>();
    RecordingSink sink;
    ASSERT_EQ(loadFontPath(*font, sink, DejaVuSans), LoadResult::Loaded);
    GlyphListModel model;
    model.setSource(std::make_shared<FontGlyphSource>(font, "DejaVu Sans"));
    EXPECT_EQ(model.rowCount(), face.get()->num_glyphs);
    EXPECT_EQ(model.glyphAt(6252), 6252);

    model.setFilter(parseGlyphFilter("100-199"));
    EXPECT_EQ(model.rowCount(), 100);
    EXPECT_EQ(model.glyphAt(0), 100);
    EXPECT_EQ(model.rowOf(99), -1);
    model.setFilter(parseGlyphFilter("6250-9999"));
    EXPECT_EQ(model.rowCount(), 3);

    std::set<int> cyrillic;
    for (FT_ULong c = 0x400; c <= 0x4FF; ++c)
        if (glyphOf(face, c))
            cyrillic.insert(int(glyphOf(face, c)));
    model.setFilter(parseGlyphFilter("U+0400-U+04FF"));
    EXPECT_EQ(model.glyphs(), std::vector<int>(cyrillic.begin(), cyrillic.end()));

    std::vector<int> named;
    for (int g = 0; g < face.get()->num_glyphs; ++g) {
        char name[64] = {};
        FT_Get_Glyph_Name(face.get(), FT_UInt(g), name, sizeof name);
        std::string lower(name);
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (lower.find("uni04") != std::string::npos)
            named.push_back(g);
    }
    model.setFilter(parseGlyphFilter("UNI04"));
    EXPECT_FALSE(named.empty());
    EXPECT_EQ(model.glyphs(), named);
}

// Does `act`, then waits until the overview's grid follows its filter: at
// once, or once the worker that reads every glyph is done.
template <class Act>
void waitForRows(OverviewWindow& overview, Act act)
{
    QEventLoop loop;
    bool done = false;
    QObject::connect(&overview, &OverviewWindow::rowsFiltered, &loop, [&] {
        done = true;
        loop.quit();
    });
    act();
    if (!done) {
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    EXPECT_TRUE(done) << "the filter never settled";
}

// The main window with DejaVu Sans open and its overview shown through View > "Overview".
class OverviewWithMainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        toolkit.openAnswer = DejaVuSans;
        w.mnuOpen_Click();
        QAction* view = nullptr;
        for (QAction* menu : w.menuBar()->actions())
            if (menu->text() == "View")
                view = menu;
        ASSERT_NE(view, nullptr);
        QAction* item = view->menu()->actions().value(0);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), "Overview");
        EXPECT_EQ(item->shortcut(), QKeySequence("Ctrl+Shift+O"));
        item->trigger();
        overview = w.findChild<OverviewWindow*>();
        ASSERT_NE(overview, nullptr);
        grid = overview->findChild<QListView*>("grid");
        filter = overview->findChild<QLineEdit*>("filter");
        ASSERT_TRUE(grid && filter);
        QApplication::processEvents(); // the grid's first layout
    }

    FontSession& session() const { return w.findChild<SessionSignals*>()->session(); }

    // Types `text` into the filter and waits for the grid to show what it asks for.
    void typeFilter(const QString& text) const { waitForRows(*overview, [&] { filter->setText(text); }); }

    int selectedGlyph() const
    {
        const QModelIndexList selected = grid->selectionModel()->selectedIndexes();
        return selected.size() == 1 ? selected[0].data(GlyphListModel::GlyphRole).toInt() : -1;
    }

    QModelIndex cellOf(int glyph) const
    {
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            if (grid->model()->index(row, 0).data(GlyphListModel::GlyphRole).toInt() == glyph)
                return grid->model()->index(row, 0);
        return {};
    }

    void click(const QModelIndex& cell)
    {
        grid->scrollTo(cell);
        const QPointF at = grid->visualRect(cell).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, grid->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(grid->viewport(), &e);
        }
    }

    AnsweringToolkit toolkit;
    RecordingShellOpener shell;
    frmmain w{toolkit, shell};
    FreeTypeFace face{DejaVuSans};
    OverviewWindow* overview = nullptr;
    QListView* grid = nullptr;
    QLineEdit* filter = nullptr;
};

TEST_F(OverviewWithMainWindow, ClickOrEnterShowsTheGlyphInTheMainWindow)
{
    EXPECT_TRUE(overview->isVisible());
    EXPECT_EQ(overview->windowTitle(), "Lumaro Overview");
    EXPECT_EQ(grid->model()->rowCount(), face.get()->num_glyphs);

    typeFilter("U+0400-U+04FF");
    const int zhe = int(glyphOf(face, 0x416));
    click(cellOf(zhe));
    EXPECT_EQ(w.session().CurrentGlyph(), zhe);
    EXPECT_EQ(w.findChild<QLineEdit*>("Text6")->text(), QString::number(zhe));
    EXPECT_EQ(w.findChild<QComboBox*>("Combo1")->currentText(), QString::number(zhe));

    const int be = int(glyphOf(face, 0x411));
    grid->setCurrentIndex(cellOf(be));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    EXPECT_EQ(w.session().CurrentGlyph(), be);
    EXPECT_EQ(w.findChild<QLineEdit*>("Text6")->text(), QString::number(be));

    // A glyph Combo1 does not list (a composite) is shown all the same.
    const int aGrave = int(glyphOf(face, 0xC0));
    ASSERT_FALSE(std::binary_search(w.session().lists().GlyphList.begin(), w.session().lists().GlyphList.end(), aGrave));
    typeFilter("");
    click(cellOf(aGrave));
    EXPECT_EQ(w.session().CurrentGlyph(), aGrave);
    EXPECT_EQ(w.findChild<QComboBox*>("Combo1")->currentIndex(), -1);
    EXPECT_TRUE(toolkit.messages.empty());
}

TEST_F(OverviewWithMainWindow, SelectionFollowsTheMainWindow)
{
    EXPECT_EQ(selectedGlyph(), 4);
    w.Command2_Click();
    EXPECT_EQ(selectedGlyph(), w.session().CurrentGlyph());

    session().showGlyph(6000);
    EXPECT_EQ(selectedGlyph(), 6000);
    EXPECT_TRUE(grid->viewport()->rect().intersects(grid->visualRect(cellOf(6000))));

    typeFilter("U+0400-U+04FF"); // hides glyph 6000
    EXPECT_EQ(selectedGlyph(), -1);
    const int zhe = int(glyphOf(face, 0x416));
    session().showGlyph(zhe);
    EXPECT_EQ(selectedGlyph(), zhe);
    typeFilter("");
    EXPECT_EQ(selectedGlyph(), zhe);

    // Another font: the overview shows it, and its glyph 4.
    toolkit.openAnswer = DejaVuSerif;
    w.mnuOpen_Click();
    EXPECT_EQ(grid->model()->rowCount(), FreeTypeFace(DejaVuSerif).get()->num_glyphs);
    EXPECT_EQ(selectedGlyph(), 4);
}

// Typed key by key, a filter that reads every glyph is looked for once
// typing pauses; another font starts unfiltered, the same font read again
// keeps its filter.
TEST_F(OverviewWithMainWindow, TheFilterFollowsTypingAndIsClearedForAnotherFont)
{
    int filterings = 0;
    QObject::connect(overview, &OverviewWindow::rowsFiltered, overview, [&] { ++filterings; });
    const QString typed = "U+0400-U+04FF";
    waitForRows(*overview, [&] {
        for (qsizetype keys = 1; keys <= typed.size(); ++keys)
            filter->setText(typed.left(keys));
    });
    EXPECT_EQ(filterings, 1) << "each key cancels the search before it";
    std::set<int> cyrillic;
    for (char32_t c = 0x400; c <= 0x4FF; ++c)
        if (const FT_UInt g = glyphOf(face, c))
            cyrillic.insert(int(g));
    EXPECT_EQ(grid->model()->rowCount(), int(cyrillic.size()));

    typeFilter("100-199");
    w.findChild<QAction*>("mnuReload")->trigger();
    EXPECT_EQ(filter->text(), "100-199");
    EXPECT_EQ(grid->model()->rowCount(), 100);

    toolkit.openAnswer = DejaVuSerif;
    w.mnuOpen_Click();
    EXPECT_TRUE(filter->text().isEmpty());
    const int serifGlyphs = FreeTypeFace(DejaVuSerif).get()->num_glyphs;
    EXPECT_EQ(grid->model()->rowCount(), serifGlyphs);
    EXPECT_EQ(overview->findChild<QLabel*>("count")->text(), QStringLiteral("%1 glyphs").arg(serifGlyphs));
    EXPECT_TRUE(toolkit.messages.empty());
}

TEST_F(OverviewWithMainWindow, GlyphSheetHoldsTheFilteredGlyphsPageByPage)
{
    QTemporaryDir dir;
    typeFilter("U+0400-U+04FF");
    const int shown = grid->model()->rowCount();
    toolkit.saveAnswer = dir.filePath("sheet").toStdString(); // no extension: .pdf is added
    overview->exportSheet();
    QFile sheet(dir.filePath("sheet.pdf"));
    ASSERT_TRUE(sheet.open(QIODevice::ReadOnly));
    const QByteArray pdf = sheet.readAll();
    sheet.close();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    const int pages = (shown + SheetColumns * SheetRows - 1) / (SheetColumns * SheetRows);
    EXPECT_GT(pages, 1);
    EXPECT_EQ(pdf.count("/Type /Page\n"), pages);

    // Asked before it is replaced; "No" keeps it.
    typeFilter("");
    overview->exportSheet();
    ASSERT_EQ(toolkit.questions.size(), 1u);
    EXPECT_EQ(toolkit.questions[0], "sheet.pdf already exists, overwrite?");
    ASSERT_TRUE(sheet.open(QIODevice::ReadOnly));
    EXPECT_EQ(sheet.readAll(), pdf);
    EXPECT_TRUE(toolkit.messages.empty());
}

} // namespace
