#include "cli/json.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void appendUtf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at s[i], 0 when there is none.
std::size_t utf8Length(std::string_view s, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return std::uint8_t(s[k]); };
    const std::uint8_t b = byte(i);
    std::size_t n;
    std::uint32_t c;
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        c = b & 0x07;
    } else {
        return 0;
    }
    if (n > s.size() - i)
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (byte(i + k) & 0x3F);
    }
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    if ((n == 3 && c < 0x800) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

std::string jsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = utf8Length(utf8, i);
        if (n == 0) {
            appendUtf8(out, 0xFFFD);
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(utf8.substr(i, n));
            i += n;
            continue;
        }
        const char c = utf8[i++];
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (std::uint8_t(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(std::uint8_t(c)));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string jsonNumber(double value)
{
    char text[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value)
            break;
    }
    return text;
}

std::string jsonArray(const std::vector<int>& values)
{
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i)
            out += ", ";
        out += std::to_string(values[i]);
    }
    return out + "]";
}

std::string jsonArray(const std::vector<std::string>& texts)
{
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i)
            out += ", ";
        out += jsonString(texts[i]);
    }
    return out + "]";
}

JsonObject& JsonObject::add(std::string_view key, std::string json)
{
    members_.emplace_back(jsonString(key), std::move(json));
    return *this;
}

JsonObject& JsonObject::add(std::string_view key, int value)
{
    return add(key, std::to_string(value));
}

std::string JsonObject::str(bool multiLine) const
{
    if (members_.empty())
        return "{}";
    std::string out = multiLine ? "{\n" : "{";
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (multiLine)
            out += "  ";
        out += members_[i].first + ": " + members_[i].second;
        if (i + 1 < members_.size())
            out += multiLine ? ",\n" : ", ";
    }
    return out + (multiLine ? "\n}" : "}");
}
