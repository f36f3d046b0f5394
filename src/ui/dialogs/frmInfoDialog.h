#pragma once
#include <QDialog>

#include "tables/names.h"

class QGroupBox;
class QListView;
class QStringListModel;
class QPlainTextEdit;
class QPushButton;

// "TTF Info": the naming table's list lines, and the record text of the
// selected line. Enter and Esc both act as OK.
class frmInfo : public QDialog {
    Q_OBJECT
public:
    explicit frmInfo(QWidget* parent = nullptr);

    // Shows every list line of table (in record order); a record's text is
    // decoded from font when its line is selected. font must outlive the dialog.
    void Fill(const FontState& font, NameTable table);

    QGroupBox* Frame1;
    QListView* List1;
    QPlainTextEdit* Text1;
    QPushButton* cmdOK;

    // The selected line, -1 for none.
    int ListIndex() const;

public slots:
    void List1_Click();
    void cmdOK_Click();
    void reject() override; // Esc and the close box

private:
    const FontState* Font = nullptr;
    NameTable Table; // records of the lines, in order; texts decoded on selection
    QStringListModel* Lines;
};
