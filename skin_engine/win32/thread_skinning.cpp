#include "skin_engine/win32/thread_skinning.h"

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "skin_engine/win32/skinned_window.h"

namespace skin_engine::win32 {
namespace {

struct ThreadSkin {
    std::unique_ptr<SkinPalette> palette;
    std::unordered_map<HWND, SkinnedWindow> windows;
    // Windows given back while someone else's procedure stood in front of the engine's: the
    // engine's stays in the chain and only passes messages on, until the window goes.
    std::unordered_map<HWND, WNDPROC> passedThrough;
    HHOOK creationHook = nullptr;
};

// One UI thread applies skins; the engine keeps its state for that thread alone.
ThreadSkin g_skin;

enum class Creation { Done, Starting };

using KindProc = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

KindProc ProcFor(WindowKind kind) {
    switch (kind) {
        case WindowKind::Frame:
            return FrameProc;
        case WindowKind::PushButton:
            return PushButtonProc;
        case WindowKind::TabControl:
            return TabControlProc;
        case WindowKind::TrackBar:
            return TrackBarProc;
        case WindowKind::Container:
            return ContainerProc;
    }
    return ContainerProc;
}

// The engine's window procedure, in front of every window it skins. It is subclassing by hand
// rather than with SetWindowSubclass, whose lookup on every message is costly under Wine.
LRESULT CALLBACK SkinnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        WNDPROC previous = nullptr;
        if (auto found = g_skin.windows.find(window); found != g_skin.windows.end()) {
            previous = found->second.previous;
            g_skin.windows.erase(found);
        } else if (auto passed = g_skin.passedThrough.find(window); passed != g_skin.passedThrough.end()) {
            previous = passed->second;
            g_skin.passedThrough.erase(passed);
        }
        if (!previous) return DefWindowProcW(window, message, wParam, lParam);
        if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SkinnedWindowProc)) {
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        }
        return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    const SkinnedWindow* skinned = FindSkinned(window);
    if (!skinned) return CallPrevious(window, message, wParam, lParam);
    return ProcFor(skinned->kind)(window, message, wParam, lParam);
}

bool ClassIs(HWND window, const wchar_t* name) {
    wchar_t className[64];
    return GetClassNameW(window, className, 64) && lstrcmpiW(className, name) == 0;
}

WindowKind KindOf(HWND window) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (!(style & WS_CHILD)) return WindowKind::Frame;
    if (ClassIs(window, L"Button")) {
        const LONG_PTR type = style & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) return WindowKind::PushButton;
    }
    if (ClassIs(window, WC_TABCONTROLW)) return WindowKind::TabControl;
    if (ClassIs(window, TRACKBAR_CLASSW)) return WindowKind::TrackBar;
    return WindowKind::Container;
}

// Top-level windows without a caption (menus, tooltips, IME windows) are left to the system.
bool WantsSkin(HWND window) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    return (style & WS_CHILD) || (style & WS_CAPTION) == WS_CAPTION;
}

void UseDwmFrame(HWND window, bool useDwm) {
    // With desktop composition on, the system draws top-level frames itself unless told not to.
    static const auto setAttribute = [] {
        HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
        using Setter = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
        return dwm ? reinterpret_cast<Setter>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")))
                   : nullptr;
    }();
    constexpr DWORD kNonClientRenderingPolicy = 2;  // DWMWA_NCRENDERING_POLICY
    const DWORD policy = useDwm ? 0 /* DWMNCRP_USEWINDOWSTYLE */ : 1 /* DWMNCRP_DISABLED */;
    if (setAttribute) setAttribute(window, kNonClientRenderingPolicy, &policy, sizeof(policy));
}

void TakeOver(HWND window, Creation creation) {
    if (g_skin.windows.count(window) || !WantsSkin(window)) return;
    SkinnedWindow skinned;
    skinned.kind = KindOf(window);
    skinned.originalStyle = GetWindowLongPtrW(window, GWL_STYLE);
    if (auto passed = g_skin.passedThrough.find(window); passed != g_skin.passedThrough.end()) {
        skinned.previous = passed->second;  // the engine's procedure is still in the chain
        g_skin.passedThrough.erase(passed);
    } else {
        skinned.previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinnedWindowProc)));
        if (!skinned.previous) return;
    }
    // An owner-drawn button asks its parent to draw every state change, so no system-drawn
    // state ever shows between two of ours. A button being created turns owner-drawn once its
    // own WM_CREATE has run (PushButtonProc).
    if (skinned.kind == WindowKind::PushButton && creation == Creation::Done) MakeOwnerDrawn(window);
    if (skinned.kind == WindowKind::Frame) {
        skinned.active = GetActiveWindow() == window;
        UseDwmFrame(window, false);
    }
    g_skin.windows.emplace(window, skinned);
}

void GiveBack(HWND window, const SkinnedWindow& skinned) {
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SkinnedWindowProc)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(skinned.previous));
    } else {
        g_skin.passedThrough[window] = skinned.previous;
    }
    if (skinned.kind == WindowKind::PushButton) {
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        SetWindowLongPtrW(window, GWL_STYLE, (style & ~BS_TYPEMASK) | (skinned.originalStyle & BS_TYPEMASK));
    }
}

BOOL CALLBACK TakeOverChild(HWND child, LPARAM) {
    TakeOver(child, Creation::Done);
    return TRUE;
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadTopLevelWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void RepaintCompletely(HWND window, bool frameChanged) {
    if (frameChanged) {
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Windows created after the skin was applied are taken over as they are created. A CBT hook
// runs only at such events; a hook on every message would slow every message of the thread.
LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && g_skin.palette) {
        try {
            TakeOver(reinterpret_cast<HWND>(wParam), Creation::Starting);
        } catch (...) {
            // A window the engine cannot follow keeps the system's look.
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void MakeOwnerDrawn(HWND button) {
    const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
    SetWindowLongPtrW(button, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
}

const SkinPalette* CurrentPalette() { return g_skin.palette.get(); }

SkinnedWindow* FindSkinned(HWND window) {
    auto found = g_skin.windows.find(window);
    return found == g_skin.windows.end() ? nullptr : &found->second;
}

LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = nullptr;
    if (auto found = g_skin.windows.find(window); found != g_skin.windows.end()) {
        previous = found->second.previous;
    } else if (auto passed = g_skin.passedThrough.find(window); passed != g_skin.passedThrough.end()) {
        previous = passed->second;
    }
    return previous ? CallWindowProcW(previous, window, message, wParam, lParam)
                    : DefWindowProcW(window, message, wParam, lParam);
}

void ApplySkinToThread(const SkinLook& look) {
    // The old palette stays alive until every window has been repainted with the new one.
    auto previous = std::move(g_skin.palette);
    g_skin.palette = std::make_unique<SkinPalette>(look);
    if (!g_skin.creationHook) {
        g_skin.creationHook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    }
    const std::vector<HWND> topLevel = ThreadTopLevelWindows();
    for (HWND window : topLevel) {
        if (!WantsSkin(window)) continue;
        TakeOver(window, Creation::Done);
        EnumChildWindows(window, TakeOverChild, 0);
    }
    for (HWND window : topLevel) {
        if (FindSkinned(window)) RepaintCompletely(window, false);
    }
}

void RemoveSkinFromThread() {
    if (g_skin.creationHook) {
        UnhookWindowsHookEx(g_skin.creationHook);
        g_skin.creationHook = nullptr;
    }
    const auto windows = std::move(g_skin.windows);
    g_skin.windows.clear();
    for (const auto& [window, skinned] : windows) GiveBack(window, skinned);
    g_skin.palette.reset();
    for (const auto& [window, skinned] : windows) {
        if (skinned.kind != WindowKind::Frame) continue;
        UseDwmFrame(window, true);
        RepaintCompletely(window, true);
    }
}

}  // namespace skin_engine::win32
