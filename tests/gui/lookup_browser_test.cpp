#include <chrono>
#include <memory>

#include <QLineEdit>
#include <QTableView>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "support/font_file_loading.h"
#include "ui/dialogs/font_details.h"
#include "ui/dialogs/lookup_browser.h"

// Font Details' Lookups tab: a lookup chosen is told to the dialog's owner,
// and its kerning pairs are filtered by a glyph's name.
TEST(LookupBrowser, ChosenLookupIsToldAndItsPairsFilterByGlyphName)
{
    auto font = std::make_shared<FontState>();
    ASSERT_EQ(loadFontPath(*font, std::string(DEJAVU_DIR) + "/DejaVuSans.ttf"), LoadResult::Loaded);
    FontDetailsDialog dialog(nullptr, font);
    std::vector<std::pair<bool, int>> told;
    QObject::connect(&dialog, &FontDetailsDialog::lookupSelected, [&](bool gpos, int index) { told.emplace_back(gpos, index); });
    auto* content = dialog.lookups()->findChild<QTableView*>();
    auto* filter = dialog.lookups()->findChild<QLineEdit*>();
    ASSERT_TRUE(content && filter);

    // DejaVu Sans' GPOS lookup 14 is its kerning, class pairs.
    ASSERT_TRUE(dialog.lookups()->selectLookup(true, 14));
    EXPECT_EQ(told, (std::vector<std::pair<bool, int>>{{true, 14}}));
    const int all = content->model()->rowCount();
    ASSERT_GT(all, 1000);

    filter->setText("V");
    const int withV = content->model()->rowCount();
    EXPECT_GT(withV, 10);
    EXPECT_LT(withV, all);
    for (int row = 0; row < withV; ++row) {
        const QString first = content->model()->index(row, 0).data().toString();
        const QString second = content->model()->index(row, 1).data().toString();
        EXPECT_TRUE(first.endsWith(" V") || second.endsWith(" V")) << first.toStdString() << " " << second.toStdString();
    }
    filter->setText("no such glyph");
    EXPECT_EQ(content->model()->rowCount(), 0);
    EXPECT_EQ(told.size(), 1u); // filtering chooses no other lookup
}

// Language systems sharing one feature list whose features share their
// lookups name billions of rows in 11 KB (a fuzzer's find): the tree stops
// at its limit and says so, in well under the seconds it once took.
TEST(LookupBrowser, SharedListsStopAtTheTreesLimit)
{
    auto font = std::make_shared<FontState>();
    ASSERT_EQ(loadFontPath(*font, std::string(FUZZ_REGRESSIONS_DIR) + "/layout/shared-feature-lists"), LoadResult::Loaded);
    const auto start = std::chrono::steady_clock::now();
    FontDetailsDialog dialog(nullptr, font);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    auto* tree = dialog.lookups()->findChild<QTreeWidget*>();
    ASSERT_TRUE(tree);
    const auto cut = tree->findItems("the rest left out", Qt::MatchContains | Qt::MatchRecursive);
    EXPECT_EQ(cut.size(), 1);
}
