#pragma once
#include <string>

#include <QString>

#include "sfnt/failure.h"

class QMenu;
class QWidget;

// What a file dialog is prepared with before it is shown.
struct CommonDialog {
    std::string DialogTitle;
    std::string Filter;  // description and pattern pairs joined by "|"
    std::string InitDir; // the folder the dialog starts in
    std::string FileName{}; // the name the save dialog suggests in InitDir
    int FilterIndex = 1;    // 1-based: the filter shown first; the save dialog sets the one chosen
};

// The modal parts of the toolkit: message boxes, file dialogs and the popup
// menu. The window goes through this interface so tests can answer for the user.
class Toolkit {
public:
    virtual ~Toolkit() = default;
    // OK-only box titled with the program's name; CR LF starts a new line.
    virtual void MsgBox(const std::string& text) = 0;
    // The boxes of every report, one after the other.
    void ShowReports(const Reports& reports);
    // true when nothing is at path yet, or the user lets it be overwritten.
    bool ConfirmOverwrite(const std::string& path);
    // Yes and No buttons with a question icon; true for Yes.
    virtual bool MsgBoxYesNo(const std::string& text, const std::string& title) = 0;
    // The chosen full path, or "" when the user cancelled.
    virtual std::string ShowOpen(const CommonDialog& dialog) = 0;
    // The chosen full path as typed (no extension added, no overwrite question), or "" on cancel;
    // dialog.FilterIndex becomes the filter chosen.
    virtual std::string ShowSave(CommonDialog& dialog) = 0;
    // Opens the menu at the mouse and returns when it has closed.
    virtual void PopupMenu(QMenu* menu) = 0;
};

// The toolkit as Qt Widgets show it; dialogs are owned by `owner`.
class QtToolkit : public Toolkit {
public:
    explicit QtToolkit(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    void MsgBox(const std::string& text) override;
    bool MsgBoxYesNo(const std::string& text, const std::string& title) override;
    std::string ShowOpen(const CommonDialog& dialog) override;
    std::string ShowSave(CommonDialog& dialog) override;
    void PopupMenu(QMenu* menu) override;

private:
    QWidget* owner_;
};

// "desc|pattern|desc|pattern" as a Qt name filter ("desc (pattern);;..."); the
// pattern "*.*" means every file, as it does in such filters.
QString QtFilter(const std::string& filter);

// The program's own folder, without a final separator.
std::string AppPath();

// The current folder.
std::string CurDir();
