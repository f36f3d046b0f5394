#include "ui/main/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (!picture_)
        return;
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    // drawImage honours the picture's device pixel ratio: it fills the same logical size on any screen.
    painter.drawImage(contentsRect().topLeft(), picture_->image());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    emit MouseUp(event->button());
    QFrame::mouseReleaseEvent(event);
}
