#include "ui/main/face_picker.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include "ui/main/form_layout.h"

FacePicker::FacePicker(QWidget* parent) : QWidget(parent), list_(new QComboBox(this))
{
    auto* caption = new QLabel("Face:", this);
    caption->setGeometry(twips(0, 30, 495, 255));
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setFont(formFont(8.25));
    list_->setObjectName("facePickerList");
    list_->setGeometry(twips(540, 0, 2595, 315));
    list_->setFont(formFont(8.25));
    connect(list_, &QComboBox::activated, this, [this](int face) {
        if (face != shown_)
            emit faceChosen(face); // an open that succeeds shows the faces again
        const QSignalBlocker quiet(list_);
        list_->setCurrentIndex(shown_);
    });
    hide();
}

void FacePicker::showFaces(const QStringList& names, int shown)
{
    const QSignalBlocker quiet(list_);
    list_->clear();
    list_->addItems(names);
    shown_ = shown;
    list_->setCurrentIndex(shown);
    setVisible(names.size() > 1);
}
