#include "ui/win32/label_painter.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <variant>

#include "ui/jpeg_picture.h"

namespace {

COLORREF colourOf(const Color& colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

std::string captionOf(HWND label) {
    std::string caption(static_cast<std::size_t>(GetWindowTextLengthA(label)) + 1, '\0');
    caption.resize(static_cast<std::size_t>(
        GetWindowTextA(label, caption.data(), static_cast<int>(caption.size()))));
    return caption;
}

UINT alignmentOf(const LabelSettings& settings) {
    UINT format = DT_SINGLELINE | DT_NOPREFIX;
    switch (settings.hAlign) {
        case HAlign::Left:
            format |= DT_LEFT;
            break;
        case HAlign::Centre:
            format |= DT_CENTER;
            break;
        case HAlign::Right:
            format |= DT_RIGHT;
            break;
    }
    switch (settings.vAlign) {
        case VAlign::Top:
            format |= DT_TOP;
            break;
        case VAlign::Centre:
            format |= DT_VCENTER;
            break;
        case VAlign::Bottom:
            format |= DT_BOTTOM;
            break;
    }
    return format;
}

void drawCaption(HDC dc, const std::string& caption, RECT area, UINT format, COLORREF colour) {
    SetTextColor(dc, colour);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &area, format);
}

// At its natural size from the top-left corner, repeated to the right and downwards until the
// label is covered.
void drawTiledPicture(const ControlRecord& label, HDC dc, const RECT& area) {
    const SIZE tile = label.pictureSize;
    if (label.picture == nullptr || tile.cx <= 0 || tile.cy <= 0) {
        return;
    }
    const MemoryDcHandle source(CreateCompatibleDC(dc));
    if (source == nullptr) {
        return;
    }
    HGDIOBJ previousBitmap = SelectObject(source.get(), label.picture.get());
    for (int top = 0; top < area.bottom; top += tile.cy) {
        for (int left = 0; left < area.right; left += tile.cx) {
            BitBlt(dc, left, top, tile.cx, tile.cy, source.get(), 0, 0, SRCCOPY);
        }
    }
    SelectObject(source.get(), previousBitmap);
}

// The bytes of one of the program's RCDATA resources, which live as long as the program.
std::span<const std::uint8_t> resourceBytes(int resource) {
    HMODULE program = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(resource), RT_RCDATA);
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(program, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return {static_cast<const std::uint8_t*>(bytes), SizeofResource(program, found)};
}

BitmapHandle makeBitmap(const Picture& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;  // negative: rows top-down, as decoded
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap == nullptr || bits == nullptr) {
        return nullptr;
    }
    std::memcpy(bits, picture.pixels.data(), picture.pixels.size());
    return bitmap;
}

}  // namespace

void paintLabel(const ControlRecord& label, HDC dc) {
    const auto& settings = std::get<LabelSettings>(label.layout->settings);
    RECT area{};
    GetClientRect(label.handle, &area);

    const COLORREF background = settings.background.has_value() ? colourOf(*settings.background)
                                                                : GetSysColor(COLOR_BTNFACE);
    SetBkColor(dc, background);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    drawTiledPicture(label, dc, area);

    const std::string caption = captionOf(label.handle);
    if (caption.empty()) {
        return;
    }
    HGDIOBJ font = label.font != nullptr ? label.font.get() : GetStockObject(DEFAULT_GUI_FONT);
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const UINT format = alignmentOf(settings);
    if (settings.raised) {
        RECT shadow = area;
        OffsetRect(&shadow, 1, 1);
        drawCaption(dc, caption, shadow, format, RGB(255, 255, 255));
    }
    drawCaption(dc, caption, area, format, colourOf(settings.text));
    SelectObject(dc, previousFont);
}

void paintTransparentLabel(const ControlRecord& label, HDC dc) {
    const std::string caption = captionOf(label.handle);
    if (caption.empty()) {
        return;
    }
    RECT area{};
    GetClientRect(label.handle, &area);
    HGDIOBJ previousFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    drawCaption(dc, caption, area, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_VCENTER,
                GetSysColor(COLOR_BTNTEXT));
    SelectObject(dc, previousFont);
}

void loadLabelPicture(ControlRecord& label, int resource) {
    const Picture picture = decodeJpeg(resourceBytes(resource));
    if (picture.empty()) {
        return;
    }
    label.picture = makeBitmap(picture);
    if (label.picture != nullptr) {
        label.pictureSize = {picture.width, picture.height};
    }
}
