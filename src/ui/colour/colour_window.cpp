#include "ui/colour/colour_window.h"

#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "colour/colour_json.h"
#include "platform/colour_images.h"
#include "tables/names.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/overview/overview_drawing.h"

namespace {

constexpr int MinPpem = 16, MaxPpem = 512, DefaultPpem = 256;
constexpr int Margin = 16;      // pixels of background around the picture
constexpr int CheckerSide = 8;  // pixels of one checkerboard square
constexpr int PathRole = Qt::UserRole;      // a paint node's child indices from the root
constexpr int GlyphRole = Qt::UserRole + 1; // the glyph a PaintGlyph or a layer fills

Rgba toRgba(const QColor& c) { return {std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue()), 255}; }

QIcon swatch(Rgba c)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(QColor(c.r, c.g, c.b, c.a));
    return QIcon(pixmap);
}

QString fieldsText(const PaintNode& n, const ColourTables& tables, const PaintSettings& settings)
{
    QStringList parts;
    for (const auto& [name, value] : PaintFields(n, tables, settings))
        parts << QString::fromStdString(name + ": " + value);
    return QString(PaintKindName(n.kind)) + (parts.isEmpty() ? QString() : "  " + parts.join(", "));
}

// One tree item per paint, its paints below it, and a gradient's stops as items of their own.
QTreeWidgetItem* paintItem(const PaintNode& n, QVariantList path, const ColourTables& tables, const PaintSettings& settings)
{
    auto* item = new QTreeWidgetItem({fieldsText(n, tables, settings)});
    item->setData(0, PathRole, path);
    item->setData(0, GlyphRole, n.kind == PaintKind::Glyph ? n.glyph : -1);
    if (n.kind == PaintKind::Solid)
        item->setIcon(0, swatch(PaletteColour(tables, settings, n.paletteIndex, n.alpha)));
    if (IsGradient(n.kind))
        for (const ColourStop& s : n.line.stops) {
            const Rgba c = PaletteColour(tables, settings, s.paletteIndex, s.alpha);
            auto* stop = new QTreeWidgetItem(item, {QStringLiteral("stop  offset: %1, palette_index: %2, alpha: %3, color: %4")
                                                        .arg(s.offset).arg(s.paletteIndex).arg(s.alpha)
                                                        .arg(QString::fromStdString(ColourText(c)))});
            stop->setData(0, PathRole, path);
            stop->setData(0, GlyphRole, -1);
            stop->setIcon(0, swatch(c));
        }
    for (qsizetype k = 0; k < qsizetype(n.children.size()); ++k)
        item->addChild(paintItem(n.children[std::size_t(k)], path + QVariantList{int(k)}, tables, settings));
    return item;
}

QTransform toQt(const Affine& a) { return QTransform(a.xx, a.yx, a.xy, a.yy, a.dx, a.dy); }

bool isTransform(PaintKind kind) { return kind >= PaintKind::Transform && kind <= PaintKind::Skew; }

// The outlines of the PaintGlyph paints at and below n, each in the transforms above it.
void glyphRegions(const PaintNode& n, const QTransform& t, const GlyphSource& source, QPainterPath& out)
{
    if (n.kind == PaintKind::Glyph) {
        out.addPath(t.map(glyphPath(source.shape(n.glyph))));
        return;
    }
    const QTransform inner = isTransform(n.kind) ? toQt(PaintTransform(n)) * t : t;
    for (const PaintNode& c : n.children)
        glyphRegions(c, inner, source, out);
}

void drawBackground(QPainter& painter, const QRect& area, int kind, const QColor& colour)
{
    if (kind != 0) {
        painter.fillRect(area, kind == 1 ? QColor(Qt::white) : kind == 2 ? QColor(Qt::black) : colour);
        return;
    }
    for (int y = 0; y < area.height(); y += CheckerSide)
        for (int x = 0; x < area.width(); x += CheckerSide)
            painter.fillRect(x, y, CheckerSide, CheckerSide, ((x + y) / CheckerSide) % 2 ? QColor(204, 204, 204) : Qt::white);
}

} // namespace

ColourWindow::ColourWindow(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("Colour");
    ppem_ = new QSpinBox;
    ppem_->setRange(MinPpem, MaxPpem);
    ppem_->setValue(DefaultPpem);
    ppem_->setSuffix(" ppem");
    ppem_->setObjectName("colourPpem");
    palette_ = new QComboBox;
    palette_->setObjectName("palette");
    background_ = new QComboBox;
    background_->addItems({"Checkerboard", "White", "Black", "Colour..."});
    foregroundButton_ = new QPushButton("Foreground...");
    tree_ = new QTreeWidget;
    tree_->setObjectName("colourTree");
    tree_->setHeaderHidden(true);
    canvas_ = new QLabel;
    canvas_->setObjectName("colourPicture");
    canvas_->setAlignment(Qt::AlignCenter);
    auto* scroll = new QScrollArea;
    scroll->setWidget(canvas_);
    scroll->setWidgetResizable(true);
    messages_ = new QLabel;
    messages_->setWordWrap(true);

    auto* controls = new QHBoxLayout;
    controls->addWidget(ppem_);
    controls->addWidget(new QLabel("Palette:"));
    controls->addWidget(palette_, 1);
    controls->addWidget(foregroundButton_);
    controls->addWidget(new QLabel("Background:"));
    controls->addWidget(background_);
    auto* split = new QSplitter;
    split->addWidget(scroll);
    split->addWidget(tree_);
    split->setSizes({560, 440});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(split, 1);
    layout->addWidget(messages_);

    connect(ppem_, &QSpinBox::valueChanged, this, &ColourWindow::describe); // a strike glyph takes the strike for the size
    connect(palette_, &QComboBox::currentIndexChanged, this, [this] {
        fillTree(); // the colours the tree prints are the palette's
        render();
    });
    connect(background_, &QComboBox::activated, this, [this](int index) {
        if (index == 3)
            chooseColour(backgroundColour_);
        render();
    });
    connect(foregroundButton_, &QPushButton::clicked, this, [this] {
        chooseColour(foreground_);
        fillTree();
        render();
    });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        render();
        if (item && item->data(0, GlyphRole).toInt() >= 0)
            emit outlineChosen(item->data(0, GlyphRole).toInt());
    });
    resize(1000, 680);
}

void ColourWindow::chooseColour(QColor& colour)
{
    const QColor chosen = QColorDialog::getColor(colour, this);
    if (chosen.isValid())
        colour = chosen;
}

void ColourWindow::showGlyph(std::shared_ptr<const FontState> font, std::shared_ptr<const ColourTables> tables, int glyph,
                             const Location& location)
{
    const bool newFont = font != font_;
    font_ = std::move(font);
    tables_ = std::move(tables);
    glyph_ = glyph;
    location_ = location;
    if (newFont)
        fillPalettes();
    describe();
}

// Each palette by its label from the name table, else its number, with the backgrounds it is made for.
void ColourWindow::fillPalettes()
{
    const QSignalBlocker quiet(palette_);
    palette_->clear();
    const Cpal* cpal = tables_ && tables_->cpal ? &*tables_->cpal : nullptr;
    const std::size_t count = cpal ? cpal->palettes.size() : 0;
    for (std::size_t p = 0; p < std::max<std::size_t>(count, 1); ++p) {
        QString text = QStringLiteral("Palette %1").arg(p);
        if (cpal && p < cpal->paletteLabels.size() && cpal->paletteLabels[p] != NoPaletteLabel)
            if (const std::string label = FontNameText(*font_, cpal->paletteLabels[p]); !label.empty())
                text += ": " + QString::fromStdString(label);
        const std::uint32_t type = cpal && p < cpal->paletteTypes.size() ? cpal->paletteTypes[p] : 0;
        if (type & USABLE_WITH_LIGHT_BACKGROUND)
            text += " (light)";
        if (type & USABLE_WITH_DARK_BACKGROUND)
            text += " (dark)";
        palette_->addItem(count ? text : "No palettes");
    }
}

// A strike glyph's strike and image, or an SVG glyph's document and its source, line by line.
void ColourWindow::addImageDetails(QTreeWidgetItem* top) const
{
    const auto line = [top](const QString& text) { return new QTreeWidgetItem(top, {text}); };
    if (const auto& g = described_.strike; g && g->found) {
        line(QStringLiteral("strike  ppem: %1, image_format: %2, width: %3, height: %4, origin_x: %5, origin_y: %6")
                 .arg(g->strike.ppem).arg(QString::fromStdString(g->imageFormat)).arg(g->width).arg(g->height)
                 .arg(g->originX).arg(g->originY));
    }
    const auto& d = described_.svg;
    if (!d || !d->found)
        return;
    line(QStringLiteral("document %1  glyphs: %2-%3, gzipped: %4, length: %5")
             .arg(d->document).arg(d->record.firstGlyph).arg(d->record.lastGlyph)
             .arg(d->gzipped ? "true" : "false").arg(d->record.length));
    const SvgText text = SvgDocumentText(d->bytes, d->gzipped);
    if (!text.problem.empty()) {
        line(QString::fromStdString(text.problem));
        return;
    }
    // A tree of some thousand lines stays quick; a longer document is cut with a note.
    constexpr int MostLines = 2000;
    auto* source = line(QStringLiteral("source"));
    const QStringList lines = QString::fromUtf8(text.text).split('\n');
    for (int k = 0; k < lines.size() && k < MostLines; ++k)
        new QTreeWidgetItem(source, {lines[k]});
    if (lines.size() > MostLines)
        new QTreeWidgetItem(source, {QStringLiteral("... %1 more lines").arg(lines.size() - MostLines)});
}

void ColourWindow::describe()
{
    described_ = {};
    if (font_ && tables_ && glyph_ >= 0 && glyph_ < font_->NumGlyphs)
        described_ = DescribeColourGlyph(*tables_, glyph_, location_, ppem_->value());
    fillTree();
    render();
}

PaintSettings ColourWindow::settings() const
{
    return {location_, std::max(0, palette_->currentIndex()), toRgba(foreground_)};
}

// The tree made again keeps the node selected where the glyph still has it.
void ColourWindow::fillTree()
{
    const QSignalBlocker quiet(tree_);
    const QTreeWidgetItem* current = tree_->currentItem();
    const QVariant kept = current ? current->data(0, PathRole) : QVariant();
    const QString keptText = current ? current->text(0) : QString();
    tree_->clear();
    const PaintSettings paint = settings();
    if (described_.paint) {
        tree_->addTopLevelItem(paintItem(*described_.paint, {}, *tables_, paint));
    } else if (described_.format == ColourFormat::ColrV0) {
        for (std::size_t k = 0; k < described_.layers.size(); ++k) {
            const ColrLayer& l = described_.layers[k];
            const Rgba c = PaletteColour(*tables_, paint, l.paletteIndex, 1);
            auto* item = new QTreeWidgetItem({QStringLiteral("layer %1  glyph: %2, palette_index: %3, color: %4")
                                                  .arg(k).arg(l.glyph).arg(l.paletteIndex)
                                                  .arg(QString::fromStdString(ColourText(c)))});
            item->setData(0, PathRole, QVariantList{int(k)});
            item->setData(0, GlyphRole, l.glyph);
            item->setIcon(0, swatch(c));
            tree_->addTopLevelItem(item);
        }
    } else {
        auto* top = new QTreeWidgetItem({QStringLiteral("Glyph %1: %2").arg(glyph_).arg(ColourFormatName(described_.format))});
        tree_->addTopLevelItem(top);
        addImageDetails(top);
    }
    tree_->expandAll();
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        if (kept.isValid() && (*it)->data(0, PathRole) == kept && (*it)->text(0).section(' ', 0, 0) == keptText.section(' ', 0, 0))
            tree_->setCurrentItem(*it);
}

// The region of the node selected, in font units: the outlines its PaintGlyph paints fill, or
// for a fill, the outline of the PaintGlyph it fills; a layer's glyph.
QPainterPath ColourWindow::selectedRegion() const
{
    const QTreeWidgetItem* item = tree_->currentItem();
    QPainterPath region;
    if (!item || !font_ || !item->data(0, PathRole).isValid())
        return region;
    const FontGlyphSource source(font_, "", location_);
    const QVariantList path = item->data(0, PathRole).toList();
    if (!described_.paint) {
        const int glyph = item->data(0, GlyphRole).toInt();
        return glyph >= 0 ? glyphPath(source.shape(glyph)) : region;
    }
    const PaintNode* node = &*described_.paint;
    QTransform t;
    const PaintNode* filled = nullptr; // the innermost PaintGlyph above the node
    QTransform filledAt;
    for (const QVariant& step : path) {
        if (node->kind == PaintKind::Glyph) {
            filled = node;
            filledAt = t;
        }
        if (isTransform(node->kind))
            t = toQt(PaintTransform(*node)) * t;
        const std::size_t k = std::size_t(step.toInt());
        if (k >= node->children.size())
            return region;
        node = &node->children[k];
    }
    glyphRegions(*node, t, source, region);
    if (region.isEmpty() && filled)
        region = filledAt.map(glyphPath(source.shape(filled->glyph)));
    return region;
}

void ColourWindow::render()
{
    picture_ = {};
    messages_->clear();
    if (!font_ || !tables_ || glyph_ < 0 || glyph_ >= font_->NumGlyphs) {
        canvas_->clear();
        return;
    }
    const int ppem = ppem_->value();
    rendering_ = RenderColourGlyph(*font_, *tables_, described_, settings(), ppem);
    const QSize size = rendering_.image.size().expandedTo(QSize(ppem, ppem)) + QSize(2 * Margin, 2 * Margin);
    picture_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&picture_);
    drawBackground(painter, picture_.rect(), background_->currentIndex(), backgroundColour_);
    painter.drawImage(Margin, Margin, rendering_.image);
    const double scale = double(ppem) / std::max(1, ReadFontMetrics(*font_).unitsPerEm);
    const QTransform toPicture(scale, 0, 0, -scale, Margin - rendering_.left, Margin + rendering_.top);
    if (const QPainterPath region = selectedRegion(); !region.isEmpty()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0, 120, 255), 2, Qt::DashLine));
        painter.drawPath(toPicture.map(region));
    }
    painter.end();
    canvas_->setPixmap(QPixmap::fromImage(picture_));
    QStringList texts;
    for (const std::vector<std::string>* list : std::initializer_list<const std::vector<std::string>*>{&tables_->problems, &described_.messages, &rendering_.messages})
        for (const std::string& m : *list)
            texts << QString::fromStdString(m);
    messages_->setText(texts.join('\n'));
}
