#include "runtime/win32/transparent_label.h"

#include <string>

namespace rt::win32 {
namespace {

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The parent decides the text colour through WM_CTLCOLORSTATIC, as for any static control,
// so a skin that colours the window's labels colours this one too.
void PaintText(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SendMessageW(GetParent(window), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    RECT client;
    GetClientRect(window, &client);
    std::wstring text = WindowText(window);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

// Repaints the part of the parent that lies beneath the label, so nothing of the old text stays.
void RepaintWhatLiesBeneath(HWND window) {
    HWND parent = GetParent(window);
    RECT area;
    GetWindowRect(window, &area);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT CALLBACK TransparentLabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintText(window);
        return 0;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_SETFONT:
        SetPropW(window, L"SonitraFont", reinterpret_cast<HANDLE>(wParam));
        if (LOWORD(lParam)) InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(GetPropW(window, L"SonitraFont"));
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        if (IsWindowVisible(window)) RepaintWhatLiesBeneath(window);
        return result;
    }
    case WM_NCDESTROY:
        RemovePropW(window, L"SonitraFont");
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void RegisterTransparentLabelClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = TransparentLabelProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kTransparentLabelClass;
    RegisterClassExW(&windowClass);
}

}  // namespace rt::win32
