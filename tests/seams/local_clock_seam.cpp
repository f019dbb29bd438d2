// The test build's clock: the real local clock, unless a test has set it through a file.
//
// CFT_TEST_CLOCK_FILE names a file of one line "YYYY-MM-DD HH:MM:SS E": at real time E (Unix
// seconds, a fraction allowed) the clock showed that date and time, and it has run on since.
// The file is read at every call, so a test moves the clock by replacing the file.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

#include "support/date_time.h"

namespace {

// FILETIME counts 100 ns steps from 1601-01-01 UTC.
constexpr long long kTicksPerSecond = 10'000'000;
constexpr long long kUnixEpochInFileTimeTicks = 116'444'736'000'000'000;

struct ClockSetting {
    DateTime shown;
    long long realTicks = 0;  // since the Unix epoch, in FILETIME steps
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

long long floorDivide(long long value, long long divisor) {
    const long long quotient = value / divisor;
    return (value % divisor < 0) ? quotient - 1 : quotient;
}

// Reads a number of exactly `digits` digits off the front of the text.
std::optional<int> takeDigits(std::string_view& text, std::size_t digits) {
    if (text.size() < digits) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    text.remove_prefix(digits);
    return value;
}

bool takeChar(std::string_view& text, char expected) {
    if (text.empty() || text.front() != expected) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

std::optional<int> takeField(std::string_view& text, std::size_t digits, int lowest, int highest,
                             char separator) {
    std::optional<int> value = takeDigits(text, digits);
    if (!value || *value < lowest || *value > highest || !takeChar(text, separator)) {
        return std::nullopt;
    }
    return value;
}

// Seconds with an optional fraction, kept exact to the FILETIME step (digits past it dropped).
std::optional<long long> takeEpochTicks(std::string_view& text) {
    long long seconds = 0;
    std::size_t integerDigits = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9' && integerDigits < 15) {
        seconds = seconds * 10 + (text.front() - '0');
        text.remove_prefix(1);
        ++integerDigits;
    }
    if (integerDigits == 0) {
        return std::nullopt;
    }
    long long fraction = 0;
    long long scale = kTicksPerSecond;
    if (takeChar(text, '.')) {
        while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
            if (scale > 1) {
                scale /= 10;
                fraction += (text.front() - '0') * scale;
            }
            text.remove_prefix(1);
        }
    }
    return seconds * kTicksPerSecond + fraction;
}

std::optional<ClockSetting> parseSetting(std::string_view line) {
    ClockSetting setting;
    const auto year = takeField(line, 4, 1601, 9999, '-');
    const auto month = takeField(line, 2, 1, 12, '-');
    const auto day = takeField(line, 2, 1, 31, ' ');
    const auto hour = takeField(line, 2, 0, 23, ':');
    const auto minute = takeField(line, 2, 0, 59, ':');
    const auto second = takeField(line, 2, 0, 59, ' ');
    if (!year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    const auto ticks = takeEpochTicks(line);
    if (!ticks || line.find_first_not_of(" \t\r\n") != std::string_view::npos) {
        return std::nullopt;
    }
    setting.shown = {*year, *month, *day, *hour, *minute, *second};
    setting.realTicks = *ticks;
    return setting;
}

std::optional<ClockSetting> readSetting() {
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("CFT_TEST_CLOCK_FILE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::nullopt;
    }
    File file(std::fopen(path, "rb"));
    if (!file) {
        return std::nullopt;
    }
    char content[128] = {};
    const std::size_t size = std::fread(content, 1, sizeof content, file.get());
    if (size == sizeof content) {
        return std::nullopt;  // no setting is that long
    }
    return parseSetting(std::string_view(content, size));
}

long long realTicksNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const long long sinceFileTimeEpoch = static_cast<long long>(
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    return sinceFileTimeEpoch - kUnixEpochInFileTimeTicks;
}

DateTime realLocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace

DateTime currentTime() {
    const std::optional<ClockSetting> setting = readSetting();
    if (!setting) {
        return realLocalTime();
    }
    // Floored, so that a setting made in the future shows the second before it, not the same.
    const long long elapsed = floorDivide(realTicksNow() - setting->realTicks, kTicksPerSecond);
    return addSeconds(setting->shown, elapsed);
}
