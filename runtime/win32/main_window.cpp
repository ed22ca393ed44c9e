#include "runtime/win32/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "runtime/controls.h"
#include "runtime/program.h"
#include "runtime/win32/transparent_label.h"
#include "runtime/win32/wide_text.h"

namespace rt::win32 {
namespace {

constexpr wchar_t kMainWindowClass[] = L"SonitraMainWindow";
constexpr int kFirstControlId = 100;
constexpr int kAppIconId = 1;
constexpr int kSkinLabelFontHeight = -20;
// Room the tab control keeps beside its tabs, and for the selected tab to stand out.
constexpr int kTabStripMargin = 8;

struct Control {
    const ControlLayout* layout;
    HWND window;
};

struct MainWindowState {
    const WindowLayout* layout = nullptr;
    HWND window = nullptr;
    HWND tabControl = nullptr;
    std::vector<Control> controls;
    HFONT skinLabelFont = nullptr;
};

MainWindowState g_main;

struct KindStyle {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
};

KindStyle StyleOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label: return {L"STATIC", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, 0};
    case ControlKind::Slider: return {TRACKBAR_CLASSW, TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM, 0};
    case ControlKind::PushButton: return {L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER, 0};
    case ControlKind::TransparentLabel: return {kTransparentLabelClass, 0, WS_EX_TRANSPARENT};
    case ControlKind::TabControl: return {WC_TABCONTROLW, TCS_TABS | TCS_SINGLELINE | TCS_FIXEDWIDTH, 0};
    }
    return {L"STATIC", 0, 0};
}

bool IsOnShownPage(const ControlLayout& layout, int selectedPage) {
    return layout.page == 0 || layout.page == selectedPage;
}

void RunHandler(const ControlLayout& layout) {
    if (!layout.onEvent) return;
    try {
        layout.onEvent(layout.tag);
    } catch (const std::bad_alloc&) {
        RaiseRuntimeError(0, "Out of memory.");
    } catch (const std::exception& error) {
        RaiseRuntimeError(0, error.what());
    }
}

const Control* ControlById(int id) {
    const size_t index = static_cast<size_t>(id - kFirstControlId);
    return index < g_main.controls.size() ? &g_main.controls[index] : nullptr;
}

void ShowPage(int page) {
    for (const Control& control : g_main.controls) {
        if (control.layout->page == 0) continue;
        ShowWindow(control.window, control.layout->page == page ? SW_SHOWNA : SW_HIDE);
    }
}

void OnCommand(WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED) return;
    if (const Control* control = ControlById(LOWORD(wParam))) RunHandler(*control->layout);
}

void OnHorizontalScroll(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == TB_ENDTRACK || lParam == 0) return;
    if (const Control* control = ControlById(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)))) RunHandler(*control->layout);
}

// Buttons on the tab pages are children of the tab control, so their clicks arrive there.
LRESULT CALLBACK TabControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_COMMAND) {
        OnCommand(wParam);
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(wParam);
        return 0;
    case WM_HSCROLL:
        OnHorizontalScroll(wParam, lParam);
        return 0;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == g_main.tabControl && header->code == TCN_SELCHANGE) {
            ShowPage(TabCtrl_GetCurSel(g_main.tabControl) + 1);
        }
        return 0;
    }
    case WM_DESTROY:
        g_main.window = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassExW(&windowClass);
    RegisterTransparentLabelClass(instance);
}

HWND CreateFrame(const WindowLayout& layout, HINSTANCE instance) {
    // Centred on the whole primary screen (not the work area), halves rounded toward zero.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - layout.width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - layout.height) / 2;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    return CreateWindowExW(WS_EX_TOPMOST | WS_EX_APPWINDOW, kMainWindowClass, WideFromUtf8(layout.caption).c_str(), style,
                           left, top, layout.width, layout.height, nullptr, nullptr, instance, nullptr);
}

void SetUpSlider(HWND slider, const SliderRange& range) {
    SendMessageW(slider, TBM_SETRANGEMIN, FALSE, range.minimum);
    SendMessageW(slider, TBM_SETRANGEMAX, FALSE, range.maximum);
    SendMessageW(slider, TBM_SETTICFREQ, 1, 0);
    SendMessageW(slider, TBM_SETLINESIZE, 0, range.lineStep);
    SendMessageW(slider, TBM_SETPAGESIZE, 0, range.pageStep);
    SendMessageW(slider, TBM_SETPOS, TRUE, range.position);
}

void SetUpTabs(HWND tabControl, const WindowLayout& layout) {
    for (size_t i = 0; i < layout.pageTitles.size(); ++i) {
        std::wstring title = WideFromUtf8(layout.pageTitles[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title.data();
        SendMessageW(tabControl, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    // Every page's tab in view at once: equal shares of the strip, whatever the font's width.
    RECT firstTab{};
    TabCtrl_GetItemRect(tabControl, 0, &firstTab);
    RECT strip{};
    GetClientRect(tabControl, &strip);
    const int pages = static_cast<int>(std::max<size_t>(layout.pageTitles.size(), 1));
    TabCtrl_SetItemSize(tabControl, (strip.right - kTabStripMargin) / pages, firstTab.bottom - firstTab.top);
    TabCtrl_SetCurSel(tabControl, 0);
    SetWindowSubclass(tabControl, TabControlProc, 0, 0);
}

HWND CreateControl(const ControlLayout& layout, int id, HINSTANCE instance) {
    const KindStyle kind = StyleOf(layout.kind);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style;
    if (layout.tabStop == TabStop::Yes) style |= WS_TABSTOP;
    HWND parent = layout.page == 0 ? g_main.window : g_main.tabControl;
    HWND control = CreateWindowExW(kind.exStyle, kind.windowClass, WideFromUtf8(layout.text).c_str(), style, layout.left,
                                   layout.top, layout.width, layout.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!control) RaiseRuntimeError(0, "The window layout could not be loaded.");
    // Earlier rows lie above later ones.
    SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool skinLabel = layout.kind == ControlKind::TransparentLabel;
    HGDIOBJ font = skinLabel ? g_main.skinLabelFont : GetStockObject(DEFAULT_GUI_FONT);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (layout.kind == ControlKind::Slider) SetUpSlider(control, layout.slider);
    if (layout.kind == ControlKind::TabControl) {
        g_main.tabControl = control;
        SetUpTabs(control, *g_main.layout);
    }
    return control;
}

void CreateControls(const WindowLayout& layout, HINSTANCE instance) {
    g_main.controls.reserve(layout.controls.size());
    for (const ControlLayout& row : layout.controls) {
        const int id = kFirstControlId + static_cast<int>(g_main.controls.size());
        g_main.controls.push_back({&row, CreateControl(row, id, instance)});
    }
    for (const Control& control : g_main.controls) {
        ShowWindow(control.window, IsOnShownPage(*control.layout, 1) ? SW_SHOWNA : SW_HIDE);
    }
}

}  // namespace

bool LoadMainWindow(const WindowLayout& layout) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterMainWindowClass(instance);
    g_main.layout = &layout;
    g_main.skinLabelFont = CreateFontW(kSkinLabelFontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, nullptr);
    g_main.window = CreateFrame(layout, instance);
    if (!g_main.window) RaiseRuntimeError(0, "The main window could not be loaded.");
    SendMessageW(g_main.window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    CreateControls(layout, instance);
    if (layout.onCreated) layout.onCreated();
    if (!g_main.window) return false;
    ShowWindow(g_main.window, SW_SHOW);
    return true;
}

HWND FindControl(std::string_view controlName) {
    for (const Control& control : g_main.controls) {
        if (control.layout->name == controlName) return control.window;
    }
    return nullptr;
}

}  // namespace rt::win32

namespace rt {

std::string ControlText(std::string_view controlName) {
    HWND control = win32::FindControl(controlName);
    if (!control) return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return win32::Utf8FromWide(text);
}

void SetControlText(std::string_view controlName, std::string_view text) {
    if (HWND control = win32::FindControl(controlName)) SetWindowTextW(control, win32::WideFromUtf8(text).c_str());
}

int32_t SliderPosition(std::string_view controlName) {
    HWND control = win32::FindControl(controlName);
    return control ? static_cast<int32_t>(SendMessageW(control, TBM_GETPOS, 0, 0)) : 0;
}

}  // namespace rt
