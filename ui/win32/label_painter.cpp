#include "ui/win32/label_painter.h"

#include <string>
#include <variant>

namespace {

COLORREF colourOf(const Color& colour) { return RGB(colour.red, colour.green, colour.blue); }

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

}  // namespace

void paintLabel(const ControlRecord& label, HDC dc) {
    const auto& settings = std::get<LabelSettings>(label.layout->settings);
    RECT area{};
    GetClientRect(label.handle, &area);

    const COLORREF background = settings.background.has_value()
                                    ? colourOf(*settings.background)
                                    : GetSysColor(COLOR_BTNFACE);
    SetBkColor(dc, background);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);

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

void loadLabelPicture(ControlRecord& /*label*/, int /*resource*/) {}
