#include "skin_engine/win32/host/look_alike_window.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "runtime/win32/transparent_label.h"
#include "skins/skin_package_table.h"

namespace skin_engine::host {
namespace {

constexpr wchar_t kFrameClass[] = L"SkinEngineLookAlike";

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == TCN_SELCHANGE) return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND Child(const wchar_t* windowClass, const wchar_t* text, DWORD style, int x, int y, int w, int h, HWND parent,
           DWORD exStyle = 0) {
    HWND control = CreateWindowExW(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, x, y, w,
                                   h, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

void RegisterClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = FrameProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = kFrameClass;
    RegisterClassExW(&windowClass);
    rt::win32::RegisterTransparentLabelClass(GetModuleHandleW(nullptr));
}

const wchar_t* const kCaptions[] = {L"DJ搓碟", L"欢迎", L"掌声", L"大笑", L"尖叫", L"口哨", L"鼓掌", L"礼炮"};

}  // namespace

LookAlikeWindow CreateLookAlikeWindow() {
    RegisterClasses();
    LookAlikeWindow w;
    w.frame = CreateWindowExW(WS_EX_TOPMOST | WS_EX_APPWINDOW, kFrameClass, L"Orvane辅助音效",
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 40, 40, 374, 363, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(w.frame, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    w.volumeLabel = Child(L"STATIC", L"音量：", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, 10, 8, 32, 16, w.frame);
    w.slider =
        Child(TRACKBAR_CLASSW, L"", TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM | WS_TABSTOP, 48, 10, 136, 16, w.frame);
    SendMessageW(w.slider, TBM_SETRANGEMIN, FALSE, 1);
    SendMessageW(w.slider, TBM_SETRANGEMAX, FALSE, 100);
    SendMessageW(w.slider, TBM_SETTICFREQ, 1, 0);
    SendMessageW(w.slider, TBM_SETPOS, TRUE, 60);
    const DWORD push = BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER | WS_TABSTOP;
    w.previousSkin = Child(L"BUTTON", L"《界面", push, 194, 6, 50, 20, w.frame);
    w.skinLabel = Child(rt::win32::kTransparentLabelClass, L"", 0, 245, 1, 24, 31, w.frame, WS_EX_TRANSPARENT);
    static HFONT skinLabelFont =
        CreateFontW(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, nullptr);
    SendMessageW(w.skinLabel, WM_SETFONT, reinterpret_cast<WPARAM>(skinLabelFont), FALSE);
    w.nextSkin = Child(L"BUTTON", L"切换》", push, 271, 6, 50, 20, w.frame);
    w.tabs = Child(WC_TABCONTROLW, L"", TCS_TABS | TCS_SINGLELINE, 0, 32, 368, 296, w.frame);
    const wchar_t* titles[] = {L"主持人专用", L"MC喊麦专用", L"搞笑类效果", L"人物类效果", L"生活类效果"};
    for (int i = 0; i < 5; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(titles[i]);
        SendMessageW(w.tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 5; ++column) {
            w.pageButtons.push_back(
                Child(L"BUTTON", kCaptions[(row + column) % 8], push, 8 + column * 71, 28 + row * 30, 66, 26, w.tabs));
        }
    }
    w.pageButtons.push_back(Child(L"BUTTON", L"停止播放", push, 292, 266, 66, 24, w.tabs));
    w.disabledButton = Child(L"BUTTON", L"暂停", push, 8, 266, 66, 24, w.tabs);
    EnableWindow(w.disabledButton, FALSE);
    ShowWindow(w.frame, SW_SHOW);
    UpdateWindow(w.frame);
    return w;
}

AttachRes LoadSkinEngine() {
    static AttachRes attach = [] {
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring folder(path, length);
        folder.resize(folder.find_last_of(L'\\') + 1);
        HMODULE engine = LoadLibraryW((folder + L"SkinH_EL.dll").c_str());
        return engine ? reinterpret_cast<AttachRes>(reinterpret_cast<void*>(GetProcAddress(engine, "SkinH_AttachRes")))
                      : nullptr;
    }();
    return attach;
}

int ApplySkinNumber(AttachRes attach, int n) {
    if (n < 1 || n > skins::kSkinCount) return attach(nullptr, 0, "", 0, 0, 0);
    const skins::SkinPackage& stored = skins::SkinPackageTable[static_cast<size_t>(n - 1)];
    // The engine must keep nothing of what it is given: hand it a copy and spoil the copy after.
    std::vector<unsigned char> copy(stored.data, stored.data + stored.length);
    const int result = attach(copy.data(), static_cast<int>(copy.size()), "", 0, 0, 0);
    std::fill(copy.begin(), copy.end(), 0xCD);
    return result;
}

Capture CaptureWindow(HWND window) {
    RECT outer;
    GetWindowRect(window, &outer);
    Capture capture;
    capture.width = outer.right - outer.left;
    capture.height = outer.bottom - outer.top;
    capture.pixels.resize(static_cast<size_t>(capture.width) * capture.height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), capture.width, -capture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < capture.pixels.size(); ++i) capture.pixels[i] = pixels[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return capture;
}

bool WriteBitmapFile(const Capture& capture, const wchar_t* path) {
    BITMAPINFOHEADER info{sizeof(info), capture.width, -capture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD pixelBytes = static_cast<DWORD>(capture.pixels.size() * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixelBytes;
    HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof(file), &written, nullptr) &&
              WriteFile(out, &info, sizeof(info), &written, nullptr) &&
              WriteFile(out, capture.pixels.data(), pixelBytes, &written, nullptr);
    CloseHandle(out);
    return ok;
}

}  // namespace skin_engine::host
