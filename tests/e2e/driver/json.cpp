#include "tests/e2e/driver/json.h"

#include <cstdio>

#include "tests/e2e/driver/wide_text.h"

namespace {

std::string quoted(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

void JsonObject::addName(std::string_view name) {
    if (!members_.empty()) {
        members_ += ',';
    }
    members_ += quoted(name) + ':';
}

JsonObject& JsonObject::addNumber(std::string_view name, long long value) {
    addName(name);
    members_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::addFlag(std::string_view name, bool value) {
    addName(name);
    members_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::addText(std::string_view name, std::string_view utf8) {
    addName(name);
    members_ += quoted(utf8);
    return *this;
}

JsonObject& JsonObject::addText(std::string_view name, std::wstring_view text) {
    return addText(name, utf8FromWide(text));
}

JsonObject& JsonObject::addJson(std::string_view name, std::string_view json) {
    addName(name);
    members_ += json;
    return *this;
}

std::string jsonArray(const std::vector<std::string>& values) {
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        out += (i == 0 ? "" : ",") + values[i];
    }
    return out + "]";
}

std::string jsonArray(const std::vector<JsonObject>& values) {
    std::vector<std::string> texts;
    texts.reserve(values.size());
    for (const JsonObject& value : values) {
        texts.push_back(value.text());
    }
    return jsonArray(texts);
}

std::string jsonString(std::wstring_view text) {
    return quoted(utf8FromWide(text));
}
