#include "platform/shell.h"

#include <QDesktopServices>
#include <QUrl>

void ShellOpener::ShellExecute(QWidget* owner, const QString& operation, const QString& file,
                               const QString& parameters, const QString& directory, int showCommand)
{
    lastCall_ = ShellCall{owner, operation, file, parameters, directory, showCommand};
    ++callCount_;
    launch(lastCall_);
}

void ShellOpener::launch(const ShellCall& call)
{
    // Only "open" is ever asked for; the desktop picks the program by the
    // target's scheme. The show command has no meaning here.
    if (call.Operation == QLatin1String("open"))
        QDesktopServices::openUrl(QUrl(call.File));
}
