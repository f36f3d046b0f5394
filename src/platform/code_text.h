#pragma once
#include <QString>

// "U+00E9 é": a character code in four or more hex digits, and the character
// itself unless it is a control or surrogate code, which have no picture.
inline QString CodeText(char32_t code)
{
    QString text = QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
    const bool control = code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0);
    const bool surrogate = code >= 0xD800 && code < 0xE000;
    if (!control && !surrogate)
        text += QLatin1Char(' ') + QString::fromUcs4(&code, 1);
    return text;
}
