#pragma once
#include <functional>
#include <memory>

#include <QImage>
#include <QObject>

#include "tables/font_state.h"

class frmmain;
class PixelView;
class QAction;
class QMenu;
class TextPreview;

// The views the field's libraries draw, beside the main window: View >
// "Pixels" (FreeType), View > "Text" (HarfBuzz) and Help > "Font Details...".
// They follow the glyph the main window shows; a click on a glyph of the
// text shows that glyph there.
class LibraryViews : public QObject {
    Q_OBJECT
public:
    using FontOf = std::function<std::shared_ptr<const FontState>()>;
    LibraryViews(frmmain* window, QMenu* viewMenu, QMenu* helpMenu, QAction* saveAction, FontOf font);

    // Whether Save Picture As saves the pixel view: it is the active window.
    bool pixelViewActive() const;
    QImage pixelPicture() const;
    PixelView* pixelView() const { return pixels_; }
    TextPreview* textPreview() const { return text_; }

    void showPixels();
    void showFontDetails();

private:
    void follow(int glyph);

    frmmain* window_;
    FontOf font_;
    PixelView* pixels_ = nullptr;
    TextPreview* text_ = nullptr;
    int glyph_ = -1;
};
