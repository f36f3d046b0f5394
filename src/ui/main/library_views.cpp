#include "ui/main/library_views.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

#include "ui/dialogs/font_details.h"
#include "ui/pixels/pixel_view.h"
#include "ui/satellite_window.h"
#include "ui/session_signals.h"
#include "ui/text/text_preview.h"

LibraryViews::LibraryViews(QMainWindow* window, const QWidget* canvas, SessionSignals& session, QMenu* viewMenu,
                           QMenu* helpMenu, QAction* saveAction)
    : QObject(window), window_(window), session_(session)
{
    pixels_ = new PixelView(window);
    pixels_->setObjectName("pixelView");
    pixels_->setWindowFlag(Qt::Window); // a window of its own beside the main one
    makeSatellite(pixels_, window, canvas);
    // Ctrl+S and the right-click menu there save the pixel view.
    pixels_->addAction(saveAction);
    pixels_->setContextMenuPolicy(Qt::ActionsContextMenu);
    text_ = new TextPreview(window);
    text_->setObjectName("textPreview");
    // Floating at first: docked, it would squeeze the main window's fixed layout.
    window->addDockWidget(Qt::BottomDockWidgetArea, text_);
    text_->setFloating(true);
    text_->resize(1120, 800);
    text_->hide();
    makeSatellite(text_, window, canvas);

    QAction* const firstOption = viewMenu->actions().value(2); // after Overview and its separator
    QAction* pixels = new QAction("Pixels", viewMenu);
    pixels->setObjectName("mnuPixels");
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
            follow();
    });
    connect(&session_, &SessionSignals::glyphShown, this, &LibraryViews::follow);
    connect(&session_, &SessionSignals::locationChanged, this, &LibraryViews::follow);
    connect(text_, &TextPreview::glyphClicked, this, [this](int glyph) { session_.session().showGlyph(glyph); });
    connect(text_, &TextPreview::rowGlyphClicked, this, &LibraryViews::showRowGlyph, Qt::QueuedConnection);
}

bool LibraryViews::pixelViewActive() const { return pixels_->isVisible() && pixels_->isActiveWindow(); }

QImage LibraryViews::pixelPicture() const { return pixels_->picture(); }

void LibraryViews::showPixels()
{
    pixels_->show();
    pixels_->raise();
    pixels_->activateWindow();
    follow();
}

// Font Details stays open beside the text view: a lookup chosen in it marks
// that lookup's steps in the shaping trace.
void LibraryViews::showFontDetails()
{
    const std::shared_ptr<const FontState>& font = session_.session().font();
    if (!font || !font->Loaded)
        return;
    auto* dialog = new FontDetailsDialog(window_, font);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &FontDetailsDialog::lookupSelected, text_, &TextPreview::highlightLookup);
    dialog->show();
}

// A glyph of another row of the text view: its font opened in the main
// window where it is another, at the row's location.
void LibraryViews::showRowGlyph(const std::string& path, int face, const std::vector<Fixed>& user, int glyph)
{
    FontSession& session = session_.session();
    if (session.font()->FontFileName != path || session.faceIndex() != face)
        session.open(path, face);
    if (session.font()->FontFileName != path || session.faceIndex() != face)
        return; // the open failed, and said why
    if (!user.empty())
        session.setLocation(user);
    session.showGlyph(glyph);
}

// The views that are open follow at once; the others when they open.
void LibraryViews::follow()
{
    const FontSession& session = session_.session();
    if (pixels_->isVisible())
        pixels_->showGlyph(session.font(), session.CurrentGlyph(), session.location());
    if (text_->isVisible())
        text_->setFont(session.font(), session.location(), session.userLocation(), session.faceCount());
}
