#include "support/out_of_memory.h"

#include <windows.h>

#include <new>

namespace {

// Exit code of a program that ran out of memory, distinct from a failed start (-1).
constexpr UINT kOutOfMemoryExitCode = 3;

void reportAndExit() {
    // No operation returns a failed allocation: the program cannot go on without memory.
    MessageBoxA(nullptr, "内存不足，程序无法继续运行。", "错误：",
                MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    ExitProcess(kOutOfMemoryExitCode);
}

}  // namespace

void installOutOfMemoryHandler() {
    std::set_new_handler(reportAndExit);
}
