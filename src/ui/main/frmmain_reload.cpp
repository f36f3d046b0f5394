#include "ui/main/frmmain.h"

#include <QApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStatusBar>
#include <QTimer>

#include "platform/paths.h"
#include "ui/main/glyph_canvas.h"

// File > Reload, and the same when the open file changes on disk: a designer
// rebuilding the font sees each build without opening it again.

namespace {

// A build writes its file in several steps; the reload waits for them to pause.
constexpr int ReloadPauseMs = 300;

} // namespace

void frmmain::createReload()
{
    watcher_ = new QFileSystemWatcher(this);
    reloadLater_ = new QTimer(this);
    reloadLater_->setSingleShot(true);
    reloadLater_->setInterval(ReloadPauseMs);
    connect(reloadLater_, &QTimer::timeout, this, [this] {
        // Not from inside a message box another open or drawing raised: once it has closed.
        if (QApplication::activeModalWidget() || reloading_ != Reloading::No)
            reloadLater_->start();
        else
            reloadFont(Reloading::OnChange);
    });
    connect(watcher_, &QFileSystemWatcher::fileChanged, reloadLater_, qOverload<>(&QTimer::start));
    // An editor that saves by renaming a new file over the old one ends the
    // file's watch; the folder's watch sees the new file arrive.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        const QString file = watchedFile();
        if (QFileInfo::exists(file) && !watcher_->files().contains(file))
            reloadLater_->start();
    });
    connect(mnuReload, &QAction::triggered, this, [this] { reloadFont(Reloading::Asked); });
}

QString frmmain::watchedFile() const
{
    return font().Loaded ? QFileInfo(fromPath(font().FontFileName)).absoluteFilePath() : QString();
}

// The open font's file and its folder, and nothing else.
void frmmain::watchFontFile()
{
    const QString file = watchedFile();
    const QString folder = QFileInfo(file).absolutePath();
    const QStringList watched = watcher_->files() + watcher_->directories();
    for (const QString& path : watched)
        if (path != file && path != folder)
            watcher_->removePath(path);
    for (const QString& path : {folder, file})
        if (!file.isEmpty() && QFileInfo::exists(path) && !watched.contains(path))
            watcher_->addPath(path);
}

// Opens the file again at the face, glyph and zoom shown; the location comes
// back with the font, as every open of the file remembers it. A file that
// does not open (half written, say) leaves the font as it was, and the status
// bar says why; a reload on change shows no message box.
void frmmain::reloadFont(Reloading how)
{
    if (!font().Loaded)
        return;
    watchFontFile(); // again, should a rename have ended the file's watch
    const std::shared_ptr<const FontState> before = session_.font();
    const int glyph = session_.CurrentGlyph();
    const std::pair<double, QPointF> zoom = Picture1->zoomAndPan();
    reloading_ = how;
    OpenFontFile(before->FontFileName, session_.faceIndex());
    if (session_.font() != before) {
        if (session_.CurrentGlyph() != glyph)
            session_.showGlyph(glyph);
        if (session_.CurrentGlyph() == glyph)
            Picture1->setZoomAndPan(zoom);
        StatusBar1->showMessage("Reloaded " + openedText());
    }
    reloading_ = Reloading::No;
}
