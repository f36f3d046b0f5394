#pragma once
class QWidget;
class ShellOpener;

// Help > "About...": the modal " About Lumaro" dialog; its links go to shell.
void ShowAbout(QWidget* owner, ShellOpener& shell);
