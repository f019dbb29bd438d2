// The test build's power calls: logged instead of made, when a test asks.
//
// CFT_TEST_POWER_LOG names a file: every call is appended to it as one line ("GetVersionExA",
// "AdjustShutdownPrivilege", "ExitWindowsEx 6 0", "SetSystemPowerState 1 1") and answered
// as a success (NT family, privilege enabled, request accepted) without reaching Windows.
// CFT_TEST_POWER_REFUSE=1 makes the power requests answer 0, as when Windows refuses them.
// Without CFT_TEST_POWER_LOG the real calls are made: only ever in a throwaway Wine prefix.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "timer/power_calls.h"
#include "timer/win32/windows_power.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::optional<std::string> environmentValue(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::nullopt;
    }
    return std::string(value, length);
}

std::optional<std::string> logPath() {
    return environmentValue("CFT_TEST_POWER_LOG");
}

bool refusalRequested() {
    return environmentValue("CFT_TEST_POWER_REFUSE") == "1";
}

// Opened and closed per line, so that the line is on disk before a test looks, even when the
// process ends right after.
void appendLine(const std::string& path, const std::string& line) {
    const File file(std::fopen(path.c_str(), "ab"));
    if (file) {
        std::fputs((line + "\n").c_str(), file.get());
    }
}

int requestAnswer() {
    return refusalRequested() ? 0 : 1;
}

}  // namespace

bool isNtFamily() {
    const std::optional<std::string> path = logPath();
    if (!path) {
        return windows_power::isNtFamily();
    }
    appendLine(*path, "GetVersionExA");
    return true;
}

bool adjustShutdownPrivilege() {
    const std::optional<std::string> path = logPath();
    if (!path) {
        return windows_power::adjustShutdownPrivilege();
    }
    appendLine(*path, "AdjustShutdownPrivilege");
    return true;
}

int exitWindows(unsigned flags) {
    const std::optional<std::string> path = logPath();
    if (!path) {
        return windows_power::exitWindows(flags);
    }
    appendLine(*path, "ExitWindowsEx " + std::to_string(flags) + " 0");
    return requestAnswer();
}

int setSystemPowerState(bool suspend, bool force) {
    const std::optional<std::string> path = logPath();
    if (!path) {
        return windows_power::setSystemPowerState(suspend, force);
    }
    appendLine(*path, "SetSystemPowerState " + std::to_string(suspend ? 1 : 0) + " " +
                          std::to_string(force ? 1 : 0));
    return requestAnswer();
}
