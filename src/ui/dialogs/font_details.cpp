#include "ui/dialogs/font_details.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "colour/cpal.h"
#include "platform/shaping.h"
#include "tables/details.h"
#include "tables/names.h"
#include "ui/dialogs/lookup_browser.h"

namespace {

QString hex32(std::uint32_t v) { return QStringLiteral("0x%1").arg(v, 8, 16, QLatin1Char('0')); }

// A read-only table of rows of texts under the headers.
QTableWidget* tableOf(const QStringList& headers, const std::vector<QStringList>& rows)
{
    auto* table = new QTableWidget(int(rows.size()), int(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setVisible(false);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(rows[std::size_t(r)].size()) && c < int(headers.size()); ++c)
            table->setItem(r, c, new QTableWidgetItem(rows[std::size_t(r)][c]));
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

QWidget* directoryPage(const FontDetails& d)
{
    std::vector<QStringList> rows;
    for (const TableCheck& t : d.tables)
        rows.push_back({QString::fromLatin1(t.entry.Tag.data(), 4), QString::number(t.entry.Offset),
                        QString::number(t.entry.Length), hex32(t.entry.CheckSum), hex32(t.computed),
                        t.ok() ? "yes" : (t.whole ? "no" : "no: cut by the end of the file")});
    return tableOf({"Tag", "Offset", "Length", "Checksum", "Computed", "Agree"}, rows);
}

QWidget* fieldsPage(const TableFields& fields)
{
    std::vector<QStringList> rows;
    for (const TableField& f : fields.fields)
        rows.push_back({QString::fromStdString(f.name), QString::fromStdString(f.value)});
    if (!fields.whole)
        rows.push_back({"", "(the table ends here)"});
    return tableOf({"Field", "Value"}, rows);
}

QWidget* cmapPage(const FontDetails& d)
{
    std::vector<QStringList> rows;
    for (const CmapSubtable& s : d.cmap) {
        QStringList users;
        if (s.usedByLists)
            users << "pick lists";
        if (s.usedByFind)
            users << "Find and the status bar";
        rows.push_back({QString::number(s.platformID), QString::number(s.encodingID),
                        s.format < 0 ? "outside the table" : QString::number(s.format), QString::number(s.length),
                        users.join(", ")});
    }
    return tableOf({"Platform", "Encoding", "Format", "Length", "Used by"}, rows);
}

QString colourHolds(const ColourTableSummary& t)
{
    const auto count = [](std::size_t n, const char* what) {
        return QStringLiteral("%1 %2%3").arg(n).arg(what).arg(n == 1 ? "" : "s");
    };
    if (t.tag == "SVG ")
        return count(std::size_t(t.documents), "document");
    if (t.tag == "COLR") {
        QString holds = count(std::size_t(t.baseGlyphRecords), "base glyph") + ", "
                      + count(std::size_t(t.layerRecords), "layer record");
        if (t.version >= 1)
            holds += "; " + count(std::size_t(t.baseGlyphPaints), "base glyph paint") + ", "
                   + count(std::size_t(t.layerPaints), "layer paint");
        return holds;
    }
    if (t.tag == "CPAL")
        return count(t.palettes.size(), "palette")
             + QStringLiteral(" of %1 %2").arg(t.paletteEntries).arg(t.paletteEntries == 1 ? "entry" : "entries");
    QStringList ppems;
    for (int p : t.strikePpems)
        ppems << QString::number(p);
    return count(t.strikePpems.size(), "strike") + " (ppem " + ppems.join(", ") + ")";
}

// "light background", "dark background", both, or "" for a palette of no type.
QString paletteType(std::uint32_t type)
{
    QStringList kinds;
    if (type & USABLE_WITH_LIGHT_BACKGROUND)
        kinds << "light";
    if (type & USABLE_WITH_DARK_BACKGROUND)
        kinds << "dark";
    return kinds.isEmpty() ? QString() : kinds.join(" and ") + " background";
}

QWidget* colourPage(const FontDetails& d)
{
    std::vector<QStringList> rows;
    for (const ColourTableSummary& t : d.colour) {
        rows.push_back({QString::fromStdString(t.tag).trimmed(), QString::number(t.version), colourHolds(t),
                        QString::fromStdString(t.problem)});
        for (std::size_t k = 0; k < t.palettes.size(); ++k) {
            QStringList words{paletteType(t.palettes[k].type)};
            if (!t.palettes[k].label.empty())
                words << QString::fromUtf8("\u201c") + QString::fromStdString(t.palettes[k].label) + QString::fromUtf8("\u201d");
            words.removeAll(QString());
            rows.push_back({QStringLiteral("  palette %1").arg(k), "", words.join(", "), ""});
        }
    }
    return tableOf({"Table", "Version", "Holds", "Problem"}, rows);
}

QWidget* variationsPage(const LayoutSummary& layout)
{
    std::vector<QStringList> rows;
    for (const VariationAxis& a : layout.axes)
        rows.push_back({"axis", QString::fromStdString(a.tag), QString::fromStdString(a.name),
                        QStringLiteral("%1 \u2026 %2 \u2026 %3").arg(a.min).arg(a.defaultValue).arg(a.max),
                        a.hidden ? "hidden" : ""});
    for (const NamedInstance& instance : layout.instances) {
        QStringList coordinates;
        for (std::size_t k = 0; k < instance.coordinates.size() && k < layout.axes.size(); ++k)
            coordinates << QString::fromStdString(layout.axes[k].tag) + "=" + QString::number(instance.coordinates[k]);
        rows.push_back({"instance", "", QString::fromStdString(instance.name), coordinates.join(", "), ""});
    }
    return tableOf({"", "Tag", "Name", "Values", ""}, rows);
}

QWidget* namesPage(const FontState& font)
{
    NameTable names;
    ReadNameTable(font, names); // a font without a naming table has no names here, and no box
    std::vector<QStringList> rows;
    for (std::size_t k = 0; k < names.Records.size(); ++k) {
        const NameRecord& r = names.Records[k];
        rows.push_back({QString::number(r.platformID), QString::number(r.encodingID), QString::number(r.languageID),
                        QString::number(r.nameID), QString::fromStdString(NameIdMeaning(r.nameID)),
                        QString::fromStdString(NameText(font, names, k))});
    }
    return tableOf({"Platform", "Encoding", "Language", "Name ID", "Meaning", "Text"}, rows);
}

} // namespace

FontDetailsDialog::FontDetailsDialog(QWidget* owner, std::shared_ptr<const FontState> font) : QDialog(owner)
{
    const FontDetails details = ReadFontDetails(*font);
    const LayoutSummary layout = ReadLayoutSummary(font->FontBytes, font->Face);
    setWindowTitle("Font Details");
    auto* tabs = new QTabWidget;
    tabs->addTab(directoryPage(details), "Tables");
    const std::pair<const TableFields*, const char*> headers[] = {
        {&details.head, "head"}, {&details.hhea, "hhea"}, {&details.maxp, "maxp"},
        {&details.os2, "OS/2"},  {&details.post, "post"},
    };
    for (const auto& [fields, tag] : headers)
        if (fields->present)
            tabs->addTab(fieldsPage(*fields), tag);
    tabs->addTab(cmapPage(details), "cmap");
    if (!details.colour.empty())
        tabs->addTab(colourPage(details), "Colour");
    if (!layout.axes.empty())
        tabs->addTab(variationsPage(layout), "Variations");
    lookups_ = new LookupBrowser(font);
    connect(lookups_, &LookupBrowser::lookupSelected, this, &FontDetailsDialog::lookupSelected);
    tabs->addTab(lookups_, "Lookups");
    tabs->addTab(namesPage(*font), "Names");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addWidget(tabs);
    layoutBox->addWidget(buttons);
    resize(960, 640);
}
