#pragma once
#include <QWidget>

class QComboBox;

// "Face:" and a collection's faces by their full names, beside the face
// name; hidden for a single font. The face shown stays selected until an
// open of another one succeeds.
class FacePicker : public QWidget {
    Q_OBJECT
public:
    explicit FacePicker(QWidget* parent);

    // The faces' names with face `shown` selected; fewer than two hide the picker.
    void showFaces(const QStringList& names, int shown);
    QComboBox* list() const { return list_; }

signals:
    // The user chose a face other than the one shown.
    void faceChosen(int face);

private:
    QComboBox* list_;
    int shown_ = 0;
};
