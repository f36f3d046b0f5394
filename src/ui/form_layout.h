#pragma once
#include <cmath>

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QRect>

// The dialogs are laid out in twips, 15 to a pixel.
inline QRect twips(int left, int top, int width, int height)
{
    auto px = [](int t) { return int(std::lround(t / 15.0)); };
    return QRect(px(left), px(top), px(width), px(height));
}

// The dialogs' sans-serif captions at pointSize; the narrow cut keeps them
// inside their designed boxes.
inline QFont formFont(double pointSize, bool underline = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStretch(QFont::SemiCondensed);
    f.setPointSizeF(pointSize);
    f.setUnderline(underline);
    return f;
}

// Widens a label to its text where the font needs more room than the design
// gave: a right-aligned label grows to the left, any other to the right.
inline void fitCaption(QLabel* label)
{
    const int needed = label->fontMetrics().horizontalAdvance(label->text());
    QRect r = label->geometry();
    if (needed <= r.width())
        return;
    if (label->alignment() & Qt::AlignRight)
        r.setLeft(r.right() + 1 - needed);
    else
        r.setWidth(needed);
    label->setGeometry(r);
}
