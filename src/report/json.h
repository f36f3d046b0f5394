#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A JSON string literal of UTF-8 text: quotes, backslashes and control
// characters escaped; a byte that is not valid UTF-8 becomes U+FFFD.
std::string jsonString(std::string_view utf8);

// A real number as the shortest decimal text that reads back to it: 7, 7.5, 87.5.
std::string jsonNumber(double value);

std::string jsonArray(const std::vector<int>& values);
std::string jsonArray(const std::vector<std::string>& texts); // of strings

// An object whose members keep the order they were added in. Values are JSON
// text already (jsonString, jsonArray, a number); multiLine puts one member on
// each line, as a document's top level reads best.
class JsonObject {
public:
    JsonObject& add(std::string_view key, std::string json);
    JsonObject& add(std::string_view key, int value);
    std::string str(bool multiLine = false) const;

private:
    std::vector<std::pair<std::string, std::string>> members_;
};
