#include "ui/variations/variations_dialog.h"

#include <cmath>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// The slider moves in hundredths of a user unit, as the field shows them.
constexpr double SliderSteps = 100;

int sliderValue(Fixed v)
{
    return int(std::lround(v / 65536.0 * SliderSteps));
}

QString userText(Fixed v)
{
    return QString::number(std::round(v / 65536.0 * 100) / 100, 'g', 8);
}

} // namespace

VariationsDialog::VariationsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Variations");
    axesBox_ = new QWidget(this);
    instances_ = new QComboBox(this);
    instances_->setObjectName("instances");
    instances_->setPlaceholderText("Named instance");
    default_ = new QPushButton("Default", this);
    default_->setObjectName("default");
    // Enter in an axis field sets the value typed; as the dialog's default
    // button, "Default" would take the same key and undo it.
    default_->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel("Instance:", this));
    bottom->addWidget(instances_, 1);
    bottom->addWidget(default_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(axesBox_);
    layout->addLayout(bottom);
    connect(instances_, &QComboBox::activated, this, &VariationsDialog::pickInstance);
    connect(default_, &QPushButton::clicked, this, [this] {
        std::vector<Fixed> user;
        for (const AxisRow& row : rows_)
            user.push_back(row.def);
        showValues(user);
        emit locationChanged(user);
    });
}

void VariationsDialog::setAxes(const FontVariations& variations, const std::vector<Fixed>& user)
{
    delete axesBox_->layout();
    for (QWidget* w : axesBox_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        delete w;
    rows_.clear();
    auto* grid = new QGridLayout(axesBox_);
    grid->setContentsMargins(0, 0, 0, 0);
    for (const FvarAxis& axis : variations.axes) {
        const int r = int(rows_.size());
        AxisRow row{new QSlider(Qt::Horizontal, axesBox_), new QDoubleSpinBox(axesBox_), axis.def};
        row.slider->setRange(sliderValue(axis.min), sliderValue(axis.max));
        row.slider->setMinimumWidth(260);
        row.field->setDecimals(2);
        row.field->setRange(axis.min / 65536.0, axis.max / 65536.0);
        row.field->setKeyboardTracking(false);
        grid->addWidget(new QLabel(QString::fromStdString(axis.name + " (" + axis.tag + ")"), axesBox_), r, 0);
        grid->addWidget(new QLabel(userText(axis.min), axesBox_), r, 1, Qt::AlignRight);
        grid->addWidget(row.slider, r, 2);
        grid->addWidget(new QLabel(userText(axis.max), axesBox_), r, 3);
        grid->addWidget(row.field, r, 4);
        grid->addWidget(new QLabel("default " + userText(axis.def), axesBox_), r, 5);
        connect(row.slider, &QSlider::valueChanged, this, [this, r](int v) {
            const QSignalBlocker quiet(rows_[std::size_t(r)].field);
            rows_[std::size_t(r)].field->setValue(v / SliderSteps);
            moved();
        });
        connect(row.field, &QDoubleSpinBox::valueChanged, this, [this, r](double v) {
            const QSignalBlocker quiet(rows_[std::size_t(r)].slider);
            rows_[std::size_t(r)].slider->setValue(int(std::lround(v * SliderSteps)));
            moved();
        });
        rows_.push_back(row);
    }
    named_ = variations.instances;
    const QSignalBlocker quiet(instances_);
    instances_->clear();
    for (const FvarInstance& instance : named_)
        instances_->addItem(QString::fromStdString(instance.name));
    showValues(user);
}

std::vector<Fixed> VariationsDialog::location() const
{
    std::vector<Fixed> user;
    for (const AxisRow& row : rows_)
        user.push_back(ToFixed(row.field->value()));
    return user;
}

// The sliders and fields at `user`; the picker on the instance there, if any.
void VariationsDialog::showValues(const std::vector<Fixed>& user)
{
    for (std::size_t i = 0; i < rows_.size() && i < user.size(); ++i) {
        const QSignalBlocker quietSlider(rows_[i].slider), quietField(rows_[i].field);
        rows_[i].slider->setValue(sliderValue(user[i]));
        rows_[i].field->setValue(user[i] / 65536.0);
    }
    markInstance(user);
}

// The picker on the instance at `user`, or on none.
void VariationsDialog::markInstance(const std::vector<Fixed>& user)
{
    int at = -1;
    for (std::size_t k = 0; k < named_.size() && at < 0; ++k)
        if (named_[k].coordinates == user)
            at = int(k);
    const QSignalBlocker quiet(instances_);
    instances_->setCurrentIndex(at);
}

void VariationsDialog::moved()
{
    const std::vector<Fixed> user = location();
    markInstance(user);
    emit locationChanged(user);
}

void VariationsDialog::pickInstance(int index)
{
    if (index < 0 || std::size_t(index) >= named_.size())
        return;
    showValues(named_[std::size_t(index)].coordinates);
    emit locationChanged(named_[std::size_t(index)].coordinates);
}
