#include <windows.h>

#include "app/program.h"
#include "support/out_of_memory.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    installOutOfMemoryHandler();
    return runProgram();
}
