#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Text stored in the font (post glyph names, name records) as UTF-8.

// Every byte one character through Windows-1252.
std::string Windows1252ToUtf8(std::string_view bytes);

// Every byte one character through Mac Roman; NUL bytes are dropped.
std::string MacRomanToUtf8(std::span<const std::uint8_t> bytes);

// Big-endian UTF-16: surrogate pairs joined, U+0000 dropped; an unpaired
// surrogate, and a lone last byte, each become U+FFFD.
std::string Utf16BeToUtf8(std::span<const std::uint8_t> bytes);

// Appends the UTF-8 encoding of one code point (up to U+10FFFF).
void AppendUtf8(std::string& out, char32_t c);

// The length of the valid UTF-8 sequence at text[at] (shortest form, no
// surrogates, nothing beyond U+10FFFF), and its code point; length 0 when
// there is none there. `at` must be inside text.
struct Utf8Sequence {
    std::size_t length = 0;
    char32_t code = 0;
};
Utf8Sequence Utf8At(std::string_view text, std::size_t at);
