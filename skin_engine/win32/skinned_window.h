#pragma once
// The windows the engine has taken over on this thread, what kind each is, and the little state
// their painting needs. Only the thread that applied the skin touches any of this.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "skin_engine/win32/skin_palette.h"

namespace skin_engine::win32 {

enum class WindowKind { Frame, PushButton, TabControl, TrackBar, Container };

enum class CaptionButton { None, Minimise, Maximise, Close };

struct SkinnedWindow {
    WindowKind kind = WindowKind::Container;
    LONG_PTR originalStyle = 0;  // push buttons draw themselves again when the skin goes
    bool hot = false;
    int hotTab = -1;
    CaptionButton hotButton = CaptionButton::None;
    CaptionButton pressedButton = CaptionButton::None;
    bool pressedButtonUnderMouse = false;
    bool active = false;
    WNDPROC previous = nullptr;  // the window procedure the engine's stands in front of
};

// The skin being shown; null when none is.
const SkinPalette* CurrentPalette();

// The engine's record of a window, or null when the window is not skinned.
SkinnedWindow* FindSkinned(HWND window);

void MakeOwnerDrawn(HWND button);

// Passes a message on to the window procedure the engine stands in front of.
LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The engine's handling for each kind of window; what they do not handle they pass on with
// CallPrevious. The engine's own window procedure picks one by the window's kind.
LRESULT FrameProc(HWND, UINT, WPARAM, LPARAM);
LRESULT PushButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT TabControlProc(HWND, UINT, WPARAM, LPARAM);
LRESULT TrackBarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ContainerProc(HWND, UINT, WPARAM, LPARAM);

// Messages a window receives on behalf of its children: label colours and owner-drawn buttons.
// Returns true and sets `result` when it handled the message.
bool HandleMessageForChildren(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Paints, into a child's DC, what its parent shows beneath `area` (child coordinates).
void PaintBackgroundBeneath(HWND child, HDC dc, const RECT& area);

// Paints a top-level window's client background.
void PaintFrameBackground(HWND frame, HDC dc, const SkinPalette& palette);

// Draws a skinned push button from its WM_DRAWITEM description.
void DrawPushButton(const DRAWITEMSTRUCT& item, const SkinPalette& palette);

// Repaints a top-level window's frame and caption.
void PaintFrame(HWND frame);

}  // namespace skin_engine::win32
