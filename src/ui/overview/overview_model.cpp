#include "ui/overview/overview_model.h"

#include <algorithm>
#include <numeric>

#include "check/font_diff.h"
#include "platform/char_names.h"
#include "ui/overview/overview_drawing.h"

GlyphListModel::GlyphListModel(QObject* parent) : QAbstractListModel(parent) {}

void GlyphListModel::setSource(std::shared_ptr<const GlyphSource> source, bool sameFont)
{
    beginResetModel();
    source_ = std::move(source);
    if (!sameFont)
        filter_ = {};
    if (listed_ && sameFont) {
        // Found by going through every glyph: kept, rather than found again on the GUI thread.
        const int total = source_ ? source_->glyphCount() : 0;
        std::erase_if(matches_, [total](int g) { return g >= total; });
        count_ = int(matches_.size());
    } else {
        rebuild();
    }
    endResetModel();
}

void GlyphListModel::setFilter(const GlyphFilter& filter)
{
    beginResetModel();
    filter_ = filter;
    rebuild();
    endResetModel();
}

void GlyphListModel::setMarks(std::shared_ptr<const GlyphMarks> marks)
{
    marks_ = std::move(marks);
    if (filter_.kind != GlyphFilter::Kind::Problems && filter_.kind != GlyphFilter::Kind::Changed) {
        if (count_ > 0)
            emit dataChanged(index(0), index(count_ - 1), {Qt::BackgroundRole});
        return;
    }
    beginResetModel();
    rebuild();
    endResetModel();
}

void GlyphListModel::setMatches(const GlyphFilter& filter, std::vector<int> matches)
{
    beginResetModel();
    filter_ = filter;
    listed_ = true;
    first_ = 0;
    matches_ = std::move(matches);
    count_ = int(matches_.size());
    endResetModel();
}

void GlyphListModel::rebuild()
{
    const int total = source_ ? source_->glyphCount() : 0;
    listed_ = false;
    matches_.clear();
    first_ = 0;
    count_ = total;
    switch (filter_.kind) {
    case GlyphFilter::Kind::All:
        return;
    case GlyphFilter::Kind::GlyphRange:
        first_ = int(std::min<long>(filter_.first, total));
        count_ = int(std::min<long>(filter_.last + 1, total)) - first_;
        return;
    case GlyphFilter::Kind::CodeRange:
    case GlyphFilter::Kind::Block:
    case GlyphFilter::Kind::Name:
    case GlyphFilter::Kind::Problems:
    case GlyphFilter::Kind::Changed:
        listed_ = true;
        if (source_)
            matches_ = matchingGlyphs(filter_, *source_, nullptr, marks_.get());
        count_ = int(matches_.size());
        return;
    }
}

int GlyphListModel::glyphAt(int row) const
{
    if (row < 0 || row >= count_)
        return -1;
    return listed_ ? matches_[std::size_t(row)] : first_ + row;
}

int GlyphListModel::rowOf(int glyph) const
{
    if (!listed_)
        return glyph >= first_ && glyph < first_ + count_ ? glyph - first_ : -1;
    const auto it = std::lower_bound(matches_.begin(), matches_.end(), glyph);
    return it != matches_.end() && *it == glyph ? int(it - matches_.begin()) : -1;
}

std::vector<int> GlyphListModel::glyphs() const
{
    if (listed_)
        return matches_;
    std::vector<int> all(std::size_t(std::max(0, count_)));
    std::iota(all.begin(), all.end(), first_);
    return all;
}

int GlyphListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count_;
}

namespace {

// The Unicode name and block of the glyph's first character, for the tooltip.
QString characterLines(const std::vector<char32_t>& codes)
{
    if (codes.empty())
        return {};
    const std::string name = CharacterName(codes.front());
    const std::string block = BlockName(codes.front());
    QString lines;
    if (!name.empty())
        lines += QStringLiteral("\nUnicode name: ") + QString::fromStdString(name);
    if (!block.empty())
        lines += QStringLiteral("\nBlock: ") + QString::fromStdString(block);
    return lines;
}

} // namespace

QVariant GlyphListModel::data(const QModelIndex& index, int role) const
{
    const int glyph = glyphAt(index.row());
    if (glyph < 0 || !source_)
        return {};
    switch (role) {
    case GlyphRole:
        return glyph;
    case Qt::DisplayRole:
        return cellLabel(*source_, glyph);
    case Qt::BackgroundRole: {
        const int change = marks_ ? marks_->changeOf(glyph) : -1;
        return change > 0 ? QVariant(ChangeColour(change)) : QVariant();
    }
    case Qt::ToolTipRole: {
        const int change = marks_ ? marks_->changeOf(glyph) : -1;
        const QString changed = change >= 0 ? QStringLiteral("\nChange: ") + QString::fromLatin1(GlyphChangeName(GlyphChange(change)))
                                            : QString();
        return glyphToolTip(*source_, glyph) + characterLines(source_->codes(glyph)) + changed;
    }
    default:
        return {};
    }
}
