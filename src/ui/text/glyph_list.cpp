#include "ui/text/glyph_list.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/text/glyph_drawing.h"

namespace {

const char* const Columns[] = {"Glyph", "Name", "Cluster", "X advance", "Y advance", "X offset", "Y offset"};

} // namespace

int GlyphList::Model::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(glyphs_.size());
}

int GlyphList::Model::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(std::size(Columns));
}

QString GlyphList::Model::cell(int row, int column) const
{
    const ShapedGlyph& g = glyphs_[std::size_t(row)];
    switch (column) {
    case 0: return QString::number(g.glyph);
    case 1: return drawing_ ? QString::fromStdString(drawing_->name(g.glyph)) : QString();
    case 2: return QString::number(g.cluster);
    case 3: return QString::number(g.xAdvance);
    case 4: return QString::number(g.yAdvance);
    case 5: return QString::number(g.xOffset);
    default: return QString::number(g.yOffset);
    }
}

QVariant GlyphList::Model::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole)
        return cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() != 1)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant GlyphList::Model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return QString::fromLatin1(Columns[section]);
}

void GlyphList::Model::reset(std::vector<ShapedGlyph> glyphs, std::shared_ptr<GlyphDrawing> drawing)
{
    beginResetModel();
    glyphs_ = std::move(glyphs);
    drawing_ = std::move(drawing);
    endResetModel();
}

GlyphList::GlyphList(QWidget* parent) : QWidget(parent)
{
    table_ = new QTableView;
    table_->setObjectName("glyphTable");
    table_->setModel(&model_);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->resizeSection(1, 150); // names measured would read every glyph's
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto* copyButton = new QPushButton("Copy");
    copyButton->setObjectName("copyGlyphs");
    copyButton->setToolTip("Copy the glyph list as tab-separated text");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_, 1);
    layout->addWidget(copyButton, 0, Qt::AlignRight);
    connect(copyButton, &QPushButton::clicked, this, &GlyphList::copy);
    auto* shortcut = new QShortcut(QKeySequence::Copy, table_);
    shortcut->setContext(Qt::WidgetShortcut);
    connect(shortcut, &QShortcut::activated, this, &GlyphList::copy);
}

void GlyphList::setGlyphs(std::vector<ShapedGlyph> glyphs, std::shared_ptr<GlyphDrawing> drawing)
{
    model_.reset(std::move(glyphs), std::move(drawing));
}

QString GlyphList::tabSeparated() const
{
    QString text;
    for (int row = 0; row < model_.rowCount(); ++row) {
        for (int column = 0; column < model_.columnCount(); ++column)
            text += (column ? QStringLiteral("\t") : QString()) + model_.cell(row, column);
        text += QLatin1Char('\n');
    }
    return text;
}

void GlyphList::copy() const { QGuiApplication::clipboard()->setText(tabSeparated()); }
