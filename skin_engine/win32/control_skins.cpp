// Child controls: push buttons, the tab control, the track bar, and the messages a parent
// answers for its children (label colours, owner-drawn buttons).
#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "skin_engine/win32/drawing.h"
#include "skin_engine/win32/skinned_window.h"

namespace skin_engine::win32 {
namespace {

using R = ColourRole;

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

FaceStyle StyleOf(const SkinPalette& palette) {
    switch (static_cast<ButtonStyleKind>(palette.metric(Metric::ButtonStyle))) {
        case ButtonStyleKind::Flat:
            return FaceStyle::Flat;
        case ButtonStyleKind::Glass:
            return FaceStyle::Glass;
        case ButtonStyleKind::Gradient:
            break;
    }
    return FaceStyle::Gradient;
}

// The four colours of one button state, in ColourRole order: top, bottom, border, text.
R FirstRoleOfButtonState(const DRAWITEMSTRUCT& item, bool hot) {
    if (item.itemState & ODS_DISABLED) return R::ButtonDisabledTop;
    if (item.itemState & ODS_SELECTED) return R::ButtonPressedTop;
    if (hot) return R::ButtonHotTop;
    if (item.itemState & ODS_FOCUS) return R::ButtonFocusedTop;
    return R::ButtonNormalTop;
}

R Offset(R role, int by) { return static_cast<R>(static_cast<int>(role) + by); }

void DrawCaptionText(HDC dc, HWND button, RECT area, const SkinPalette& palette, COLORREF colour) {
    const std::wstring text = WindowText(button);
    HGDIOBJ oldFont =
        SelectObject(dc, palette.textFont(reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0))));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    InflateRect(&area, -3, -2);
    const bool multiline = FindSkinned(button) && (FindSkinned(button)->originalStyle & BS_MULTILINE);
    UINT format = DT_CENTER | DT_NOPREFIX;
    if (multiline) {
        RECT measured = area;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_WORDBREAK | DT_CALCRECT);
        const int height = measured.bottom - measured.top;
        if (height < area.bottom - area.top) area.top += (area.bottom - area.top - height) / 2;
        format |= DT_WORDBREAK;
    } else {
        format |= DT_VCENTER | DT_SINGLELINE;
    }
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
    SelectObject(dc, oldFont);
}

int TabUnderMouse(HWND tabs, LPARAM lParam) {
    TCHITTESTINFO hit{{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, 0};
    return static_cast<int>(SendMessageW(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

RECT TabStripArea(HWND tabs) {
    RECT client;
    GetClientRect(tabs, &client);
    RECT body = client;
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&body));
    RECT item{};
    const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    int stripBottom = client.top;
    for (int i = 0; i < count; ++i) {
        if (SendMessageW(tabs, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) {
            stripBottom = std::max<int>(stripBottom, item.bottom);
        }
    }
    return {client.left, client.top, client.right, stripBottom};
}

std::wstring TabTitle(HWND tabs, int index) {
    wchar_t buffer[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 127;
    SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// Children are painted by themselves; the tab control must not paint over them.
void ExcludeVisibleChildren(HWND parent, HDC dc) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT area;
        GetWindowRect(child, &area);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
        ExcludeClipRect(dc, area.left, area.top, area.right, area.bottom);
    }
}

void PaintTabControl(HWND tabs, HDC dc, const SkinPalette& palette, const SkinnedWindow& state) {
    RECT client;
    GetClientRect(tabs, &client);
    const RECT strip = TabStripArea(tabs);
    const int saved = SaveDC(dc);
    ExcludeVisibleChildren(tabs, dc);
    FillSolid(dc, strip, palette.colour(R::TabStrip));
    const RECT body{client.left, strip.bottom, client.right, client.bottom};
    FillSolid(dc, body, palette.colour(R::TabBody));
    DrawOutline(dc, body, palette.colour(R::TabBorder), 1, 0);

    const int selected = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    const int radius = palette.metric(Metric::TabRadius);
    // The tab control sized its tabs for its own font, so the titles keep it.
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(tabs, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < count; ++i) {
        RECT item{};
        if (!SendMessageW(tabs, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) continue;
        const bool isSelected = i == selected;
        const R face = isSelected ? R::TabSelectedFace : (i == state.hotTab ? R::TabHotFace : R::TabNormalFace);
        const R text = static_cast<R>(static_cast<int>(face) + 1);
        RECT shape = item;
        if (isSelected) InflateRect(&shape, 2, 0), shape.top -= 2;
        shape.bottom += radius + 1;  // rounds only the top corners; the body covers the rest
        const Rgb faceColour = palette.look().colour(face);
        const int clipSaved = SaveDC(dc);
        IntersectClipRect(dc, shape.left, shape.top, shape.right, item.bottom + (isSelected ? 1 : 0));
        DrawBox(dc, shape, {faceColour, faceColour, palette.colour(R::TabBorder), 1, radius, FaceStyle::Flat});
        RestoreDC(dc, clipSaved);
        SetTextColor(dc, palette.colour(text));
        const std::wstring title = TabTitle(tabs, i);
        RECT textArea = item;
        if (isSelected) OffsetRect(&textArea, 0, -1);
        DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &textArea,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
    RestoreDC(dc, saved);
}

void PaintTrackBar(HWND track, HDC target, const SkinPalette& palette, const SkinnedWindow& state) {
    RECT client;
    GetClientRect(track, &client);
    HDC dc = palette.scratch(target, client.right, client.bottom);
    if (!dc) return;
    PaintBackgroundBeneath(track, dc, client);

    RECT channel{};
    SendMessageW(track, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    RECT thumb{};
    SendMessageW(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int height = palette.metric(Metric::TrackChannelHeight);
    const int middle = (thumb.top + thumb.bottom) / 2;
    const RECT groove{channel.left, middle - height / 2, channel.right, middle - height / 2 + height};
    const Rgb grooveColour = palette.look().colour(R::TrackChannel);
    DrawBox(dc, groove,
            {grooveColour, grooveColour, palette.colour(R::TrackChannelBorder), 1, height / 2, FaceStyle::Flat});

    // Ticks along the bottom edge, placed as the control places its thumb. Asking the control
    // for each tick's place would cost a message per tick.
    const COLORREF tick = palette.colour(R::TrackTick);
    const auto minimum = static_cast<int>(SendMessageW(track, TBM_GETRANGEMIN, 0, 0));
    const auto maximum = static_cast<int>(SendMessageW(track, TBM_GETRANGEMAX, 0, 0));
    const int thumbWidth = thumb.right - thumb.left;
    const int run = channel.right - channel.left - thumbWidth;
    const auto tickAt = [&](int value) {
        const int x =
            channel.left + thumbWidth / 2 + (maximum > minimum ? run * (value - minimum) / (maximum - minimum) : 0);
        FillSolid(dc, {x, client.bottom - 2, x + 1, client.bottom}, tick);
    };
    const int ticks = static_cast<int>(SendMessageW(track, TBM_GETNUMTICS, 0, 0));
    const auto* positions = reinterpret_cast<const DWORD*>(SendMessageW(track, TBM_GETPTICS, 0, 0));
    for (int i = 0; positions && i + 2 < ticks; ++i) tickAt(static_cast<int>(positions[i]));
    if (ticks >= 2) {
        tickAt(minimum);
        tickAt(maximum);
    }

    const bool hot = state.hot || GetCapture() == track;
    const Rgb thumbColour = palette.look().colour(hot ? R::TrackThumbHot : R::TrackThumb);
    RECT knob = thumb;
    int radius = 2;
    if (palette.metric(Metric::ThumbShape) == int(ThumbShapeKind::Round)) {
        const int size = std::min(thumb.right - thumb.left + 4, thumb.bottom - thumb.top);
        const int centre = (thumb.left + thumb.right) / 2;
        knob = {centre - size / 2, middle - size / 2, centre - size / 2 + size, middle - size / 2 + size};
        radius = size / 2;
    }
    DrawBox(dc, knob, {thumbColour, thumbColour, palette.colour(R::TrackThumbBorder), 1, radius, FaceStyle::Flat});

    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

void SetHot(HWND window, SkinnedWindow& state, bool hot) {
    if (state.hot == hot) return;
    state.hot = hot;
    if (hot) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
        TrackMouseEvent(&track);
    }
    InvalidateRect(window, nullptr, FALSE);
}

// Paints through WM_PAINT and WM_PRINTCLIENT alike.
template <typename Painter>
LRESULT PaintWith(HWND window, UINT message, WPARAM wParam, Painter paint) {
    if (message == WM_PRINTCLIENT) {
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc) paint(dc);
    EndPaint(window, &ps);
    return 0;
}

}  // namespace

void DrawPushButton(const DRAWITEMSTRUCT& item, const SkinPalette& palette) {
    const SkinnedWindow* state = FindSkinned(item.hwndItem);
    const RECT area = item.rcItem;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    HDC dc = palette.scratch(item.hDC, width, height);
    if (!dc) return;
    const RECT local{0, 0, width, height};
    PaintBackgroundBeneath(item.hwndItem, dc, local);

    const R first = FirstRoleOfButtonState(item, state && state->hot);
    const BoxLook look{palette.look().colour(first),
                       palette.look().colour(Offset(first, 1)),
                       palette.colour(Offset(first, 2)),
                       palette.metric(Metric::ButtonBorderWidth),
                       std::min(palette.metric(Metric::ButtonRadius), std::min(width, height) / 2),
                       StyleOf(palette)};
    DrawBox(dc, local, look);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_DISABLED)) {
        RECT ring = local;
        InflateRect(&ring, -(look.borderWidth + 1), -(look.borderWidth + 1));
        DrawOutline(dc, ring, palette.colour(R::ButtonFocusRing), 1, std::max(0, look.radius - 2));
    }
    RECT textArea = local;
    if (item.itemState & ODS_SELECTED) OffsetRect(&textArea, 1, 1);
    DrawCaptionText(dc, item.hwndItem, textArea, palette, palette.colour(Offset(first, 3)));

    BitBlt(item.hDC, area.left, area.top, width, height, dc, 0, 0, SRCCOPY);
}

void PaintBackgroundBeneath(HWND child, HDC dc, const RECT& area) {
    const SkinPalette* palette = CurrentPalette();
    if (!palette) return;
    HWND parent = GetParent(child);
    const SkinnedWindow* parentState = parent ? FindSkinned(parent) : nullptr;
    if (parentState && parentState->kind == WindowKind::TabControl) {
        return FillSolid(dc, area, palette->colour(R::TabBody));
    }
    if (parentState && parentState->kind == WindowKind::Frame) {
        RECT span;
        GetClientRect(parent, &span);
        MapWindowPoints(parent, child, reinterpret_cast<POINT*>(&span), 2);
        return FillVerticalGradient(dc, area, span, palette->look().colour(R::WindowTop),
                                    palette->look().colour(R::WindowBottom));
    }
    FillSolid(dc, area, palette->colour(R::WindowTop));
}

bool HandleMessageForChildren(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const SkinPalette* palette = CurrentPalette();
    if (!palette) return false;
    switch (message) {
        case WM_CTLCOLORSTATIC: {
            // Labels draw their text over the skin's background, which the parent has painted.
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, palette->colour(R::LabelText));
            SetBkMode(dc, TRANSPARENT);
            result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            return true;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const SkinnedWindow* state = item ? FindSkinned(item->hwndItem) : nullptr;
            if (!state || item->CtlType != ODT_BUTTON || state->kind != WindowKind::PushButton) return false;
            DrawPushButton(*item, *palette);
            result = TRUE;
            return true;
        }
    }
    return false;
}

LRESULT PushButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        SkinnedWindow* state = FindSkinned(button);
        if (state) {
            switch (message) {
                case WM_MOUSEMOVE:
                    SetHot(button, *state, true);
                    break;
                case WM_MOUSELEAVE:
                    SetHot(button, *state, false);
                    break;
                case WM_ERASEBKGND:
                    return 1;
                case WM_LBUTTONDBLCLK:
                    // An owner-drawn button turns a quick second click into BN_DOUBLECLICKED; a
                    // push button in the system look clicks twice, and so must a skinned one.
                    return CallPrevious(button, WM_LBUTTONDOWN, wParam, lParam);
                case WM_CREATE: {
                    const LRESULT created = CallPrevious(button, message, wParam, lParam);
                    if (created != -1) MakeOwnerDrawn(button);
                    return created;
                }
            }
        }
    } catch (...) {
    }
    return CallPrevious(button, message, wParam, lParam);
}

LRESULT TabControlProc(HWND tabs, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        SkinnedWindow* state = FindSkinned(tabs);
        const SkinPalette* palette = CurrentPalette();
        if (state && palette) {
            LRESULT result = 0;
            if (HandleMessageForChildren(tabs, message, wParam, lParam, result)) return result;
            switch (message) {
                case WM_PAINT:
                case WM_PRINTCLIENT:
                    return PaintWith(tabs, message, wParam,
                                     [&](HDC dc) { PaintTabControl(tabs, dc, *palette, *state); });
                case WM_ERASEBKGND:
                    return 1;
                case WM_MOUSEMOVE:
                case WM_MOUSELEAVE: {
                    const int hot = message == WM_MOUSELEAVE ? -1 : TabUnderMouse(tabs, lParam);
                    if (hot != state->hotTab) {
                        state->hotTab = hot;
                        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, tabs, 0};
                        if (hot >= 0) TrackMouseEvent(&track);
                        const RECT strip = TabStripArea(tabs);
                        InvalidateRect(tabs, &strip, FALSE);
                    }
                    break;
                }
            }
        }
    } catch (...) {
    }
    return CallPrevious(tabs, message, wParam, lParam);
}

LRESULT TrackBarProc(HWND track, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        SkinnedWindow* state = FindSkinned(track);
        const SkinPalette* palette = CurrentPalette();
        if (state && palette) {
            switch (message) {
                case WM_PAINT:
                case WM_PRINTCLIENT:
                    return PaintWith(track, message, wParam,
                                     [&](HDC dc) { PaintTrackBar(track, dc, *palette, *state); });
                case WM_ERASEBKGND:
                    return 1;
                case WM_MOUSEMOVE: {
                    RECT thumb{};
                    SendMessageW(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
                    SetHot(track, *state, PtInRect(&thumb, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE);
                    break;
                }
                case WM_MOUSELEAVE:
                    SetHot(track, *state, false);
                    break;
                case WM_LBUTTONUP:
                case WM_CAPTURECHANGED:
                    InvalidateRect(track, nullptr, FALSE);
                    break;
            }
        }
    } catch (...) {
    }
    return CallPrevious(track, message, wParam, lParam);
}

LRESULT ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        LRESULT result = 0;
        if (FindSkinned(window) && HandleMessageForChildren(window, message, wParam, lParam, result)) return result;
    } catch (...) {
    }
    return CallPrevious(window, message, wParam, lParam);
}

}  // namespace skin_engine::win32
