#pragma once
#include <QFrame>

#include "platform/picture_surface.h"
#include <QImage>

// The drawing area: shows a picture drawn elsewhere, inside a one-pixel
// sunken border, and reports mouse-button releases.
class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The picture to show; it must outlive the box. Call update() after drawing.
    void setPicture(const PictureSurface* picture) { picture_ = picture; }

signals:
    void MouseUp(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const PictureSurface* picture_ = nullptr;
};
