#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class ShellOpener;

// " About Lumaro": name, version, copyright and the two links, which are
// underlined while the pointer is over them and opened through the shell.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(ShellOpener& shell, QWidget* parent = nullptr);

    static const QString WebAddress;  // shown by Label9
    static const QString MailAddress; // shown by Label10

    QFrame* Frame1;
    QLabel* Picture1;
    QLabel* Label8;
    QLabel* Label3;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label9;
    QLabel* Label6;
    QLabel* Label10;
    QPushButton* cmdOK;

    void Label9_MouseMove();
    void Label10_MouseMove();
    void Form_MouseMove();
    void Frame1_MouseMove();
    void Label9_Click();
    void Label10_Click();

public slots:
    void cmdOK_Click();
    void reject() override; // Esc and the close box

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void openLink(const QString& target);
    ShellOpener& shell_;
};
