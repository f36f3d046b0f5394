#pragma once
#include <cmath>

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QRect>

// The windows are laid out in twips, 15 to a pixel.
inline QRect twips(int left, int top, int width, int height)
{
    auto px = [](int t) { return int(std::lround(t / 15.0)); };
    return QRect(px(left), px(top), px(width), px(height));
}

// The windows' sans-serif captions at pointSize; the narrow cut keeps them
// inside their designed boxes.
inline QFont formFont(double pointSize, bool underline = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStretch(QFont::SemiCondensed);
    f.setPointSizeF(pointSize);
    f.setUnderline(underline);
    return f;
}

// Widens a caption's box to its text (plus `extra`, e.g. a check box's
// indicator) where the font needs more room than the design gave: a
// right-aligned label grows to the left, anything else to the right.
inline void fitCaption(QWidget* w, const QString& text, int extra = 0)
{
    const int needed = w->fontMetrics().horizontalAdvance(text) + extra;
    QRect r = w->geometry();
    if (needed <= r.width())
        return;
    const auto* label = qobject_cast<QLabel*>(w);
    if (label && (label->alignment() & Qt::AlignRight))
        r.setLeft(r.right() + 1 - needed);
    else
        r.setWidth(needed);
    w->setGeometry(r);
}
