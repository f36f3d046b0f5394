// View > "Colour" over a COLRv0 and a COLRv1 font built by fontTools'
// colorLib: the tree holds the glyph's paints or layers, another palette
// changes the picture, a PaintGlyph or layer selected is shown in the main
// window, and the overview draws the colour glyph in colour.
#include <cstdlib>
#include <filesystem>

#include <QAction>
#include <QComboBox>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/shell.h"
#include "support/quiet_toolkit.h"
#include "ui/colour/colour_window.h"
#include "ui/main/frmmain.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/overview/overview_drawing.h"
#include "ui/session_signals.h"

namespace {

struct ColourCase {
    const char* font;
    const char* node; // the start of a tree item that fills a glyph
};

} // namespace

TEST(ColourWindow, TreePaletteOutlineAndOverview)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("lumaro-colour-gui-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    ASSERT_EQ(std::system((std::string(PYTHON3) + " '" + COLOUR_FONTS_SCRIPT + "' '" + dir.string() + "'").c_str()), 0);
    const ColourCase cases[] = {{"colr0.ttf", "layer 0"}, {"colr1.ttf", "PaintGlyph"}};
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.font);
        QuietToolkit toolkit;
        RecordingShellOpener shell;
        frmmain w{toolkit, shell};
        w.OpenFontFile((dir / c.font).string());
        ASSERT_TRUE(w.session().font()->Loaded);
        QAction* command = w.findChild<QAction*>("mnuColour");
        ASSERT_TRUE(command->isEnabled());
        constexpr int FirstColourGlyph = 4; // after .notdef, square, bar and blob
        w.findChild<SessionSignals*>()->session().showGlyph(FirstColourGlyph);
        command->trigger();
        auto* window = w.findChild<ColourWindow*>("colourWindow");
        auto* tree = window->findChild<QTreeWidget*>("colourTree");
        ASSERT_GT(tree->topLevelItemCount(), 0);
        const QImage first = window->picture();
        window->findChild<QComboBox*>("palette")->setCurrentIndex(1);
        EXPECT_NE(window->picture(), first);

        // Found after the switch: the tree is made again with the palette's colours.
        const QList<QTreeWidgetItem*> found = tree->findItems(c.node, Qt::MatchStartsWith | Qt::MatchRecursive);
        ASSERT_FALSE(found.isEmpty()) << tree->topLevelItem(0)->text(0).toStdString();

        const int filled = found.front()->data(0, Qt::UserRole + 1).toInt();
        tree->setCurrentItem(found.front()); // the tree is made again as the main window follows
        EXPECT_GT(filled, 0);
        EXPECT_EQ(w.session().CurrentGlyph(), filled);
        EXPECT_EQ(window->glyph(), FirstColourGlyph); // the window keeps its colour glyph

        const FontGlyphSource source(w.session().font(), "", {}, FontColourTables(*w.session().font()));
        const Thumbnail cell = buildThumbnail(source, FirstColourGlyph, QSize(48, 48), 1);
        ASSERT_FALSE(cell.image.isNull());
        bool coloured = false;
        for (int y = 0; y < cell.image.height(); ++y)
            for (int x = 0; x < cell.image.width(); ++x) {
                const QColor p = cell.image.pixelColor(x, y);
                coloured = coloured || (p.alpha() > 0 && (p.red() != p.green() || p.green() != p.blue()));
            }
        EXPECT_TRUE(coloured);
    }
    std::filesystem::remove_all(dir);
}
