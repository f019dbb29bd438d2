// Commands about the program's process: its Windows id and its exit code.
#include <windows.h>
#include <tlhelp32.h>

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
    const auto process = static_cast<DWORD>(args.number());
    const auto watched = watchedProcesses.find(process);
    if (watched == watchedProcesses.end()) {
        throw CommandError("process " + std::to_string(process) + " is not watched");
    }
    const bool running = WaitForSingleObject(watched->second.get(), 0) == WAIT_TIMEOUT;
    reply.addFlag("running", running);
    if (!running) {
        DWORD code = 0;
        GetExitCodeProcess(watched->second.get(), &code);
        // Signed, as the program passed it to ExitProcess.
        reply.addNumber("code", static_cast<long>(code));
    }
}
