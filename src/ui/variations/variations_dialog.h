#pragma once
#include <vector>

#include <QDialog>

#include "sfnt/fixed.h"
#include "tables/fvar.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSlider;

// View > "Variations": one slider and one number field per axis of a
// variable font, labelled with the axis name and tag and showing its
// minimum, default and maximum; a named-instance picker; "Default".
class VariationsDialog : public QDialog {
    Q_OBJECT
public:
    explicit VariationsDialog(QWidget* parent = nullptr);

    // The rows of a font's axes (none: not a variable font) at user values `user`.
    void setAxes(const FontVariations& variations, const std::vector<Fixed>& user);
    // The user values shown, one per axis.
    std::vector<Fixed> location() const;

    QSlider* slider(int axis) const { return rows_[std::size_t(axis)].slider; }
    QDoubleSpinBox* field(int axis) const { return rows_[std::size_t(axis)].field; }
    QComboBox* instancePicker() const { return instances_; }
    QPushButton* defaultButton() const { return default_; }

signals:
    // The user moved an axis, picked an instance or pressed "Default".
    void locationChanged(const std::vector<Fixed>& user);

private:
    struct AxisRow {
        QSlider* slider = nullptr;
        QDoubleSpinBox* field = nullptr;
        Fixed def = 0;
    };
    void showValues(const std::vector<Fixed>& user);
    void markInstance(const std::vector<Fixed>& user);
    void moved();
    void pickInstance(int index);

    QWidget* axesBox_;
    QComboBox* instances_;
    QPushButton* default_;
    std::vector<AxisRow> rows_;
    std::vector<FvarInstance> named_;
};
