#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTimer>

#include "platform/shell.h"
#include "platform/widgets/toolkit.h"
#include "ui/main/frmmain.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Lumaro");
    QApplication::setApplicationVersion("0.14a");

    QCommandLineParser parser;
    parser.setApplicationDescription("Shows the glyph outlines of a font file.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("FONT", "The font file to open at start: TrueType or OpenType, a collection, WOFF or WOFF2.", "[FONT]");
    const QCommandLineOption overview("overview", "Show the glyph overview of FONT as well.");
    parser.addOption(overview);
    parser.process(app);

    QtToolkit toolkit;
    ShellOpener shell;
    frmmain window(toolkit, shell);
    toolkit.setOwner(&window);
    window.show();

    const QStringList fonts = parser.positionalArguments();
    const bool withOverview = parser.isSet(overview);
    if (!fonts.isEmpty() || withOverview) {
        // Opened once the window is up: the load may show message boxes.
        const std::string path = fonts.isEmpty() ? std::string() : QFile::encodeName(fonts.first()).toStdString();
        QTimer::singleShot(0, &window, [&window, path, withOverview] {
            if (!path.empty())
                window.OpenFontFile(path);
            if (withOverview)
                window.showOverview();
        });
    }

    return app.exec();
}
