// The driver's answers: one JSON object per line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class JsonObject {
  public:
    JsonObject& addNumber(std::string_view name, long long value);
    JsonObject& addFlag(std::string_view name, bool value);
    JsonObject& addText(std::string_view name, std::string_view utf8);
    JsonObject& addText(std::string_view name, std::wstring_view text);
    // A value that is JSON already: a nested object or an array.
    JsonObject& addJson(std::string_view name, std::string_view json);
    std::string text() const { return "{" + members_ + "}"; }

  private:
    void addName(std::string_view name);
    std::string members_;
};

// An array of values that are JSON already.
std::string jsonArray(const std::vector<std::string>& values);
std::string jsonArray(const std::vector<JsonObject>& values);
std::string jsonString(std::wstring_view text);
