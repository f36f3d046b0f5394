#include <set>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "platform/shell.h"
#include "support/container_builder.h"
#include "support/quiet_toolkit.h"
#include "support/ttf_builder.h"
#include "ui/compare/comparison_view.h"
#include "ui/main/frmmain.h"
#include "ui/main/glyph_canvas.h"
#include "ui/overview/overview.h"
#include "ui/overview/overview_model.h"
#include "ui/problems/font_checks.h"
#include "ui/problems/problems_view.h"
#include "ui/session_signals.h"
#include "ui/variations/variations_dialog.h"

namespace {

// Glyph 2 of the newer font holds a point twice, at (0, 200); glyph 4 has
// moved 10 units right; the rest are the older font's squares.
constexpr int Doubled = 2, Moved = 4;

ttf::FontSpec olderFont() { return ttf::squaresFont(6); }

ttf::FontSpec newerFont()
{
    ttf::FontSpec design = ttf::squaresFont(6);
    design.glyphs[Doubled] = ttf::simpleGlyph({{{0, 0}, {0, 200}, {0, 200}, {100, 200}, {100, 0}}});
    design.glyphs[Moved] = ttf::squareGlyph(10, 0, 114, 204);
    return design;
}

// The older font at twice its units: every coordinate doubled.
ttf::FontSpec olderAtTwiceTheUnits()
{
    ttf::FontSpec design = olderFont();
    design.unitsPerEm = 2000;
    for (int g = 0; g < 6; ++g)
        design.glyphs[std::size_t(g)] = ttf::squareGlyph(0, 0, std::int16_t(200 + 2 * g), std::int16_t(400 + 2 * g));
    return design;
}

// Runs the event loop until `done` holds, for at most ten seconds.
template <class Done>
bool waitUntil(Done done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

class ProblemsAndComparison : public ::testing::Test {
protected:
    void SetUp() override
    {
        toolkit.font = newer.path();
        w.mnuOpen_Click();
        ASSERT_TRUE(waitUntil([&] { return !w.problems().fontChecks().running(); }));
    }

    QAction* action(const char* name) const { return w.findChild<QAction*>(name); }
    FontSession& session() const { return w.findChild<SessionSignals*>()->session(); }

    // The glyphs the overview shows for the filter's text.
    std::set<int> filtered(const QString& text)
    {
        if (!overview) {
            for (QAction* menu : w.menuBar()->actions())
                if (menu->text() == "View")
                    menu->menu()->actions().value(0)->trigger(); // Overview
            overview = w.findChild<OverviewWindow*>();
        }
        overview->findChild<QLineEdit*>("filter")->clear(); // the same text again is no change
        bool done = false;
        const QMetaObject::Connection c = QObject::connect(overview, &OverviewWindow::rowsFiltered, [&] { done = true; });
        overview->findChild<QLineEdit*>("filter")->setText(text);
        EXPECT_TRUE(waitUntil([&] { return done; })) << text.toStdString();
        QObject::disconnect(c);
        const QAbstractItemModel* model = overview->findChild<QListView*>("grid")->model();
        std::set<int> glyphs;
        for (int row = 0; row < model->rowCount(); ++row)
            glyphs.insert(model->index(row, 0).data(GlyphListModel::GlyphRole).toInt());
        return glyphs;
    }

    // File > Compare With's entry, or a face of its Face menu by its number ("2:").
    QAction* compareEntry(const QString& text) const
    {
        for (QAction* entry : w.findChild<QMenu*>("mnuCompareWithMenu")->actions()) {
            if (entry->text() == text)
                return entry;
            if (entry->menu())
                for (QAction* face : entry->menu()->actions())
                    if (face->text().startsWith(text))
                        return face;
        }
        return nullptr;
    }

    std::set<int> changed() const
    {
        std::set<int> glyphs;
        for (std::size_t g = 0; g < w.comparison().changes().size(); ++g)
            if (w.comparison().changes()[g] > 0)
                glyphs.insert(int(g));
        return glyphs;
    }

    struct ForgetSettings {
        ForgetSettings() { QSettings(QSettings::UserScope, "Lumaro", "Lumaro").clear(); }
    } forgotten;
    const ttf::TempFontFile older{ttf::buildFont(olderFont())};
    const ttf::TempFontFile newer{ttf::buildFont(newerFont())};
    QuietToolkit toolkit;
    RecordingShellOpener shell;
    frmmain w{toolkit, shell};
    GlyphCanvas* canvas = w.findChild<GlyphCanvas*>("Picture1");
    OverviewWindow* overview = nullptr;
};

// The doubled point is listed in the Problems tab, badged on the canvas,
// and choosing its row selects the point at (0, 200) and its listing line.
TEST_F(ProblemsAndComparison, AFindingChosenSelectsItsPoint)
{
    EXPECT_TRUE(action("mnuProblems")->isChecked()) << "on by default";
    session().showGlyph(Doubled);
    ASSERT_EQ(w.session().CurrentGlyph(), Doubled);

    QTableWidget* table = w.findChild<QTableWidget*>("problemsTable");
    int row = -1;
    for (int r = 0; r < table->rowCount(); ++r)
        if (table->item(r, 0)->text() == "duplicate_point")
            row = r;
    ASSERT_GE(row, 0) << "no duplicate_point among " << table->rowCount() << " rows";
    EXPECT_FALSE(canvas->badges().empty());
    EXPECT_TRUE(std::any_of(canvas->badges().begin(), canvas->badges().end(),
                            [](QPointF p) { return p == QPointF(0, 200); }));

    table->selectRow(row);
    const int point = w.session().selection().point;
    ASSERT_GE(point, 0);
    const DrawnPoint& p = w.session().drawn().points[std::size_t(point)];
    EXPECT_EQ(std::pair(p.x, p.y), std::pair(0, 200));
    EXPECT_EQ(canvas->selectedPoint(), point);
    EXPECT_GE(w.session().selection().line, 0);

    action("mnuProblems")->trigger();
    EXPECT_TRUE(canvas->badges().empty());
}

// The overview's filter keeps the glyphs the checks and the comparison name.
TEST_F(ProblemsAndComparison, TheFilterKeepsTheGlyphsWithProblemsOrChanges)
{
    std::set<int> withProblems;
    for (const GlyphFindings& g : w.problems().fontChecks().found())
        withProblems.insert(g.glyph);
    EXPECT_TRUE(withProblems.count(Doubled));
    EXPECT_EQ(filtered("problems"), withProblems);
    EXPECT_EQ(filtered("problems:duplicate_point"), std::set<int>{Doubled});
    EXPECT_EQ(filtered("changed"), std::set<int>{}) << "nothing compared yet";

    w.compareWith(older.path());
    ASSERT_TRUE(waitUntil([&] { return !w.comparison().running(); }));
    const struct {
        const char* filter;
        std::set<int> glyphs;
    } cases[] = {
        {"changed", {Doubled, Moved}},
        {"points_moved", {Moved}},
        {"changed:outline_changed", {Doubled}},
        {"identical", {0, 1, 3, 5}},
        {"100-200", {}},       // the filters of before still work
        {"U+0041-U+0042", {1, 2}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filtered(c.filter), c.glyphs) << c.filter;
}

// The overlay is off until asked for, and the picture without it is the
// picture before the comparison; Step Through Changes visits the changed glyphs.
TEST_F(ProblemsAndComparison, TheOverlayIsOffByDefaultAndStepsGoToChanges)
{
    session().showGlyph(Moved);
    ASSERT_EQ(w.session().CurrentGlyph(), Moved);
    action("mnuProblems")->setChecked(false); // badges alone would differ
    const QImage before = canvas->shownImage(1.0);

    w.compareWith(older.path());
    ASSERT_TRUE(waitUntil([&] { return !w.comparison().running(); }));
    EXPECT_FALSE(action("mnuOverlay")->isChecked());
    EXPECT_TRUE(canvas->overlay().isEmpty());
    EXPECT_EQ(canvas->shownImage(1.0), before);

    action("mnuOverlay")->trigger();
    EXPECT_FALSE(canvas->overlay().isEmpty());
    EXPECT_NE(canvas->shownImage(1.0), before);

    action("mnuStepChanges")->trigger();
    session().showGlyph(0);
    std::vector<int> visited;
    for (int i = 0; i < 3; ++i) {
        w.Command2_Click();
        visited.push_back(w.session().CurrentGlyph());
    }
    EXPECT_EQ(visited, (std::vector<int>{Doubled, Moved, Moved}));
    w.Command3_Click();
    EXPECT_EQ(w.session().CurrentGlyph(), Doubled);
}

// A font opened while the one before is still being checked: nothing of
// the first run is handed back afterwards, however far it had got.
TEST_F(ProblemsAndComparison, AnotherFontCancelsTheCheckBeforeIt)
{
    toolkit.font = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
    w.mnuOpen_Click();
    // A first batch handed back: DejaVu Sans takes several to check.
    ASSERT_TRUE(waitUntil([&] { return w.problems().fontChecks().checked() > 0; }));
    toolkit.font = newer.path();
    w.mnuOpen_Click();
    ASSERT_TRUE(waitUntil([&] { return !w.problems().fontChecks().running(); }));
    QApplication::processEvents(); // any late batch of the first run
    const FontChecks& checks = w.problems().fontChecks();
    EXPECT_EQ(checks.total(), 6);
    EXPECT_EQ(checks.checked(), 6);
    for (const GlyphFindings& g : checks.found())
        EXPECT_LT(g.glyph, 6);
}

// Another face of the open collection is compared as a file would be; a
// partner of twice the units is overlaid at the shown glyph's size, arrows
// only where points moved; the status bar keeps its message in view.
TEST_F(ProblemsAndComparison, AnotherFaceOfTheCollection)
{
    const ttf::TempFontFile faces{ttf::collection(
        {ttf::buildFont(newerFont()), ttf::buildFont(olderFont()), ttf::buildFont(olderAtTwiceTheUnits())})};
    w.OpenFontFile(faces.path());
    ASSERT_EQ(w.session().faceCount(), 3);
    EXPECT_FALSE(compareEntry("Location...")->isEnabled()) << "no axes";
    ASSERT_NE(compareEntry("3:"), nullptr);

    compareEntry("2:")->trigger();
    ASSERT_TRUE(waitUntil([&] { return !w.comparison().running(); }));
    EXPECT_EQ(changed(), (std::set<int>{Doubled, Moved}));

    compareEntry("3:")->trigger();
    ASSERT_TRUE(waitUntil([&] { return !w.comparison().running(); }));
    action("mnuOverlay")->setChecked(true);
    session().showGlyph(3);
    EXPECT_EQ(canvas->overlay().boundingRect(), QRectF(0, 0, 103, 203));
    EXPECT_TRUE(canvas->arrows().empty());
    session().showGlyph(Moved);
    ASSERT_EQ(canvas->arrows().size(), 4u);
    for (const QLineF& arrow : canvas->arrows())
        EXPECT_EQ(arrow.p2() - arrow.p1(), QPointF(10, 0));

    // A long glyph description and both progress texts leave the message room.
    w.show();
    QStatusBar* bar = w.findChild<QStatusBar*>("StatusBar1");
    bar->showMessage(QString(40, QLatin1Char('m')));
    QApplication::processEvents();
    const int message = std::min(bar->fontMetrics().horizontalAdvance(bar->currentMessage()), bar->width() / 2);
    EXPECT_GE(w.findChild<QLabel*>("glyphInfo")->x(), message);
}

// The open font against itself: none changed at its own location, the
// glyphs moved by the weight at another, with arrows on the overlay.
TEST_F(ProblemsAndComparison, ItselfAtAnotherLocation)
{
    w.OpenFontFile(INTER_VARIABLE_FONT);
    ASSERT_TRUE(compareEntry("Location...")->isEnabled());
    compareEntry("Location...")->trigger();
    ASSERT_TRUE(waitUntil([&] { return !w.comparison().running(); }));
    EXPECT_EQ(changed(), std::set<int>{});

    w.comparison().locationDialog()->field(0)->setValue(900); // wght
    ASSERT_TRUE(waitUntil([&] { return !w.comparison().running(); }));
    const int a = session().font()->Unicode.glyphFor(U'A');
    EXPECT_EQ(w.comparison().changes()[std::size_t(a)], std::int8_t(GlyphChange::PointsMoved));
    action("mnuOverlay")->setChecked(true);
    session().showGlyph(a);
    EXPECT_FALSE(canvas->arrows().empty());
}

// A file that is no font, or a face the file does not have, is not compared
// and the status bar says so.
TEST_F(ProblemsAndComparison, WhatCannotBeComparedSaysWhy)
{
    const ttf::TempFontFile text{ttf::ByteVector{'h', 'e', 'l', 'l', 'o'}};
    const struct {
        std::string path;
        int face;
    } cases[] = {{text.path(), 0}, {older.path(), 1}};
    for (const auto& c : cases) {
        w.compareWith(c.path, c.face);
        EXPECT_FALSE(w.comparison().comparing()) << c.path << " face " << c.face;
        EXPECT_TRUE(w.findChild<QStatusBar*>("StatusBar1")->currentMessage().contains("could not be compared"));
    }
}

} // namespace
