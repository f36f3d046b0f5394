#include "ui/main/library_views.h"

#include <QAction>
#include <QMenu>

#include "ui/dialogs/font_details.h"
#include "ui/main/frmmain.h"
#include "ui/pixels/pixel_view.h"
#include "ui/text/text_preview.h"

LibraryViews::LibraryViews(frmmain* window, QMenu* viewMenu, QMenu* helpMenu, QAction* saveAction, FontOf font)
    : QObject(window), window_(window), font_(std::move(font))
{
    pixels_ = new PixelView(window);
    pixels_->setWindowFlag(Qt::Window); // a window of its own beside the main one
    // Ctrl+S and the right-click menu there save the pixel view.
    pixels_->addAction(saveAction);
    pixels_->setContextMenuPolicy(Qt::ActionsContextMenu);
    text_ = new TextPreview(window);
    // Floating at first: docked, it would squeeze the main window's fixed layout.
    window->addDockWidget(Qt::BottomDockWidgetArea, text_);
    text_->setFloating(true);
    text_->resize(900, 620);
    text_->hide();

    QAction* const firstOption = viewMenu->actions().value(2); // after Overview and its separator
    QAction* pixels = new QAction("Pixels", viewMenu);
    pixels->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    QAction* text = text_->toggleViewAction();
    text->setText("Text");
    text->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    viewMenu->insertActions(firstOption, {pixels, text});
    viewMenu->insertSeparator(firstOption);
    QAction* details = new QAction("Font Details...", helpMenu);
    helpMenu->insertAction(helpMenu->actions().value(0), details);

    connect(pixels, &QAction::triggered, this, &LibraryViews::showPixels);
    connect(details, &QAction::triggered, this, &LibraryViews::showFontDetails);
    connect(text_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            follow(glyph_);
    });
    connect(window, &frmmain::glyphChanged, this, &LibraryViews::follow);
    connect(text_, &TextPreview::glyphClicked, window, &frmmain::showGlyphNumber);
}

bool LibraryViews::pixelViewActive() const { return pixels_->isVisible() && pixels_->isActiveWindow(); }

QImage LibraryViews::pixelPicture() const { return pixels_->picture(); }

void LibraryViews::showPixels()
{
    pixels_->show();
    pixels_->raise();
    pixels_->activateWindow();
    follow(glyph_);
}

void LibraryViews::showFontDetails() { ShowFontDetails(window_, *font_()); }

// The views that are open follow at once; the others when they open.
void LibraryViews::follow(int glyph)
{
    glyph_ = glyph;
    const std::shared_ptr<const FontState> font = font_();
    const Location& location = window_->session().location();
    if (pixels_->isVisible())
        pixels_->showGlyph(font, glyph, location);
    if (text_->isVisible())
        text_->setFont(font, location);
}
