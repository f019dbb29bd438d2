// Commands about the program's process: its Windows id, its exit code, and what the benchmarks
// measure from outside (its start-up time and memory). Not its CPU time: Wine 8 answers
// GetProcessTimes on another process with the caller's own times.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

#include "tests/e2e/driver/commands.h"
#include "tests/e2e/driver/wide_text.h"

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using KernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// Handles kept open so that a process's exit code can still be read after it has ended.
std::map<DWORD, KernelHandle> watchedProcesses;

HANDLE watchedProcess(DWORD process) {
    const auto watched = watchedProcesses.find(process);
    if (watched == watchedProcesses.end()) {
        throw CommandError("process " + std::to_string(process) + " is not watched");
    }
    return watched->second.get();
}

// Microseconds on the performance counter, the finest clock Windows offers.
std::int64_t nowMicroseconds() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER count{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return count.QuadPart / frequency.QuadPart * 1000000 +
           count.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

struct WindowSearch {
    DWORD process;
    HWND found;
};

// Enumeration callbacks must be stdcall on i686, which a lambda cannot be.
BOOL CALLBACK stopAtVisibleWindow(HWND window, LPARAM search) {
    // The LPARAM carries the search's address, as EnumWindows hands it back.
    auto* wanted = reinterpret_cast<WindowSearch*>(search);  // NOLINT(performance-no-int-to-ptr)
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == wanted->process && IsWindowVisible(window)) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND firstVisibleWindowOf(DWORD process) {
    WindowSearch search{process, nullptr};
    EnumWindows(stopAtVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

void processesCommand(Arguments& args, JsonObject& reply) {
    const std::wstring name = wideFromUtf8(args.rest());
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE) {
        snapshot.release();
        throw CommandError("CreateToolhelp32Snapshot failed: " + std::to_string(GetLastError()));
    }
    std::vector<std::string> found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (lstrcmpiW(entry.szExeFile, name.c_str()) == 0) {
            found.push_back(std::to_string(entry.th32ProcessID));
        }
    }
    reply.addJson("pids", jsonArray(found));
}

void watchCommand(Arguments& args, JsonObject& /*reply*/) {
    const auto process = static_cast<DWORD>(args.number());
    KernelHandle handle(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    if (!handle) {
        throw CommandError("cannot open process " + std::to_string(process) + ": error " +
                           std::to_string(GetLastError()));
    }
    watchedProcesses[process] = std::move(handle);
}

void exitCodeCommand(Arguments& args, JsonObject& reply) {
    const HANDLE watched = watchedProcess(static_cast<DWORD>(args.number()));
    const bool running = WaitForSingleObject(watched, 0) == WAIT_TIMEOUT;
    reply.addFlag("running", running);
    if (!running) {
        DWORD code = 0;
        GetExitCodeProcess(watched, &code);
        // Signed, as the program passed it to ExitProcess.
        reply.addNumber("code", static_cast<long>(code));
    }
}

void setEnvironmentCommand(Arguments& args, JsonObject& /*reply*/) {
    const std::wstring name = wideFromUtf8(args.word());
    const std::wstring value = wideFromUtf8(args.rest());
    // An empty value removes the variable, so that a program started later does not see it.
    if (!SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str()) &&
        !value.empty()) {
        throw CommandError("SetEnvironmentVariable failed: " + std::to_string(GetLastError()));
    }
}

// Starts a program itself, so that the clock starts with the process: then waits, polling
// every millisecond, for its first visible top-level window, and after that for the window's
// first answer to a sent message (the thread has finished its start-up work and takes
// messages). The child inherits this driver's environment (see setenv) and is watched from
// then on; one that misses the limit is ended, so that a failed start leaves nothing behind.
void startTimedCommand(Arguments& args, JsonObject& reply) {
    const auto limit = static_cast<std::int64_t>(args.number()) * 1000;
    std::wstring commandLine = L"\"" + wideFromUtf8(args.rest()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    const std::int64_t startedAt = nowMicroseconds();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &created)) {
        throw CommandError("CreateProcess failed: " + std::to_string(GetLastError()));
    }
    const KernelHandle thread(created.hThread);
    const DWORD process = created.dwProcessId;
    watchedProcesses[process] = KernelHandle(created.hProcess);
    const auto fail = [&](const std::string& what) {
        TerminateProcess(created.hProcess, 1);
        return CommandError("process " + std::to_string(process) + " " + what);
    };

    HWND window = nullptr;
    while ((window = firstVisibleWindowOf(process)) == nullptr) {
        // Doubles as the pause between two looks.
        if (WaitForSingleObject(created.hProcess, 1) == WAIT_OBJECT_0) {
            throw fail("ended before it showed a window");
        }
        if (nowMicroseconds() - startedAt > limit) {
            throw fail("showed no window within the limit");
        }
    }
    const std::int64_t visibleAt = nowMicroseconds();
    // A busy thread leaves the message pending; the call returns the moment it is taken.
    constexpr UINT kAttemptMs = 100;
    DWORD_PTR result = 0;
    while (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kAttemptMs, &result) == 0) {
        if (!IsWindow(window) || nowMicroseconds() - startedAt > limit) {
            throw fail("took no message within the limit");
        }
    }
    const std::int64_t readyAt = nowMicroseconds();
    reply.addNumber("pid", process)
        .addNumber("hwnd", handleValue(window))
        .addNumber("visible_us", visibleAt - startedAt)
        .addNumber("ready_us", readyAt - startedAt);
}

// Working set and private bytes as Windows reports them. Wine 8 leaves PrivateUsage at 0 and
// reports the private bytes as the page file usage (which Windows defines as the same commit
// charge): the process's resident anonymous memory, with no peak kept apart from it.
void memoryCommand(Arguments& args, JsonObject& reply) {
    const HANDLE process = watchedProcess(static_cast<DWORD>(args.number()));
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        throw CommandError("GetProcessMemoryInfo failed: " + std::to_string(GetLastError()));
    }
    reply.addNumber("working_set", static_cast<long long>(counters.WorkingSetSize))
        .addNumber("peak_working_set", static_cast<long long>(counters.PeakWorkingSetSize))
        .addNumber("private_usage", static_cast<long long>(counters.PrivateUsage))
        .addNumber("pagefile_usage", static_cast<long long>(counters.PagefileUsage))
        .addNumber("peak_pagefile_usage", static_cast<long long>(counters.PeakPagefileUsage));
}

void terminateCommand(Arguments& args, JsonObject& /*reply*/) {
    const HANDLE process = watchedProcess(static_cast<DWORD>(args.number()));
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT && !TerminateProcess(process, 1)) {
        throw CommandError("TerminateProcess failed: " + std::to_string(GetLastError()));
    }
    WaitForSingleObject(process, kAnswerTimeoutMs);
}
