#pragma once
#include <memory>

#include <QImage>
#include <QWidget>

#include "sfnt/location.h"
#include "tables/font_state.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class QSpinBox;
struct PixelRequest;

// View > "Pixels": the glyph shown in the main window as FreeType renders it
// at a size in pixels per em, with a hinting choice, grey or monochrome, over
// the pixel grid with the hinted outline and its points and the unhinted one.
class PixelView : public QWidget {
    Q_OBJECT
public:
    explicit PixelView(QWidget* parent = nullptr);

    // Follows the main window: the face, its location and the glyph shown.
    void showGlyph(std::shared_ptr<const FontState> font, int glyph, const Location& location);
    // What the view shows, for Save Picture As.
    QImage picture() const { return picture_; }
    // The size, hinting and pixels chosen, for the glyph shown.
    PixelRequest request() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void render();
    void setPpem(int ppem);

    QSlider* ppemSlider_ = nullptr;
    QSpinBox* ppemField_ = nullptr;
    QComboBox* hinting_ = nullptr;
    QCheckBox* mono_ = nullptr;
    QCheckBox* grid_ = nullptr;
    QCheckBox* outlines_ = nullptr;
    QLabel* advance_ = nullptr;
    QLabel* canvas_ = nullptr;

    std::shared_ptr<const FontState> font_;
    int glyph_ = -1;
    Location location_;
    QImage picture_;
};
