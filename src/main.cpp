#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTimer>

#include "platform/shell.h"
#include "platform/toolkit.h"
#include "ui/frmmain.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Lumaro");
    QApplication::setApplicationVersion("0.14a");

    QCommandLineParser parser;
    parser.setApplicationDescription("Shows the glyph outlines of a TrueType font.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("FONT", "The .ttf file to open at start.", "[FONT]");
    parser.process(app);

    QtToolkit toolkit;
    ShellOpener shell;
    frmmain window(toolkit, shell);
    toolkit.setOwner(&window);
    window.show();

    const QStringList fonts = parser.positionalArguments();
    if (!fonts.isEmpty()) {
        // Opened once the window is up: the load may show message boxes.
        const std::string path = QFile::encodeName(fonts.first()).toStdString();
        QTimer::singleShot(0, &window, [&window, path] { window.OpenFontFile(path); });
    }

    return app.exec();
}
