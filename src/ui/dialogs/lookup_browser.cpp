#include "ui/dialogs/lookup_browser.h"

#include <algorithm>

#include <QAbstractTableModel>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "layout/lookup_content.h"
#include "sfnt/table_directory.h"
#include "tables/glyph_names.h"
#include "tables/names.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/overview/overview_drawing.h"

namespace {

enum ItemRole { GposRole = Qt::UserRole, LookupRole, GlyphsRole };

// "12 f_i": a glyph's number and, when the font names it, its name.
QString glyphText(const GlyphSource& source, int glyph)
{
    if (glyph < 0)
        return "any other";
    const std::string name = source.name(glyph);
    return name.empty() ? QString::number(glyph) : QString::number(glyph) + " " + QString::fromStdString(name);
}

QString valueText(const PairValue& v)
{
    static const char* const names[] = {"x placement", "y placement", "x advance", "y advance"};
    QStringList words;
    for (int k = 0; k < 4; ++k)
        if (v.format & (1 << k))
            words << QStringLiteral("%1 %2").arg(names[k]).arg(v.values[std::size_t(k)]);
    if (v.devices)
        words << "device or variation";
    return words.join(", ");
}

QString flagText(const LayoutLookup& l)
{
    static const std::pair<int, const char*> bits[] = {
        {RIGHT_TO_LEFT, "right to left"}, {IGNORE_BASE_GLYPHS, "ignore base glyphs"},
        {IGNORE_LIGATURES, "ignore ligatures"}, {IGNORE_MARKS, "ignore marks"},
        {USE_MARK_FILTERING_SET, "use mark filtering set"}};
    QStringList words;
    for (const auto& [bit, word] : bits)
        if (l.flags & bit)
            words << word;
    if (l.flags & MARK_ATTACHMENT_TYPE)
        words << QStringLiteral("mark attachment class %1").arg(l.flags >> 8);
    return QStringLiteral("0x%1").arg(l.flags, 4, 16, QLatin1Char('0')) + (words.isEmpty() ? "" : " (" + words.join(", ") + ")");
}

} // namespace

// What one lookup does, a row per mapping, pair or covered glyph; the cells
// are made when shown, so a million kerning pairs cost only their values.
class LookupContentModel : public QAbstractTableModel {
public:
    explicit LookupContentModel(const GlyphSource& source) : source_(source) {}

    void show(LookupContent content)
    {
        beginResetModel();
        content_ = std::move(content);
        endResetModel();
    }
    const LookupContent& content() const { return content_; }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(content_.mappings.size() + content_.pairs.size() + content_.coverage.size());
    }
    int columnCount(const QModelIndex& = {}) const override
    {
        return !content_.pairs.empty() ? 4 : !content_.mappings.empty() ? 2 : 1;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return {};
        static const char* const pairs[] = {"First", "Second", "First's value", "Second's value"};
        static const char* const mappings[] = {"Input", "Output"};
        return !content_.pairs.empty() ? pairs[section] : !content_.mappings.empty() ? mappings[section] : "Coverage";
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const std::vector<int> glyphs = glyphsAt(index);
        if (role == GlyphsRole)
            return QVariant::fromValue(QList<int>(glyphs.begin(), glyphs.end()));
        if (role != Qt::DisplayRole)
            return {};
        if (!content_.pairs.empty() && index.column() >= 2) {
            const GlyphPair& p = content_.pairs[std::size_t(index.row())];
            return valueText(index.column() == 2 ? p.value1 : p.value2);
        }
        QStringList words;
        for (int g : glyphs)
            words << glyphText(source_, g);
        return words.join(", ");
    }

private:
    std::vector<int> glyphsAt(const QModelIndex& index) const
    {
        const std::size_t row = std::size_t(index.row());
        if (!content_.pairs.empty())
            return index.column() == 0 ? std::vector<int>{content_.pairs[row].first}
                 : index.column() == 1 ? std::vector<int>{content_.pairs[row].second} : std::vector<int>{};
        if (!content_.mappings.empty())
            return index.column() == 0 ? content_.mappings[row].input : content_.mappings[row].output;
        return {content_.coverage[row]};
    }

    const GlyphSource& source_;
    LookupContent content_;
};

namespace {

// Draws a cell's glyphs small with Lumaro's outlines, then its text.
class GlyphCellDelegate : public QStyledItemDelegate {
public:
    GlyphCellDelegate(const GlyphSource& source, QObject* parent) : QStyledItemDelegate(parent), source_(source) {}

    static constexpr int Box = 28;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QList<int> glyphs = index.data(GlyphsRole).value<QList<int>>();
        QStyleOptionViewItem textOption(option);
        initStyleOption(&textOption, index);
        textOption.rect.setLeft(option.rect.left() + int(glyphs.size()) * Box + 4);
        QStyledItemDelegate::paint(painter, textOption, index);
        for (qsizetype k = 0; k < glyphs.size(); ++k) {
            const QImage& image = thumbnail(glyphs[k], painter->device()->devicePixelRatioF());
            const QPoint at(option.rect.left() + int(k) * Box + 2, option.rect.top() + (option.rect.height() - Box) / 2);
            if (!image.isNull())
                painter->drawImage(at, image);
        }
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QSize text = QStyledItemDelegate::sizeHint(option, index);
        const int glyphs = int(index.data(GlyphsRole).value<QList<int>>().size());
        return {text.width() + glyphs * Box + 8, std::max(text.height(), Box + 4)};
    }

private:
    const QImage& thumbnail(int glyph, qreal ratio) const
    {
        auto it = cache_.find(glyph);
        if (it == cache_.end())
            it = cache_.insert(glyph, glyph < 0 ? QImage() : buildThumbnail(source_, glyph, QSize(Box - 4, Box - 4), ratio).image);
        return *it;
    }

    const GlyphSource& source_;
    mutable QHash<int, QImage> cache_;
};

QTreeWidgetItem* item(QTreeWidgetItem* parent, const QString& text)
{
    auto* i = new QTreeWidgetItem(parent, {text});
    return i;
}

} // namespace

LookupBrowser::LookupBrowser(std::shared_ptr<const FontState> font, QWidget* parent)
    : QWidget(parent), font_(std::move(font)), glyphs_(std::make_shared<FontGlyphSource>(font_, std::string()))
{
    for (const bool gpos : {false, true}) {
        const auto bytes = TableBytes(*font_, gpos ? "GPOS" : "GSUB");
        auto read = bytes.empty() ? std::variant<GsubGposTable, Failure>(Failure{}) : ReadGsubGpos(bytes, gpos);
        if (auto* t = std::get_if<GsubGposTable>(&read))
            (gpos ? gpos_ : gsub_) = std::move(*t);
    }
    tree_ = new QTreeWidget;
    tree_->setHeaderHidden(true);
    about_ = new QLabel;
    about_->setWordWrap(true);
    // Room for the lines a lookup's summary takes, so that the filter stays put.
    about_->setMinimumHeight(4 * about_->fontMetrics().lineSpacing());
    about_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    about_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    filter_ = new QLineEdit;
    filter_->setPlaceholderText("Filter by glyph name or number");
    filter_->setClearButtonEnabled(true);
    model_ = new LookupContentModel(*glyphs_);
    content_ = new QTableView;
    content_->setModel(model_);
    content_->setItemDelegate(new GlyphCellDelegate(*glyphs_, content_));
    content_->verticalHeader()->setDefaultSectionSize(GlyphCellDelegate::Box + 4);
    content_->verticalHeader()->setVisible(false);
    content_->horizontalHeader()->setStretchLastSection(true);
    content_->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(about_);
    rightLayout->addWidget(filter_);
    rightLayout->addWidget(content_, 1);
    auto* splitter = new QSplitter;
    splitter->addWidget(tree_);
    splitter->addWidget(right);
    splitter->setSizes({320, 600});
    (new QVBoxLayout(this))->addWidget(splitter);

    addTable(false);
    addTable(true);
    about_->setText(gsub_ || gpos_ ? "Choose a lookup to see what it does."
                                   : "The font has no GSUB or GPOS table that can be read.");
    connect(tree_, &QTreeWidget::currentItemChanged, this, &LookupBrowser::showSelected);
    connect(filter_, &QLineEdit::textChanged, this, &LookupBrowser::showSelected);
}

LookupBrowser::~LookupBrowser() = default;

const GsubGposTable* LookupBrowser::table(bool gpos) const
{
    const auto& t = gpos ? gpos_ : gsub_;
    return t ? &*t : nullptr;
}

QTreeWidgetItem* LookupBrowser::lookupItem(QTreeWidgetItem* parent, bool gpos, int index) const
{
    const GsubGposTable& t = *table(gpos);
    const QString type = std::size_t(index) < t.lookups.size()
        ? QString::fromStdString(LookupTypeName(gpos, t.lookups[std::size_t(index)].type)) : "not in the table";
    auto* i = item(parent, QStringLiteral("lookup %1: %2").arg(index).arg(type));
    i->setData(0, GposRole, gpos);
    i->setData(0, LookupRole, index);
    return i;
}

void LookupBrowser::addTable(bool gpos)
{
    const GsubGposTable* t = table(gpos);
    if (!t)
        return;
    auto* top = new QTreeWidgetItem(tree_, {gpos ? "GPOS" : "GSUB"});
    // Language systems may share features and features lookups, so the tree
    // could hold billions of rows a table names in a few kilobytes.
    constexpr std::size_t MaxRows = 100000;
    std::size_t rows = 0;
    const auto full = [&](QTreeWidgetItem* parent, std::size_t adding) {
        if ((rows += adding) <= MaxRows)
            return false;
        if (rows - adding <= MaxRows)
            item(parent, QStringLiteral("… the rest left out (more than %1 rows)").arg(MaxRows));
        return true;
    };
    const auto addLang = [&](QTreeWidgetItem* script, const LangSys& lang) {
        auto* langItem = item(script, QString::fromStdString(lang.tag == "dflt" ? "default language" : lang.tag));
        std::vector<int> features = lang.features;
        if (lang.requiredFeature >= 0)
            features.insert(features.begin(), lang.requiredFeature);
        for (std::size_t k = 0; k < features.size(); ++k) {
            const int f = features[k];
            if (std::size_t(f) >= t->features.size()) {
                item(langItem, QStringLiteral("feature %1: not in the table").arg(f));
                continue;
            }
            const FeatureRecord& feature = t->features[std::size_t(f)];
            if (full(langItem, 1 + feature.lookups.size()))
                return;
            QString label = QString::fromStdString(feature.tag) + (k == 0 && lang.requiredFeature >= 0 ? " (required)" : "");
            if (feature.uiNameID != 0)
                label += QString::fromUtf8(" \u201c") + QString::fromStdString(FontNameText(*font_, feature.uiNameID))
                       + QString::fromUtf8("\u201d");
            auto* featureItem = item(langItem, label);
            for (int l : feature.lookups)
                lookupItem(featureItem, gpos, l);
        }
    };
    for (const ScriptRecord& script : t->scripts) {
        auto* scriptItem = item(top, "script " + QString::fromStdString(script.tag));
        if (script.defaultLangSys)
            addLang(scriptItem, *script.defaultLangSys);
        for (const LangSys& lang : script.languages)
            addLang(scriptItem, lang);
        if (rows > MaxRows)
            break;
    }
    auto* all = item(top, QStringLiteral("All lookups (%1)").arg(t->lookups.size()));
    for (int l = 0; l < int(t->lookups.size()); ++l)
        lookupItem(all, gpos, l);
    top->setExpanded(true);
}

bool LookupBrowser::selectLookup(bool gpos, int index)
{
    for (int k = 0; k < tree_->topLevelItemCount(); ++k) {
        QTreeWidgetItem* top = tree_->topLevelItem(k);
        if (top->text(0) != (gpos ? "GPOS" : "GSUB"))
            continue;
        QTreeWidgetItem* all = top->child(top->childCount() - 1);
        if (index < 0 || index >= all->childCount())
            return false;
        tree_->setCurrentItem(all->child(index));
        return true;
    }
    return false;
}

void LookupBrowser::showSelected()
{
    const QTreeWidgetItem* current = tree_->currentItem();
    if (!current || !current->data(0, LookupRole).isValid()) {
        model_->show({});
        return;
    }
    const bool gpos = current->data(0, GposRole).toBool();
    const int index = current->data(0, LookupRole).toInt();
    showLookup(gpos, index);
    if (sender() == tree_)
        emit lookupSelected(gpos, index);
}

void LookupBrowser::showLookup(bool gpos, int index)
{
    const GsubGposTable& t = *table(gpos);
    if (std::size_t(index) >= t.lookups.size()) {
        about_->setText(QStringLiteral("Lookup %1 is not in the table: it has %2 lookups.").arg(index).arg(t.lookups.size()));
        model_->show({});
        return;
    }
    // The filter: a glyph number, else a glyph name.
    std::optional<int> glyph;
    const QString typed = filter_->text().trimmed();
    bool isNumber = false;
    if (const int number = typed.toInt(&isNumber); isNumber)
        glyph = number;
    else if (!typed.isEmpty())
        glyph = GlyphNamed(*font_, typed.toStdString());
    if (!typed.isEmpty() && (!glyph || *glyph < 0)) {
        about_->setText("No glyph is named " + typed.toHtmlEscaped() + ".");
        model_->show({});
        return;
    }
    model_->show(ExpandLookup(t, index, glyph));
    const LayoutLookup& l = t.lookups[std::size_t(index)];
    const LookupContent& c = model_->content();
    QString about = QStringLiteral("<b>%1 lookup %2</b>: %3 (type %4%5)<br>flags %6; mark filtering set %7; %8 subtable%9")
        .arg(gpos ? "GPOS" : "GSUB").arg(index).arg(QString::fromStdString(LookupTypeName(gpos, l.type))).arg(l.type)
        .arg(l.extension ? ", stored as an extension" : "").arg(flagText(l))
        .arg(l.markFilteringSet < 0 ? QString("none") : QString::number(l.markFilteringSet))
        .arg(l.subtableCount).arg(l.subtableCount == 1 ? "" : "s");
    const std::size_t rows = std::size_t(model_->rowCount());
    about += QStringLiteral("<br>%1 %2").arg(rows).arg(!c.pairs.empty() ? "pairs" : !c.mappings.empty() ? "mappings" : "glyphs covered");
    if (c.cut)
        about += QStringLiteral(" (the first %1: the rest is past what one lookup shows)").arg(rows);
    for (const std::string& p : c.problems.listed)
        about += "<br>" + QString::fromStdString(p).toHtmlEscaped();
    if (c.problems.unlisted)
        about += QStringLiteral("<br>… and %1 more problems").arg(c.problems.unlisted);
    about_->setText(about);
    for (int column = 0; column + 1 < model_->columnCount(); ++column)
        content_->resizeColumnToContents(column);
    // A second glyph's value that no pair has is not shown.
    content_->setColumnHidden(3, std::all_of(c.pairs.begin(), c.pairs.end(), [](const GlyphPair& p) { return p.value2.format == 0; }));
}
