# Cross-compiling for 32-bit Windows with MinGW-w64 from Linux.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)

# The win32 thread model: the program has one thread and no std::thread or std::mutex, and
# the posix model would link winpthread (31 KB) into every exe. (GoogleTest would need the
# posix model; it only runs natively here.)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

# Static libraries built by tools/setup.sh (libjpeg) live beside the compiler's own.
set(CFT_DEPS_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../build/deps/mingw" CACHE PATH
    "Install prefix of the MinGW libraries built by tools/setup.sh")
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32 "${CFT_DEPS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest runs Windows test programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
