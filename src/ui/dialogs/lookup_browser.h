#pragma once
#include <memory>
#include <optional>
#include <vector>

#include <QWidget>

#include "layout/layout_table.h"

class QLabel;
class QLineEdit;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;
class FontGlyphSource;
class LookupContentModel;
struct FontState;

// The "Lookups" tab of Font Details: the font's GSUB and GPOS as a tree of
// scripts, languages, features and lookups (and every lookup of each table
// under "All lookups"), and what the selected lookup does, its glyphs drawn
// small, filterable by a glyph's name or number.
class LookupBrowser : public QWidget {
    Q_OBJECT
public:
    explicit LookupBrowser(std::shared_ptr<const FontState> font, QWidget* parent = nullptr);
    ~LookupBrowser() override;

    // Selects lookup `index` of GSUB or GPOS in "All lookups"; false when there is none.
    bool selectLookup(bool gpos, int index);

signals:
    void lookupSelected(bool gpos, int lookupIndex);

private:
    void addTable(bool gpos);
    QTreeWidgetItem* lookupItem(QTreeWidgetItem* parent, bool gpos, int index) const;
    void showSelected();
    void showLookup(bool gpos, int index);
    const GsubGposTable* table(bool gpos) const;

    std::shared_ptr<const FontState> font_;
    std::shared_ptr<FontGlyphSource> glyphs_;
    std::optional<GsubGposTable> gsub_, gpos_;
    QTreeWidget* tree_ = nullptr;
    QLabel* about_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QTableView* content_ = nullptr;
    LookupContentModel* model_ = nullptr;
};
