#include "ui/dialogs/frmInfo.h"

#include <QGuiApplication>
#include <QGroupBox>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>

#include "ui/main/form_layout.h"
#include "ui/dialogs/frmInfoDialog.h"

frmInfo::frmInfo(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("TTF Info");
    setFont(formFont(8.25));
    setFixedSize(twips(0, 0, 10425, 8550).size());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);

    Frame1 = new QGroupBox(" Records ", this);
    Frame1->setGeometry(twips(240, 120, 9855, 7575));
    Frame1->setFont(formFont(8.25, true));

    // A table may claim 65 535 records: the list holds their lines as plain
    // strings, all of one height, rather than an item widget for each.
    Lines = new QStringListModel(this);
    List1 = new QListView(Frame1);
    List1->setModel(Lines);
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setGeometry(twips(240, 360, 9375, 2160));
    QFont mono(QStringLiteral("DejaVu Sans Mono"), 9);
    mono.setUnderline(false); // not the frame caption's underline
    List1->setFont(mono);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);

    Text1 = new QPlainTextEdit(Frame1);
    Text1->setGeometry(twips(240, 3000, 9375, 4215));
    Text1->setFont(formFont(9.75));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    cmdOK = new QPushButton("OK", this);
    cmdOK->setGeometry(twips(4440, 7920, 1455, 375));
    cmdOK->setDefault(true);

    setTabOrder(Text1, List1);
    setTabOrder(List1, cmdOK);

    // Mouse and keyboard both change the selection.
    connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmInfo::List1_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmInfo::cmdOK_Click);
}

void frmInfo::Fill(const FontState& font, NameTable table)
{
    Font = &font;
    Table = std::move(table);
    QStringList lines;
    lines.reserve(qsizetype(Table.Lines.size()));
    for (const std::string& line : Table.Lines)
        lines << QString::fromStdString(line);
    Lines->setStringList(lines);
}

int frmInfo::ListIndex() const
{
    const QModelIndexList selected = List1->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void frmInfo::List1_Click()
{
    const int k = ListIndex();
    const bool shown = Font != nullptr && k >= 0;
    Text1->setPlainText(shown ? QString::fromStdString(NameText(*Font, Table, std::size_t(k))) : QString());
}

void frmInfo::cmdOK_Click()
{
    done(QDialog::Accepted);
}

void frmInfo::reject()
{
    cmdOK_Click();
}

Reports ShowFontInfo(QWidget* owner, const FontState& font)
{
    NameTable table;
    // No font or no naming table: no dialog.
    if (MaybeFailure failure = ReadNameTable(font, table))
        return {std::move(*failure)};

    frmInfo dialog(owner);
    dialog.Fill(font, std::move(table));
    // Centred on the screen, not on the owner.
    if (QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = dialog.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        dialog.move(frame.topLeft());
    }
    dialog.exec();
    return {};
}
