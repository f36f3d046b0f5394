#pragma once
#include <QImage>
#include <QObject>
#include <string>
#include <vector>

#include "sfnt/fixed.h"

class PixelView;
class QAction;
class QMainWindow;
class QMenu;
class SessionSignals;
class TextPreview;

// The views the field's libraries draw, beside the main window: View >
// "Pixels" (FreeType), View > "Text" (HarfBuzz) and Help > "Font Details...".
// They follow the session's glyph and location; a click on a glyph of the
// text shows that glyph.
class LibraryViews : public QObject {
    Q_OBJECT
public:
    // The menus' commands go into viewMenu and helpMenu; the pixel view saves through saveAction.
    LibraryViews(QMainWindow* window, const QWidget* canvas, SessionSignals& session, QMenu* viewMenu,
                 QMenu* helpMenu, QAction* saveAction);

    // Whether Save Picture As saves the pixel view: it is the active window.
    bool pixelViewActive() const;
    QImage pixelPicture() const;

    void showPixels();
    void showFontDetails();

private:
    void follow();
    void showRowGlyph(const std::string& path, int face, const std::vector<Fixed>& user, int glyph);

    QMainWindow* window_;
    SessionSignals& session_;
    PixelView* pixels_ = nullptr;
    TextPreview* text_ = nullptr;
};
