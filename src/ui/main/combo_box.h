#pragma once
#include <QComboBox>
#include <QStringList>

// A drop-down list with the habits the window relies on: Clear and AddItem
// raise no Click, a filled list has no selection until ListIndex is set,
// setting ListIndex from code raises Click as a user's choice does, and so
// does choosing the entry that is already selected.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(QWidget* parent = nullptr);

    int ListIndex() const { return currentIndex(); }
    void SetListIndex(int index) { setCurrentIndex(index); }
    int ListCount() const { return count(); }
    void Clear();
    void AddItems(const QStringList& items);

    void showPopup() override;

signals:
    void Click();

private:
    int popupIndex_ = -1; // the selection when the list was opened
};
