// One owner for each kind of Win32 resource the window layer keeps.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using MemoryDcHandle = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
