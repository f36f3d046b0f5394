#include "ui/problems/problems_view.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTableWidget>
#include <QTreeWidget>

#include "tables/glyph_names.h"
#include "ui/main/form_layout.h"
#include "ui/main/glyph_canvas.h"
#include "ui/problems/font_checks.h"
#include "ui/satellite_window.h"
#include "ui/session_signals.h"
#include "ui/status_label.h"

namespace {

// The Font Problems list stops listing a check's findings here: past it a
// list of tens of thousands is read by no one, and costs seconds to fill.
constexpr int ListedPerCheck = 2000;

QString number(double v) { return QString::number(v, 'g', 10); }

QString placeText(const Finding& f)
{
    return f.placed ? number(f.x) + QStringLiteral(", ") + number(f.y) : QString();
}

// The drawn glyph's point for a finding's contour and point (from 0, the
// point within its contour; the window numbers contours from 1 and points
// through the glyph); its contour's first point for a finding of a whole
// contour; -1 when the glyph drawn has no such point.
int drawnPoint(const DrawnGlyph& glyph, int contour, int point)
{
    if (contour < 0)
        return -1;
    const auto& points = glyph.points;
    for (std::size_t i = 0; i < points.size(); ++i)
        if (points[i].contour == contour + 1) {
            const std::size_t at = i + std::size_t(std::max(0, point));
            return at < points.size() && points[at].contour == contour + 1 ? int(at) : -1;
        }
    return -1;
}

// Where a finding's badge goes: its place, else its point, else none.
std::optional<QPointF> badgePlace(const Finding& f, const DrawnGlyph& glyph)
{
    if (f.placed)
        return QPointF(f.x, f.y);
    const int p = drawnPoint(glyph, f.contour, f.point);
    if (p < 0)
        return std::nullopt;
    return QPointF(glyph.points[std::size_t(p)].x, glyph.points[std::size_t(p)].y);
}

// "contour 2 at 120, 700", contours numbered from 1 as the listing does.
QString findingWhere(const Finding& f)
{
    QString where = f.contour >= 0     ? QStringLiteral("contour %1").arg(f.contour + 1)
                    : f.component >= 0 ? QStringLiteral("component %1").arg(f.component)
                                       : QString();
    if (f.placed)
        where += (where.isEmpty() ? QStringLiteral("at ") : QStringLiteral(" at ")) + placeText(f);
    return where;
}

} // namespace

ProblemsView::ProblemsView(QWidget* window, GlyphCanvas* canvas, SessionSignals& session, QMenu* viewMenu,
                           QWidget* listingParent, QWidget* statusBar)
    : QObject(window), session_(session), canvas_(canvas), window_(window)
{
    table_ = new QTableWidget(0, 5, listingParent);
    table_->setObjectName("problemsTable");
    table_->setHorizontalHeaderLabels({"Check", "Contour", "Point", "Place", "Detail"});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setFont(formFont(8.25));
    table_->horizontalHeader()->setFont(formFont(8.25));
    table_->setWordWrap(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->hide();

    viewMenu->addSeparator();
    badges_ = viewMenu->addAction("Problems");
    badges_->setObjectName("mnuProblems");
    badges_->setCheckable(true);
    badges_->setChecked(true); // a font without problems has no badges to show
    QAction* fontProblems = viewMenu->addAction("Font Problems");
    fontProblems->setObjectName("mnuFontProblems");

    progress_ = new StatusLabel(static_cast<QStatusBar*>(statusBar));
    progress_->setObjectName("checkProgress");
    checks_ = new FontChecks(this);

    connect(&session_, &SessionSignals::fontOpened, this, &ProblemsView::locationChanged);
    connect(&session_, &SessionSignals::locationChanged, this, &ProblemsView::locationChanged);
    connect(&session_, &SessionSignals::glyphShown, this, &ProblemsView::glyphShown);
    connect(table_, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem*> chosen = table_->selectedItems();
        if (!chosen.isEmpty())
            selectRow(chosen.first()->row());
    });
    connect(badges_, &QAction::toggled, this, &ProblemsView::showBadges);
    connect(fontProblems, &QAction::triggered, this, &ProblemsView::showFontProblems);
    connect(checks_, &FontChecks::progressed, this, [this] {
        showProgress();
        if (!checks_->running() && fontProblems_ && fontProblems_->isVisible())
            fillFontProblems();
        emit fontChecked(checks_->checksByGlyph());
    });
}

// A new font, or the font at another location, is checked again from the start.
void ProblemsView::locationChanged()
{
    const FontSession& s = session_.session();
    facts_ = ReadCheckFacts(*s.font(), s.location());
    checks_->start(s.font(), s.location());
    showProgress();
    if (fontProblems_ && fontProblems_->isVisible())
        fillFontProblems(); // nothing of the font before stays to be clicked
    glyphShown(s.CurrentGlyph());
}

// One row a finding, in the order the checks list them.
void ProblemsView::glyphShown(int glyph)
{
    const FontSession& s = session_.session();
    findings_ = s.font()->Loaded ? CheckGlyph(*s.font(), glyph, s.location(), facts_).findings : std::vector<Finding>{};
    const QSignalBlocker quiet(table_);
    table_->clearContents();
    table_->setRowCount(int(findings_.size()));
    for (int row = 0; row < int(findings_.size()); ++row) {
        const Finding& f = findings_[std::size_t(row)];
        const int point = f.point >= 0 ? drawnPoint(s.drawn(), f.contour, f.point) : -1;
        const QString cells[] = {QString::fromLatin1(CheckName(f.check)),
                                 f.contour >= 0 ? QString::number(f.contour + 1) : QString(),
                                 point >= 0 ? QString::number(point) : QString(), placeText(f),
                                 QString::fromStdString(f.detail)};
        for (int column = 0; column < 5; ++column)
            table_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    showBadges();
}

// As choosing its row in Points does: the point, its segment and its listing line.
void ProblemsView::selectRow(int row)
{
    if (row < 0 || std::size_t(row) >= findings_.size())
        return;
    const Finding& f = findings_[std::size_t(row)];
    FontSession& s = session_.session();
    s.selectPoint(drawnPoint(s.drawn(), f.contour, f.point));
}

void ProblemsView::showBadges()
{
    std::vector<QPointF> places;
    if (badges_->isChecked())
        for (const Finding& f : findings_)
            if (const std::optional<QPointF> at = badgePlace(f, session_.session().drawn()))
                places.push_back(*at);
    canvas_->setBadges(std::move(places));
}

void ProblemsView::showFinding(int glyph, int index)
{
    session_.session().showGlyph(glyph);
    emit tableWanted();
    if (index >= 0 && index < table_->rowCount())
        table_->selectRow(index);
}

void ProblemsView::showProgress()
{
    if (checks_->running()) {
        progress_->setText(QStringLiteral("Checking %1%").arg(checks_->checked() * 100 / std::max(1, checks_->total())));
        return;
    }
    std::size_t count = 0;
    for (const GlyphFindings& g : checks_->found())
        count += g.findings.size();
    progress_->setText(checks_->total() == 0 ? QString()
                                             : QStringLiteral("%1 problems in %2 glyphs").arg(count).arg(checks_->found().size()));
}

void ProblemsView::showFontProblems()
{
    if (!fontProblems_) {
        fontProblems_ = new QTreeWidget(window_);
        fontProblems_->setObjectName("fontProblems");
        fontProblems_->setWindowFlag(Qt::Window);
        fontProblems_->setWindowTitle("Font Problems");
        fontProblems_->setHeaderLabels({"Check / glyph", "Where", "Detail"});
        fontProblems_->resize(560, 600);
        makeSatellite(fontProblems_, window_, canvas_);
        connect(fontProblems_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
            if (item->data(0, Qt::UserRole).isValid())
                showFinding(item->data(0, Qt::UserRole).toInt(), item->data(1, Qt::UserRole).toInt());
        });
        connect(fontProblems_, &QTreeWidget::itemClicked, fontProblems_, &QTreeWidget::itemActivated);
    }
    fillFontProblems();
    fontProblems_->show();
    fontProblems_->raise();
}

// A branch a check, in the order of the checks, its findings below in
// glyph order; each row holds its glyph and the finding's index among the
// glyph's findings.
void ProblemsView::fillFontProblems()
{
    fontProblems_->clear();
    const FontState& font = *session_.session().font();
    std::vector<int> counts(CheckCount, 0);
    for (const GlyphFindings& g : checks_->found())
        for (const Finding& f : g.findings)
            ++counts[std::size_t(f.check)];
    std::vector<QTreeWidgetItem*> branches(CheckCount, nullptr);
    for (int c = 0; c < CheckCount; ++c)
        if (const int n = counts[std::size_t(c)]; n > 0)
            branches[std::size_t(c)] = new QTreeWidgetItem(
                fontProblems_, {QString::fromLatin1(CheckName(Check(c))),
                                n > ListedPerCheck ? QStringLiteral("%1 (the first %2 listed)").arg(n).arg(ListedPerCheck)
                                                   : QString::number(n)});
    std::vector<int> listed(CheckCount, 0);
    for (const GlyphFindings& g : checks_->found())
        for (std::size_t i = 0; i < g.findings.size(); ++i) {
            const Finding& f = g.findings[i];
            if (++listed[std::size_t(f.check)] > ListedPerCheck)
                continue;
            auto* row = new QTreeWidgetItem(branches[std::size_t(f.check)],
                                            {QStringLiteral("%1 %2").arg(g.glyph).arg(QString::fromStdString(GlyphName(font, g.glyph))),
                                             findingWhere(f), QString::fromStdString(f.detail)});
            row->setData(0, Qt::UserRole, g.glyph);
            row->setData(1, Qt::UserRole, int(i));
        }
    if (checks_->running())
        new QTreeWidgetItem(fontProblems_, {QStringLiteral("Still checking: %1 of %2 glyphs").arg(checks_->checked()).arg(checks_->total())});
    fontProblems_->resizeColumnToContents(0);
    fontProblems_->resizeColumnToContents(1);
}
