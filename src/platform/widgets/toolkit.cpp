#include "platform/widgets/toolkit.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include "platform/paths.h"
#include "report/messages.h"

namespace {

QString boxText(const std::string& text)
{
    return QString::fromStdString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

void Toolkit::ShowReports(const Reports& reports)
{
    for (const std::string& box : MessageBoxes(reports))
        MsgBox(box);
}

bool Toolkit::ConfirmOverwrite(const std::string& path)
{
    const QFileInfo chosen(fromPath(path));
    if (!chosen.exists() && !chosen.isSymLink())
        return true;
    return MsgBoxYesNo(chosen.fileName().toStdString() + " already exists, overwrite?", "Confirmation");
}

void QtToolkit::MsgBox(const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), boxText(text), QMessageBox::Ok, owner_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtToolkit::MsgBoxYesNo(const std::string& text, const std::string& title)
{
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), boxText(text),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

std::string QtToolkit::ShowOpen(const CommonDialog& dialog)
{
    return toPath(QFileDialog::getOpenFileName(owner_, QString::fromStdString(dialog.DialogTitle),
                                               fromPath(dialog.InitDir), QtFilter(dialog.Filter)));
}

std::string QtToolkit::ShowSave(CommonDialog& dialog)
{
    const QStringList filters = QtFilter(dialog.Filter).split(QLatin1String(";;"));
    QString chosenFilter = filters.value(dialog.FilterIndex - 1);
    const QString start = QDir(fromPath(dialog.InitDir)).filePath(fromPath(dialog.FileName));
    // The caller asks its own overwrite question.
    const QString chosen = QFileDialog::getSaveFileName(owner_, QString::fromStdString(dialog.DialogTitle), start,
                                                        QtFilter(dialog.Filter), &chosenFilter,
                                                        QFileDialog::DontConfirmOverwrite);
    if (const qsizetype i = filters.indexOf(chosenFilter); i >= 0)
        dialog.FilterIndex = int(i) + 1;
    return toPath(chosen);
}

void QtToolkit::PopupMenu(QMenu* menu)
{
    menu->exec(QCursor::pos());
}

QString QtFilter(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt takes the patterns from the parentheses at the end of the description.
        const QString suffix = QLatin1String(" (") + patterns + QLatin1Char(')');
        if (description.endsWith(suffix))
            description.chop(suffix.size());
        QStringList list = patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString& p : list) {
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        filters << description + QLatin1String(" (") + list.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QLatin1String(";;"));
}

std::string AppPath()
{
    return toPath(QCoreApplication::applicationDirPath());
}

std::string CurDir()
{
    return toPath(QDir::currentPath());
}
