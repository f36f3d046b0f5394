#pragma once
#include <QGuiApplication>

// Tests that print text or decode images need a QGuiApplication; the first
// caller makes one (offscreen unless QT_QPA_PLATFORM says otherwise) and it
// lives until the process ends.
inline void ensureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "lumaro_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}
