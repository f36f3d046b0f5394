#pragma once
#include <QString>

class QWidget;

// The arguments of one shell call, in the order the call takes them.
struct ShellCall {
    QWidget* Owner = nullptr;
    QString Operation;  // "open"
    QString File;       // what to open: a web address or a mailto: target
    QString Parameters;
    QString Directory;
    int ShowCommand = 0;
};

// Hands a link to the desktop: the web page to the browser, a mailto: target
// to the mail program. Keeps the last call's arguments.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;

    // Opens File with the desktop's handler. The result is not examined: a link
    // nothing can open fails silently.
    void ShellExecute(QWidget* owner, const QString& operation, const QString& file,
                      const QString& parameters, const QString& directory, int showCommand);

    int CallCount() const { return callCount_; }
    const ShellCall& LastCall() const { return lastCall_; }

protected:
    virtual void launch(const ShellCall& call);

private:
    ShellCall lastCall_;
    int callCount_ = 0;
};

// Records the calls and opens nothing: for tests.
class RecordingShellOpener : public ShellOpener {
protected:
    void launch(const ShellCall&) override {}
};
