#pragma once
#include <QString>

// "U+00E9 é": a character code in four or more hex digits, and the character
// itself unless it is a control or surrogate code, which have no picture.
QString CodeText(char32_t code);
