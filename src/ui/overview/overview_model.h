#pragma once
#include <memory>
#include <vector>

#include <QAbstractListModel>

#include "ui/overview/glyph_source.h"
#include "ui/overview/overview_filter.h"

// The overview's rows: every glyph of the font in order, or the glyphs the
// filter lets through. Unfiltered it holds nothing per glyph; labels and
// tooltips are made when a cell asks.
class GlyphListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { GlyphRole = Qt::UserRole + 1 };

    explicit GlyphListModel(QObject* parent = nullptr);

    // sameFont: a source of the font shown before (at another location, or
    // read again), whose rows stay as filtered; else every glyph, unfiltered.
    void setSource(std::shared_ptr<const GlyphSource> source, bool sameFont = false);
    const std::shared_ptr<const GlyphSource>& source() const { return source_; }
    // Goes through every glyph unless the filter is empty or a glyph range.
    void setFilter(const GlyphFilter& filter);
    // The glyphs of a filter that reads every glyph, found elsewhere (matchingGlyphs).
    void setMatches(const GlyphFilter& filter, std::vector<int> matches);
    const GlyphFilter& filter() const { return filter_; }
    // What the problems and changes filters read, and the cells' colours; a
    // filter by them is applied again.
    void setMarks(std::shared_ptr<const GlyphMarks> marks);

    int glyphAt(int row) const;   // -1 outside the rows
    int rowOf(int glyph) const;   // -1 when the glyph is not shown
    std::vector<int> glyphs() const; // the glyphs shown, in order

    int rowCount(const QModelIndex& parent = {}) const override;
    // DisplayRole: the cell's label; ToolTipRole; GlyphRole: the glyph number;
    // BackgroundRole: the colour of the glyph's change, when compared.
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void rebuild();

    std::shared_ptr<const GlyphSource> source_;
    GlyphFilter filter_;
    // Filtered by glyph range: glyphs first_ .. first_ + count_ - 1; by
    // anything else: the glyphs listed in matches_, ascending.
    bool listed_ = false;
    int first_ = 0;
    int count_ = 0;
    std::vector<int> matches_;
    std::shared_ptr<const GlyphMarks> marks_;
};
