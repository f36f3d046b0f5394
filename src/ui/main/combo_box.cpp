#include "ui/main/combo_box.h"

#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent)
{
    // A font may list 65 535 glyphs: plain strings hold them in a fifth of
    // the memory of standard items, and the popup need not measure each one.
    setModel(new QStringListModel(this));
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            emit Click();
    });
    // Choosing the selected entry again changes no index, but it is a choice all the same.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index == popupIndex_)
            emit Click();
        popupIndex_ = -1;
    });
}

void ComboBox::showPopup()
{
    popupIndex_ = currentIndex();
    QComboBox::showPopup();
}

void ComboBox::Clear()
{
    const QSignalBlocker blocker(this);
    clear();
}

void ComboBox::AddItems(const QStringList& items)
{
    const QSignalBlocker blocker(this);
    const int selected = currentIndex(); // -1 in an empty list
    auto* strings = static_cast<QStringListModel*>(model());
    strings->setStringList(strings->stringList() + items);
    setCurrentIndex(selected);
}
