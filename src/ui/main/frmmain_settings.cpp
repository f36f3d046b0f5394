#include "ui/main/frmmain.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>

#include "platform/paths.h"
#include "platform/widgets/toolkit.h"
#include "ui/main/form_layout.h"

// What the window remembers between runs: its place, the view controls, the
// checkable view options, the recent fonts and the last folder.

// Where the window was last, or centred on its screen the first time; kept on
// a screen either way, its top-left corner first when the screen is too small.
void frmmain::placeWindow()
{
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens << s->availableGeometry();
    // Never larger than the screen it opens on, whatever the scale factor.
    if (const QScreen* where = screen()) {
        const QSize room = where->availableGeometry().size() - QSize(16, 48); // the window manager's frame
        if (width() > room.width() || height() > room.height())
            resize(size().boundedTo(room));
    }
    QRect frame = frameGeometry();
    if (const std::optional<QPoint> saved = settings_.windowPosition())
        frame.moveTopLeft(*saved);
    else if (const QScreen* where = screen())
        frame.moveCenter(where->availableGeometry().center());
    move(keptOnScreen(frame, screens));
}

void frmmain::restoreSettings()
{
    const Settings::ViewControls controls = settings_.viewControls();
    {
        const QSignalBlocker scale(Slider1), offset(Slider2), marks(Check1);
        Slider1->setValue(controls.scale);
        Slider2->setValue(controls.offset);
        Check1->setChecked(controls.startMarks);
    }
    session_.restoreView(controls.scale, controls.offset, controls.startMarks);
    rememberViewOptions();
    fillRecentFonts();
}

void frmmain::saveSettings()
{
    settings_.setViewControls({Slider1->value(), Slider2->value(), Check1->isChecked()});
    settings_.setWindowPosition(pos());
}

// Every checkable menu command with an object name keeps its state between runs.
void frmmain::rememberViewOptions()
{
    QList<QAction*> pending = menuBar()->actions();
    while (!pending.isEmpty()) {
        QAction* action = pending.takeFirst();
        if (const QMenu* menu = action->menu()) {
            pending += menu->actions();
            continue;
        }
        if (!action->isCheckable() || action->objectName().isEmpty())
            continue;
        action->setChecked(settings_.viewOption(action->objectName(), action->isChecked()));
        connect(action, &QAction::toggled, this, [this, action](bool on) {
            settings_.setViewOption(action->objectName(), on);
        });
    }
}

void frmmain::rememberFont(const std::string& FontFileName)
{
    settings_.addRecentFont(QFileInfo(fromPath(FontFileName)).absoluteFilePath(), session_.faceIndex());
    fillRecentFonts();
}

// File > Recent Fonts, newest first; fonts whose files have gone are dropped
// and named in the status bar.
void frmmain::fillRecentFonts()
{
    if (const QStringList missing = settings_.dropMissingFonts(); !missing.isEmpty()) {
        QStringList names;
        for (const QString& path : missing)
            names << QFileInfo(path).fileName();
        StatusBar1->showMessage("Removed from Recent Fonts, no longer found: " + names.join(QLatin1String(", ")));
    }
    recentFonts_->clear();
    const QStringList fonts = settings_.recentFonts();
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        QString caption = QDir::toNativeSeparators(fonts[i]);
        caption.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* entry = recentFonts_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(caption));
        connect(entry, &QAction::triggered, this, [this, path = fonts[i]] { openRecentFont(path); });
    }
    recentFonts_->setEnabled(!fonts.isEmpty());
}

void frmmain::openRecentFont(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        fillRecentFonts(); // drops it and says so
        return;
    }
    OpenFontFile(toPath(path), settings_.recentFontFace(path));
}

// The folder the file dialogs start in: the last one used while it exists.
std::string frmmain::startFolder() const
{
    const QString folder = settings_.lastFolder();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? toPath(folder) : CurDir();
}
