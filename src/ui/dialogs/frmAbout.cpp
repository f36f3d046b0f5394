#include "ui/dialogs/frmAbout.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "platform/shell.h"
#include "platform/widgets/toolkit.h"
#include "ui/main/form_layout.h"
#include "ui/dialogs/frmAboutDialog.h"

const QString frmAbout::WebAddress = QStringLiteral("http://lumaro.example");
const QString frmAbout::MailAddress = QStringLiteral("lumaro@example.org");

namespace {

QLabel* label(const QString& caption, QWidget* parent, const QRect& geometry, const QFont& font = formFont(8.25),
             Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* l = new QLabel(caption, parent);
    l->setGeometry(geometry);
    l->setFont(font);
    l->setAlignment(alignment);
    fitCaption(l, l->text());
    return l;
}

void setUnderline(QLabel* l, bool on)
{
    QFont f = l->font();
    if (f.underline() == on)
        return;
    f.setUnderline(on);
    l->setFont(f);
}

} // namespace

frmAbout::frmAbout(ShellOpener& shell, QWidget* parent) : QDialog(parent), shell_(shell)
{
    setWindowTitle(" About Lumaro");
    setFont(formFont(8.25));
    setFixedSize(twips(0, 0, 4110, 3705).size());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setMouseTracking(true);

    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFrameShadow(QFrame::Sunken);
    Frame1->setGeometry(twips(240, 120, 3615, 2655));
    Frame1->setMouseTracking(true);

    Picture1 = new QLabel(Frame1);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/lumaro.png"))); // the program's 32 x 32 icon
    Picture1->setGeometry(twips(480, 240, 480, 480));

    Label8 = label("Lumaro", Frame1, twips(1200, 240, 1695, 495), formFont(24));
    Label3 = label("0.14 Beta", Frame1, twips(1320, 840, 735, 255));
    Label1 = label(QString::fromUtf8("\u00A9 2026 Lumaro developers"), Frame1, twips(720, 1320, 2175, 255), formFont(9.75));
    Label2 = label("Website:", Frame1, twips(240, 1800, 615, 255));
    Label9 = label(WebAddress, Frame1, twips(960, 1800, 2415, 255));
    Label6 = label("Email:", Frame1, twips(360, 2040, 495, 255), formFont(8.25), Qt::AlignRight | Qt::AlignVCenter);
    Label10 = label(MailAddress, Frame1, twips(960, 2040, 1335, 255));

    for (QLabel* link : {Label9, Label10}) {
        QPalette pal = link->palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 192));
        link->setPalette(pal);
        link->setCursor(Qt::PointingHandCursor);
        link->setMouseTracking(true);
        link->installEventFilter(this);
    }
    Frame1->installEventFilter(this);

    cmdOK = new QPushButton("OK", this);
    cmdOK->setGeometry(twips(1320, 3120, 1455, 375));
    cmdOK->setDefault(true);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::Label9_MouseMove()
{
    setUnderline(Label9, true);
    setUnderline(Label10, false);
}

void frmAbout::Label10_MouseMove()
{
    setUnderline(Label10, true);
    setUnderline(Label9, false);
}

void frmAbout::Form_MouseMove()
{
    setUnderline(Label9, false);
    setUnderline(Label10, false);
}

void frmAbout::Frame1_MouseMove()
{
    setUnderline(Label9, false);
    setUnderline(Label10, false);
}

void frmAbout::Label9_Click()
{
    openLink(WebAddress + "/lumaro.html");
    setUnderline(Label9, false);
}

void frmAbout::Label10_Click()
{
    openLink("mailto:" + MailAddress);
    setUnderline(Label10, false);
}

void frmAbout::openLink(const QString& target)
{
    shell_.ShellExecute(this, "open", target, "", QString::fromStdString(AppPath()), 0);
}

void frmAbout::cmdOK_Click()
{
    done(QDialog::Accepted);
}

void frmAbout::reject()
{
    cmdOK_Click();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == Label9) {
            Label9_MouseMove();
            return true;
        }
        if (watched == Label10) {
            Label10_MouseMove();
            return true;
        }
        // Moves over the frame's other controls reach the frame too; only its
        // own surface counts.
        if (watched == Frame1) {
            auto* move = static_cast<QMouseEvent*>(event);
            if (!Frame1->childAt(move->position().toPoint())) {
                Frame1_MouseMove();
                return true;
            }
        }
    } else if (event->type() == QEvent::MouseButtonPress && (watched == Label9 || watched == Label10)) {
        return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease && (watched == Label9 || watched == Label10)) {
        // A click: pressed and released over the same link.
        auto* release = static_cast<QMouseEvent*>(event);
        auto* link = static_cast<QLabel*>(watched);
        if (release->button() == Qt::LeftButton && link->rect().contains(release->position().toPoint())) {
            if (link == Label9)
                Label9_Click();
            else
                Label10_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::mouseMoveEvent(QMouseEvent* event)
{
    if (!childAt(event->position().toPoint()))
        Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

void ShowAbout(QWidget* owner, ShellOpener& shell)
{
    frmAbout dialog(shell, owner);
    // Centred on the main window (QDialog's own placement for a parented dialog).
    dialog.exec();
}
