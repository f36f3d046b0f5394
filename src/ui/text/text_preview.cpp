#include "ui/text/text_preview.h"

#include <algorithm>
#include <map>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/font_file.h"
#include "tables/names.h"
#include "ui/font_sources.h"
#include "ui/text/glyph_drawing.h"
#include "ui/text/glyph_list.h"
#include "ui/text/shaping_trace.h"
#include "ui/text/waterfall_canvas.h"
#include "ui/variations/variations_dialog.h"

namespace {

const std::vector<int> Sizes = {8, 10, 12, 14, 16, 18, 24, 32, 48, 64, 96};
constexpr int SampleTextNameId = 19;

// A pangram per script, or a short common phrase where the script has none
// in wide use.
const char* const Pangrams[] = {
    "The quick brown fox jumps over the lazy dog",
    "\u0421\u044a\u0435\u0448\u044c \u0436\u0435 \u0435\u0449\u0451 \u044d\u0442\u0438\u0445 \u043c\u044f\u0433\u043a\u0438\u0445 "
    "\u0444\u0440\u0430\u043d\u0446\u0443\u0437\u0441\u043a\u0438\u0445 \u0431\u0443\u043b\u043e\u043a",
    "\u039e\u03b5\u03c3\u03ba\u03b5\u03c0\u03ac\u03b6\u03c9 \u03c4\u03b7\u03bd \u03c8\u03c5\u03c7\u03bf\u03c6\u03b8\u03cc\u03c1\u03b1 "
    "\u03b2\u03b4\u03b5\u03bb\u03c5\u03b3\u03bc\u03af\u03b1",
    "\u05d3\u05d2 \u05e1\u05e7\u05e8\u05df \u05e9\u05d8 \u05d1\u05d9\u05dd \u05de\u05d0\u05d5\u05db\u05d6\u05d1",
    "\u0646\u0635 \u062d\u0643\u064a\u0645 \u0644\u0647 \u0633\u0631 \u0642\u0627\u0637\u0639 \u0648\u0630\u0648 \u0634\u0623\u0646 "
    "\u0639\u0638\u064a\u0645",
    "\u090b\u0937\u093f\u092f\u094b\u0902 \u0915\u094b \u0938\u0924\u093e\u0928\u0947 \u0935\u093e\u0932\u0947 \u0926\u0941\u0937\u094d\u091f "
    "\u0930\u093e\u0915\u094d\u0937\u0938\u094b\u0902 \u0915\u0947 \u0930\u093e\u091c\u093e \u0930\u093e\u0935\u0923",
    "\u6211\u80fd\u541e\u4e0b\u73bb\u7483\u800c\u4e0d\u4f24\u8eab\u4f53",
    "\u3044\u308d\u306f\u306b\u307b\u3078\u3068 \u3061\u308a\u306c\u308b\u3092",
};

// The share of a text's letters (not spaces) the font has a glyph for.
double coverage(const FontState& font, const QString& text)
{
    int letters = 0, mapped = 0;
    for (const char32_t c : text.toUcs4()) {
        if (c == U' ')
            continue;
        ++letters;
        mapped += font.Unicode.glyphFor(c) > 0;
    }
    return letters ? double(mapped) / letters : 0;
}

} // namespace

QString SampleText(const FontState& font)
{
    if (const std::string text = FontNameText(font, SampleTextNameId); !text.empty())
        return QString::fromStdString(text);
    QString best = QString::fromUtf8(Pangrams[0]);
    double bestCoverage = coverage(font, best);
    for (const char* pangram : Pangrams) {
        const QString text = QString::fromUtf8(pangram);
        if (const double c = coverage(font, text); c > bestCoverage) {
            best = text;
            bestCoverage = c;
        }
    }
    return best;
}


namespace {

// A feature's check box: partly checked is the font's default.
const char* stateWord(Qt::CheckState state)
{
    return state == Qt::Checked ? "on" : state == Qt::Unchecked ? "off" : "default";
}

QString trimmed(const std::string& tag) { return QString::fromStdString(tag).trimmed(); }

constexpr int TagRole = Qt::UserRole + 1; // a script item's OpenType tag; its data is the ISO 15924 code

} // namespace

TextPreview::TextPreview(QWidget* parent) : QDockWidget("Text", parent)
{
    setObjectName("TextPreview");
    createControls();
    rows_.emplace_back(); // the main row, empty until a font is shown
    rowList_->addItem(QString());
    rowList_->setCurrentRow(0);
}

TextPreview::~TextPreview() = default;

void TextPreview::createControls()
{
    text_ = new QLineEdit;
    text_->setPlaceholderText("Text to preview");
    script_ = new QComboBox;
    script_->setObjectName("script");
    language_ = new QComboBox;
    language_->setObjectName("language");
    direction_ = new QComboBox;
    direction_->setObjectName("direction");
    waterfall_ = new QCheckBox("Waterfall");
    waterfall_->setChecked(true);
    size_ = new QSpinBox;
    size_->setRange(6, 400);
    size_->setValue(48);
    size_->setSuffix(" px");
    size_->setEnabled(false);
    for (QComboBox* box : {script_, language_, direction_})
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* options = new QHBoxLayout;
    for (auto [label, box] :
         {std::pair("Script", script_), std::pair("Language", language_), std::pair("Direction", direction_)}) {
        options->addWidget(new QLabel(label));
        options->addWidget(box);
    }
    options->addStretch(1);
    options->addWidget(waterfall_);
    options->addWidget(new QLabel("Size"));
    options->addWidget(size_);

    features_ = new QTreeWidget;
    features_->setObjectName("features");
    features_->setHeaderLabels({"Feature", "State", "Name"});
    features_->setRootIsDecorated(false);
    features_->setToolTip("Click a feature's box: on, off, or the font's default");
    features_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    canvas_ = new WaterfallCanvas;
    auto* scroll = new QScrollArea;
    scroll->setWidget(canvas_);
    scroll->setWidgetResizable(true);
    glyphs_ = new GlyphList;
    trace_ = new ShapingTrace;
    tabs_ = new QTabWidget;
    tabs_->addTab(glyphs_, "Glyphs");
    tabs_->addTab(trace_, "Trace");

    auto* left = new QSplitter(Qt::Vertical);
    left->addWidget(createRowsBox());
    left->addWidget(features_);
    left->setStretchFactor(1, 1);
    auto* right = new QSplitter(Qt::Vertical);
    right->addWidget(scroll);
    right->addWidget(tabs_);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    right->setSizes({330, 400});
    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({300, 800});

    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(text_);
    layout->addLayout(options);
    layout->addWidget(split, 1);
    setWidget(body);

    connect(text_, &QLineEdit::textChanged, this, &TextPreview::reshape);
    connect(script_, &QComboBox::currentIndexChanged, this, [this] {
        fillLanguages();
        reshape();
    });
    connect(language_, &QComboBox::currentIndexChanged, this, &TextPreview::reshape);
    connect(direction_, &QComboBox::currentIndexChanged, this, &TextPreview::reshape);
    connect(features_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column != 0)
            return;
        const QSignalBlocker quiet(features_);
        item->setText(1, stateWord(item->checkState(0)));
        reshape();
    });
    connect(waterfall_, &QCheckBox::toggled, size_, &QSpinBox::setDisabled);
    connect(waterfall_, &QCheckBox::toggled, this, &TextPreview::showRows);
    connect(size_, &QSpinBox::valueChanged, this, &TextPreview::showRows);
    connect(canvas_, &WaterfallCanvas::rowClicked, this, &TextPreview::selectRow);
    connect(canvas_, &WaterfallCanvas::glyphClicked, this, &TextPreview::rowClicked);
    connect(tabs_, &QTabWidget::currentChanged, this, &TextPreview::showSelected);
    traceTimer_ = new QTimer(this);
    traceTimer_->setSingleShot(true);
    traceTimer_->setInterval(250);
    connect(traceTimer_, &QTimer::timeout, this, &TextPreview::showSelected);
    connect(trace_, &ShapingTrace::runChosen, this, [this](int run) {
        traceRun_ = run;
        traceStale_ = true;
        showSelected();
    });
}

QWidget* TextPreview::createRowsBox()
{
    rowList_ = new QListWidget;
    rowList_->setObjectName("rows");
    rowList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rowList_->setTextElideMode(Qt::ElideMiddle); // the location, at the end, is what tells rows apart
    addMenu_ = new QMenu(this);
    auto* add = new QPushButton("Add");
    add->setMenu(addMenu_);
    add->setToolTip("Another font, face or location, shown with the same text");
    locationButton_ = new QPushButton("Location...");
    removeButton_ = new QPushButton("Remove");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(locationButton_);
    buttons->addWidget(removeButton_);
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("Rows"));
    layout->addWidget(rowList_, 1);
    layout->addLayout(buttons);
    connect(locationButton_, &QPushButton::clicked, this, &TextPreview::editLocation);
    connect(removeButton_, &QPushButton::clicked, this, &TextPreview::removeRow);
    connect(rowList_, &QListWidget::currentRowChanged, this, [this](int row) {
        canvas_->setSelectedRow(row);
        const bool other = row > 0;
        removeButton_->setEnabled(other);
        locationButton_->setEnabled(other && !rows_[std::size_t(row)].font->Variations.axes.empty());
        if (locationDialog_ && locationDialog_->isVisible() && locationRow_ != row)
            locationDialog_->hide(); // it moves one row, not whichever is selected
        traceStale_ = true;
        showSelected();
    });
    connect(rowList_, &QListWidget::itemDoubleClicked, this, &TextPreview::editLocation);
    return box;
}

void TextPreview::setFont(std::shared_ptr<const FontState> font, const Location& location, std::vector<Fixed> user,
                          int faceCount)
{
    const bool newFont = font != rows_[0].font;
    Row& main = rows_[0];
    main.faceCount = faceCount;
    if (!font || !font->Loaded) {
        main = Row{};
    } else if (newFont || location.normalized != main.location.normalized) {
        if (newFont)
            main.layout = ReadFontLayout(font->FontBytes, font->Face);
        main.font = std::move(font);
        main.user = std::move(user);
        main.location = location; // as the session normalized it
        main.drawing = std::make_shared<GlyphDrawing>(main.font, location, palette().color(QPalette::Text));
    }
    rowList_->item(0)->setText(rowLabel(main));
    if (newFont) {
        fillLayoutChoices();
        fillAddMenu(); // before it shows: a menu filled as it opens is placed for its old size
    }
    if (newFont && main.font)
        text_->setText(SampleText(*main.font)); // reshapes
    else
        reshape();
}

QString TextPreview::text() const { return text_->text(); }

void TextPreview::setText(const QString& text) { text_->setText(text); }

void TextPreview::setRow(Row& row, std::shared_ptr<const FontState> font, const std::vector<Fixed>& user)
{
    row.font = std::move(font);
    row.user = user;
    row.location = Normalize(row.font->Variations, user);
    row.drawing = std::make_shared<GlyphDrawing>(row.font, row.location, palette().color(QPalette::Text));
}

bool TextPreview::addFontRow(const std::string& path, int face)
{
    OpenedFont opened = OpenFontPath(path, false, face);
    if (!opened.font.Loaded)
        return false;
    Row row;
    row.faceCount = opened.faces;
    auto font = std::make_shared<const FontState>(std::move(opened.font));
    row.layout = ReadFontLayout(font->FontBytes, font->Face);
    setRow(row, font, DefaultCoordinates(font->Variations));
    rows_.push_back(std::move(row));
    rowList_->addItem(rowLabel(rows_.back()));
    fillLayoutChoices();
    reshape();
    selectRow(rowCount() - 1);
    return true;
}

void TextPreview::addLocationRow(const std::vector<Fixed>& user)
{
    if (!rows_[0].font)
        return;
    Row row;
    row.faceCount = rows_[0].faceCount;
    row.layout = rows_[0].layout;
    setRow(row, rows_[0].font, user);
    rows_.push_back(std::move(row));
    rowList_->addItem(rowLabel(rows_.back()));
    reshape();
    selectRow(rowCount() - 1);
}

int TextPreview::selectedRow() const { return std::max(0, rowList_->currentRow()); }

void TextPreview::selectRow(int row)
{
    if (row >= 0 && row < rowCount())
        rowList_->setCurrentRow(row);
}

QString TextPreview::rowLabel(const Row& row) const
{
    return row.font ? FontSourceLabel(*row.font, row.faceCount, row.user) : QStringLiteral("No font");
}

// The features and scripts of every row, each once, and the directions the
// main font can be set in; the choices made stay where they still can.
void TextPreview::fillLayoutChoices()
{
    std::map<std::string, Qt::CheckState> states;
    for (int i = 0; i < features_->topLevelItemCount(); ++i)
        states[features_->topLevelItem(i)->text(0).toStdString()] = features_->topLevelItem(i)->checkState(0);
    const QVariant script = script_->currentData(TagRole);
    const QVariant direction = direction_->currentData();

    const QSignalBlocker quietFeatures(features_), quietScript(script_), quietDirection(direction_);
    features_->clear();
    script_->clear();
    script_->addItem("Automatic", QString());
    std::map<std::string, QTreeWidgetItem*> listed;
    for (const Row& row : rows_) {
        for (const auto& f : row.layout.features) {
            QTreeWidgetItem*& item = listed[f.tag];
            if (!item) {
                item = new QTreeWidgetItem(features_,
                                           {QString::fromStdString(f.tag), "", QString::fromStdString(f.name)});
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsUserTristate);
                const auto kept = states.find(f.tag);
                item->setCheckState(0, kept == states.end() ? Qt::PartiallyChecked : kept->second);
                item->setText(1, stateWord(item->checkState(0)));
            }
            const QString table = f.gsub && f.gpos ? "GSUB and GPOS" : f.gpos ? "GPOS" : "GSUB";
            item->setToolTip(0, item->toolTip(0).isEmpty() ? table : item->toolTip(0));
        }
        for (const auto& s : row.layout.scripts)
            if (!s.script.empty() && script_->findData(QString::fromStdString(s.tag), TagRole) < 0) {
                script_->addItem(QString("%1 (%2)").arg(trimmed(s.tag), QString::fromStdString(s.script)),
                                 QString::fromStdString(s.script));
                script_->setItemData(script_->count() - 1, QString::fromStdString(s.tag), TagRole);
            }
    }
    script_->setCurrentIndex(std::max(0, script_->findData(script, TagRole)));

    direction_->clear();
    direction_->addItem("Automatic", int(TextDirection::Auto));
    direction_->addItem("Left to right", int(TextDirection::LeftToRight));
    direction_->addItem("Right to left", int(TextDirection::RightToLeft));
    if (rows_[0].layout.verticalMetrics) {
        direction_->addItem("Top to bottom", int(TextDirection::TopToBottom));
        direction_->addItem("Bottom to top", int(TextDirection::BottomToTop));
    }
    direction_->setCurrentIndex(std::max(0, direction_->findData(direction)));
    fillLanguages();
}

// The language systems of the script chosen, or of every script while it is automatic.
void TextPreview::fillLanguages()
{
    const QString kept = language_->currentData().toString(), script = script_->currentData(TagRole).toString();
    const QSignalBlocker quiet(language_);
    language_->clear();
    language_->addItem("Default", QString());
    for (const Row& row : rows_)
        for (const auto& s : row.layout.scripts)
            if (script.isEmpty() || QString::fromStdString(s.tag) == script)
                for (std::size_t k = 0; k < s.languages.size() && k < s.languageCodes.size(); ++k) {
                    const QString code = QString::fromStdString(s.languageCodes[k]);
                    if (!code.isEmpty() && language_->findData(code) < 0)
                        language_->addItem(QString("%1 (%2)").arg(trimmed(s.languages[k]), code), code);
                }
    language_->setCurrentIndex(std::max(0, language_->findData(kept)));
}

ShapeOptions TextPreview::options() const
{
    ShapeOptions options;
    for (int i = 0; i < features_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = features_->topLevelItem(i);
        if (item->checkState(0) != Qt::PartiallyChecked)
            options.features.push_back((item->checkState(0) == Qt::Checked ? "+" : "-") + item->text(0).toStdString());
    }
    options.script = script_->currentData().toString().toStdString();
    options.language = language_->currentData().toString().toStdString();
    options.direction = TextDirection(direction_->currentData().toInt());
    return options;
}

void TextPreview::fillAddMenu()
{
    const Row& main = rows_[0];
    FillFontSourceMenu(addMenu_, main.font.get(), main.faceCount,
                       {[this] { addFontFile(); },
                        [this](int face) { addFontRow(rows_[0].font->FontFileName, face); },
                        [this] {
                            addLocationRow(rows_[0].user.empty() ? DefaultCoordinates(rows_[0].font->Variations)
                                                                 : rows_[0].user);
                            editLocation();
                        }});
}

void TextPreview::addFontFile()
{
    const QString path = QFileDialog::getOpenFileName(this, "Add a Font", QString(),
                                                      "Fonts (*.ttf *.otf *.ttc *.otc *.woff *.woff2);;All files (*)");
    if (!path.isEmpty() && !addFontRow(path.toStdString()))
        QMessageBox::warning(this, "Text",
                             QString("%1 could not be opened as a font.").arg(QFileInfo(path).fileName()));
}

// The selected row's location, moved by the axes dialog as it goes.
void TextPreview::editLocation()
{
    const int row = selectedRow();
    if (row == 0 || rows_[std::size_t(row)].font->Variations.axes.empty())
        return;
    if (!locationDialog_) {
        locationDialog_ = new VariationsDialog(this);
        connect(locationDialog_, &VariationsDialog::locationChanged, this, [this](const std::vector<Fixed>& user) {
            if (locationRow_ <= 0 || locationRow_ >= rowCount())
                return;
            Row& moved = rows_[std::size_t(locationRow_)];
            setRow(moved, moved.font, user);
            rowList_->item(locationRow_)->setText(rowLabel(moved));
            reshape();
        });
    }
    locationRow_ = row;
    const Row& moved = rows_[std::size_t(row)];
    locationDialog_->setWindowTitle(QString("Location of %1").arg(rowLabel(moved)));
    locationDialog_->setAxes(moved.font->Variations, moved.user);
    locationDialog_->show();
    locationDialog_->raise();
}

void TextPreview::removeRow()
{
    const int row = selectedRow();
    if (row == 0)
        return;
    if (locationDialog_)
        locationDialog_->hide(); // the rows after the one removed move up
    locationRow_ = -1;
    rows_.erase(rows_.begin() + row);
    delete rowList_->takeItem(row);
    fillLayoutChoices();
    reshape();
}

void TextPreview::shapeRow(Row& row, const ShapeOptions& options, const std::string& utf8)
{
    row.glyphs.clear();
    row.runs.clear();
    if (!row.font)
        return;
    if (auto runs = ShapeRuns(row.font->FontBytes, row.font->Face, row.location, utf8, options))
        for (ShapedRun& run : *runs) {
            row.glyphs.insert(row.glyphs.end(), run.glyphs.begin(), run.glyphs.end());
            run.glyphs.clear();
            row.runs.push_back(std::move(run));
        }
}

void TextPreview::reshape()
{
    const ShapeOptions shaping = options();
    const std::string utf8 = text_->text().toStdString();
    for (Row& row : rows_)
        shapeRow(row, shaping, utf8);
    traceStale_ = true;
    showRows();
    traceLater();
}

// The glyph list at once; the trace now for a short text, else once the
// changes pause: tracing a few thousand characters takes a good part of a second.
void TextPreview::traceLater()
{
    constexpr int ShortText = 100; // characters
    if (text_->text().size() <= ShortText) {
        showSelected();
        return;
    }
    const Row& row = rows_[std::size_t(selectedRow())];
    glyphs_->setGlyphs(row.glyphs, row.drawing);
    if (tabs_->currentWidget() == trace_)
        traceTimer_->start();
}

void TextPreview::showRows()
{
    std::vector<DrawnRow> drawn;
    for (const Row& row : rows_)
        drawn.push_back({rowLabel(row), row.glyphs, row.drawing});
    const TextDirection direction = TextDirection(direction_->currentData().toInt());
    const bool vertical = direction == TextDirection::TopToBottom || direction == TextDirection::BottomToTop;
    canvas_->setRows(std::move(drawn), waterfall_->isChecked() ? Sizes : std::vector<int>{size_->value()}, vertical);
    canvas_->setSelectedRow(selectedRow());
}

// The glyph list at once; the trace, which costs more, only while it shows.
void TextPreview::showSelected()
{
    const Row& row = rows_[std::size_t(selectedRow())];
    glyphs_->setGlyphs(row.glyphs, row.drawing);
    if (tabs_->currentWidget() != trace_ || !traceStale_)
        return;
    traceStale_ = false;
    traceTimer_->stop();
    showTraceOf(row);
}

// Text of both directions is shaped run by run: the trace is of one run, in
// its own direction, as the row drew it.
void TextPreview::showTraceOf(const Row& row)
{
    const QList<uint> characters = text_->text().toUcs4();
    QStringList runNames;
    for (const ShapedRun& run : row.runs) {
        const QString part = QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()) + run.start,
                                               std::min<qsizetype>(run.length, characters.size() - run.start));
        runNames << QString("%1 (%2)").arg(part.left(24), run.rightToLeft ? "right to left" : "left to right");
    }
    traceRun_ = std::clamp(traceRun_, 0, std::max(0, int(row.runs.size()) - 1));
    trace_->setRuns(runNames, traceRun_);

    std::optional<ShapeResult> shaped;
    ShapeOptions shaping = options();
    std::string text = text_->text().toStdString();
    if (row.runs.size() > 1) {
        const ShapedRun& run = row.runs[std::size_t(traceRun_)];
        text = QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()) + run.start, run.length)
                   .toStdString();
        shaping.direction = run.rightToLeft ? TextDirection::RightToLeft : TextDirection::LeftToRight;
    }
    if (row.font)
        shaped = Shape(row.font->FontBytes, row.font->Face, row.location, text, shaping, true);
    if (!shaped)
        shaped = ShapeResult{};
    trace_->setTrace(std::move(shaped->trace), shaped->traceCut, shaped->direction == TextDirection::RightToLeft,
                     row.drawing);
}

void TextPreview::showTrace() { tabs_->setCurrentWidget(trace_); }

void TextPreview::highlightLookup(bool gpos, int lookupIndex) { trace_->highlightLookup(gpos, lookupIndex); }

void TextPreview::rowClicked(int row, int glyph)
{
    if (row == 0) {
        emit glyphClicked(glyph);
        return;
    }
    const Row& clicked = rows_[std::size_t(row)];
    emit rowGlyphClicked(clicked.font->FontFileName, clicked.font->Face, clicked.user, glyph);
}
