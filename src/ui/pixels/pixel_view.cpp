#include "ui/pixels/pixel_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/pixel_picture.h"
#include "platform/pixels.h"

namespace {

constexpr int DefaultPpem = 16;

} // namespace

PixelView::PixelView(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("Pixels");
    ppemSlider_ = new QSlider(Qt::Horizontal);
    ppemField_ = new QSpinBox;
    for (auto* control : {static_cast<QWidget*>(ppemSlider_), static_cast<QWidget*>(ppemField_)})
        control->setToolTip("Pixels per em");
    ppemSlider_->setRange(MinPpem, MaxPpem);
    ppemField_->setRange(MinPpem, MaxPpem);
    ppemField_->setSuffix(" ppem");
    hinting_ = new QComboBox;
    hinting_->addItems({"Font's instructions", "Auto-hinter (light)", "No hinting"});
    mono_ = new QCheckBox("Monochrome");
    grid_ = new QCheckBox("Pixel grid");
    grid_->setChecked(true);
    outlines_ = new QCheckBox("Outlines");
    outlines_->setChecked(true);
    advance_ = new QLabel;
    canvas_ = new QLabel;
    canvas_->setMinimumSize(200, 200);
    canvas_->setAlignment(Qt::AlignCenter);
    canvas_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);

    auto* controls = new QHBoxLayout;
    controls->addWidget(ppemSlider_, 1);
    controls->addWidget(ppemField_);
    controls->addWidget(hinting_);
    controls->addWidget(mono_);
    controls->addWidget(grid_);
    controls->addWidget(outlines_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(canvas_, 1);
    layout->addWidget(advance_);
    setPpem(DefaultPpem);

    connect(ppemSlider_, &QSlider::valueChanged, this, &PixelView::setPpem);
    connect(ppemField_, &QSpinBox::valueChanged, this, &PixelView::setPpem);
    connect(hinting_, &QComboBox::currentIndexChanged, this, &PixelView::render);
    for (QCheckBox* box : {mono_, grid_, outlines_})
        connect(box, &QCheckBox::toggled, this, &PixelView::render);
    resize(720, 760);
}

void PixelView::showGlyph(std::shared_ptr<const FontState> font, int glyph, const Location& location)
{
    font_ = std::move(font);
    glyph_ = glyph;
    location_ = location;
    render();
}

PixelRequest PixelView::request() const
{
    static constexpr Hinting byIndex[] = {Hinting::Native, Hinting::Auto, Hinting::None};
    return {glyph_, ppemField_->value(), byIndex[std::max(0, hinting_->currentIndex())], mono_->isChecked()};
}

void PixelView::setPpem(int ppem)
{
    // The slider and the field each set the other; the second call changes nothing.
    if (ppemSlider_->value() != ppem)
        ppemSlider_->setValue(ppem);
    if (ppemField_->value() != ppem)
        ppemField_->setValue(ppem);
    render();
}

void PixelView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    render();
}

void PixelView::render()
{
    picture_ = {};
    if (!font_ || !font_->Loaded || glyph_ < 0 || glyph_ >= font_->NumGlyphs) {
        canvas_->clear();
        advance_->clear();
        return;
    }
    const std::optional<GlyphPixels> pixels = RenderPixels(font_->FontBytes, font_->Face, location_, request());
    if (!pixels) {
        canvas_->setText("FreeType cannot render this glyph");
        advance_->clear();
        return;
    }
    const int side = std::max(16, std::min(canvas_->width(), canvas_->height()));
    picture_ = DrawPixelPicture(*pixels, {side, grid_->isChecked(), outlines_->isChecked()});
    canvas_->setPixmap(QPixmap::fromImage(picture_));
    advance_->setText(QStringLiteral("Glyph %1 at %2 ppem: %3 \u00d7 %4 pixels, advance %5 px")
                          .arg(glyph_)
                          .arg(request().ppem)
                          .arg(pixels->width)
                          .arg(pixels->rows)
                          .arg(pixels->advance));
}
