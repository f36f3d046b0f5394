#include "ui/text/text_preview.h"

#include <algorithm>

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include "tables/names.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/overview/overview_drawing.h"

namespace {

constexpr int Sizes[] = {8, 10, 12, 14, 16, 18, 24, 32, 48, 64, 96};
constexpr int SampleTextNameId = 19;
constexpr int LabelWidth = 44;
constexpr double LineGap = 1.3; // line pitch per pixel size

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

TextPreview::TextPreview(QWidget* parent) : QDockWidget("Text", parent)
{
    setObjectName("TextPreview");
    auto* body = new QWidget;
    text_ = new QLineEdit;
    text_->setPlaceholderText("Text to preview");
    canvas_ = new WaterfallCanvas;
    auto* scroll = new QScrollArea;
    scroll->setWidget(canvas_);
    scroll->setWidgetResizable(true);
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(text_);
    layout->addWidget(scroll, 1);
    setWidget(body);
    connect(text_, &QLineEdit::textChanged, this, &TextPreview::reshape);
    connect(canvas_, &WaterfallCanvas::glyphClicked, this, &TextPreview::glyphClicked);
}

void TextPreview::setFont(std::shared_ptr<const FontState> font, const Location& location)
{
    const bool newFont = font != font_;
    font_ = std::move(font);
    location_ = location;
    if (newFont && font_ && font_->Loaded)
        text_->setText(SampleText(*font_)); // reshapes
    else
        reshape();
}

QString TextPreview::text() const { return text_->text(); }

void TextPreview::setText(const QString& text) { text_->setText(text); }

void TextPreview::reshape()
{
    std::vector<ShapedGlyph> glyphs;
    if (font_ && font_->Loaded) {
        const std::string utf8 = text_->text().toStdString();
        glyphs = ShapeText(font_->FontBytes, font_->Face, location_, utf8).value_or(std::vector<ShapedGlyph>{});
    }
    canvas_->setLine(font_, location_, std::move(glyphs));
}

WaterfallCanvas::WaterfallCanvas(QWidget* parent) : QWidget(parent)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    int height = 8;
    for (int size : Sizes)
        height += int(size * LineGap) + 4;
    setMinimumHeight(height);
}

WaterfallCanvas::~WaterfallCanvas() = default;

void WaterfallCanvas::setLine(std::shared_ptr<const FontState> font, const Location& location,
                              std::vector<ShapedGlyph> glyphs)
{
    if (font != font_ || location.normalized != location_) {
        paths_.clear();
        pictures_.clear();
        if (font != font_)
            colour_ = font && font->Loaded ? FontColourTables(*font) : nullptr;
        const QColor text = palette().color(QPalette::Text);
        const Rgba foreground{std::uint8_t(text.red()), std::uint8_t(text.green()), std::uint8_t(text.blue()), 255};
        source_ = font && font->Loaded ? std::make_unique<FontGlyphSource>(font, "", location, colour_, foreground) : nullptr;
        font_ = std::move(font);
        location_ = location.normalized;
    }
    glyphs_ = std::move(glyphs);
    int width = 0;
    if (source_) {
        const double scale = double(Sizes[std::size(Sizes) - 1]) / std::max(1, source_->metrics().unitsPerEm);
        for (const ShapedGlyph& g : glyphs_)
            width += g.xAdvance;
        width = int(width * scale);
    }
    setMinimumWidth(LabelWidth + width + 16);
    update();
}

const QPainterPath& WaterfallCanvas::pathOf(int glyph)
{
    auto found = paths_.find(glyph);
    if (found == paths_.end())
        found = paths_.emplace(glyph, glyphPath(source_->shape(glyph))).first;
    return found->second;
}

const ColourRendering& WaterfallCanvas::colourOf(int glyph, int size)
{
    auto found = pictures_.find({glyph, size});
    if (found == pictures_.end())
        found = pictures_.emplace(std::pair(glyph, size), source_->colourPicture(glyph, size, {})).first;
    return found->second;
}

void WaterfallCanvas::paintEvent(QPaintEvent*)
{
    placed_.clear();
    if (!source_)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double unitsPerEm = std::max(1, source_->metrics().unitsPerEm);
    double baseline = 4;
    for (int size : Sizes) {
        baseline += size * LineGap;
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(QPointF(4, baseline), QString::number(size));
        const double scale = size / unitsPerEm;
        double penX = 0, penY = 0;
        for (const ShapedGlyph& g : glyphs_) {
            const QTransform place(scale, 0, 0, -scale, LabelWidth + (penX + g.xOffset) * scale,
                                   baseline - (penY + g.yOffset) * scale);
            if (const ColourRendering& colour = colourOf(g.glyph, size); !colour.image.isNull())
                painter.drawImage(QPointF(place.dx() + colour.left, place.dy() - colour.top), colour.image);
            else
                painter.fillPath(place.map(pathOf(g.glyph)), palette().color(QPalette::Text));
            // The click area: the advance across, the size's line down.
            const double left = LabelWidth + penX * scale;
            placed_.push_back({QRectF(left, baseline - size, std::max(1.0, g.xAdvance * scale), size * LineGap), g.glyph});
            penX += g.xAdvance;
            penY += g.yAdvance;
        }
        baseline += 4;
    }
}

int WaterfallCanvas::glyphAt(QPointF at) const
{
    for (const Placed& p : placed_)
        if (p.box.contains(at))
            return p.glyph;
    return -1;
}

void WaterfallCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        if (const int glyph = glyphAt(event->position()); glyph >= 0)
            emit glyphClicked(glyph);
}
