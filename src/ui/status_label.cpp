#include "ui/status_label.h"

#include <algorithm>

#include <QEvent>
#include <QPainter>
#include <QStatusBar>

namespace {

constexpr int Gap = 8; // the bar's spacing and margins per widget, about

} // namespace

StatusLabel::StatusLabel(QStatusBar* bar) : QLabel(bar), bar_(bar)
{
    bar->addPermanentWidget(this);
    bar->installEventFilter(this);
    connect(bar, &QStatusBar::messageChanged, this, &StatusLabel::refit);
}

void StatusLabel::setText(const QString& text)
{
    if (text == QLabel::text())
        return;
    QLabel::setText(text);
    refit();
}

// Each text's hint depends on the others': all are asked again.
void StatusLabel::refit() const
{
    for (StatusLabel* label : bar_->findChildren<StatusLabel*>(Qt::FindDirectChildrenOnly))
        label->updateGeometry();
}

QSize StatusLabel::sizeHint() const
{
    QSize hint = QLabel::sizeHint();
    int texts = 0, others = 0;
    for (const QWidget* w : bar_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!w->isVisibleTo(bar_))
            continue;
        if (const auto* label = qobject_cast<const StatusLabel*>(w))
            texts += label->QLabel::sizeHint().width();
        else
            others += w->sizeHint().width();
        others += Gap;
    }
    const int message =
        std::min(bar_->fontMetrics().horizontalAdvance(bar_->currentMessage()) + 2 * Gap, bar_->width() / 2);
    const int room = std::max(0, bar_->width() - message - others);
    if (texts > room)
        hint.setWidth(std::max(minimumSizeHint().width(), int(qint64(hint.width()) * room / texts)));
    return hint;
}

QSize StatusLabel::minimumSizeHint() const
{
    QSize hint = QLabel::minimumSizeHint();
    hint.setWidth(std::min(hint.width(), fontMetrics().averageCharWidth() * 3));
    return hint;
}

void StatusLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect room = contentsRect();
    painter.drawText(room, int(alignment()), fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
}

bool StatusLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == bar_ && event->type() == QEvent::Resize)
        updateGeometry();
    return QLabel::eventFilter(watched, event);
}
