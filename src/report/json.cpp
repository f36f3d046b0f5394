#include "report/json.h"

#include <charconv>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tables/text.h"

std::string jsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = std::uint8_t(utf8[i]) < 0x80 ? 1 : Utf8At(utf8, i).length;
        if (n == 0) {
            AppendUtf8(out, 0xFFFD);
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
    // to_chars picks the shorter of the plain and the exponent form: 1000, not 1e+03.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
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
    out += "]";
    return out;
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
    // Built in place: a paint tree nests objects 64 deep, and each level's
    // text holds all of the levels below it.
    std::size_t length = 4;
    for (const auto& [key, value] : members_)
        length += key.size() + value.size() + 6;
    std::string out;
    out.reserve(length);
    out += multiLine ? "{\n" : "{";
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (multiLine)
            out += "  ";
        out += members_[i].first;
        out += ": ";
        out += members_[i].second;
        if (i + 1 < members_.size())
            out += multiLine ? ",\n" : ", ";
    }
    out += multiLine ? "\n}" : "}";
    return out;
}
