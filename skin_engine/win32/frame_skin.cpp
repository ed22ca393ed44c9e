// Top-level windows: the frame, the caption bar with its icon, title and buttons, and the client
// background.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <string>

#include "skin_engine/win32/drawing.h"
#include "skin_engine/win32/skinned_window.h"

namespace skin_engine::win32 {
namespace {

using R = ColourRole;

// Undocumented messages with which themed Windows redraws captions behind WM_NCPAINT's back.
constexpr UINT kThemedCaptionDraw = 0x00AE;
constexpr UINT kThemedFrameDraw = 0x00AF;

struct FrameGeometry {
    SIZE window;
    RECT client;  // window coordinates
    RECT caption;
    RECT icon;
    std::array<std::pair<CaptionButton, RECT>, 3> buttons{};  // right to left; None when absent
};

FrameGeometry MeasureFrame(HWND frame) {
    FrameGeometry g{};
    RECT outer;
    GetWindowRect(frame, &outer);
    g.window = {outer.right - outer.left, outer.bottom - outer.top};
    GetClientRect(frame, &g.client);
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&g.client), 2);
    OffsetRect(&g.client, -outer.left, -outer.top);
    const int border = std::max<int>(0, g.client.left);
    g.caption = {border, border, g.window.cx - border, std::max<LONG>(border, g.client.top)};
    const int height = g.caption.bottom - g.caption.top;
    const int iconSize = std::min(GetSystemMetrics(SM_CXSMICON), std::max(0, height - 2));
    const int iconTop = g.caption.top + (height - iconSize) / 2;
    g.icon = {g.caption.left + 4, iconTop, g.caption.left + 4 + iconSize, iconTop + iconSize};

    const LONG_PTR style = GetWindowLongPtrW(frame, GWL_STYLE);
    if (!(style & WS_SYSMENU)) return g;
    const int size = std::max(10, height - 5);
    const int top = g.caption.top + (height - size) / 2;
    int right = g.caption.right - 3;
    size_t slot = 0;
    const auto add = [&](CaptionButton button) {
        g.buttons[slot++] = {button, {right - size, top, right, top + size}};
        right -= size + 2;
    };
    add(CaptionButton::Close);
    if (style & WS_MAXIMIZEBOX) add(CaptionButton::Maximise);
    if (style & WS_MINIMIZEBOX) add(CaptionButton::Minimise);
    return g;
}

CaptionButton ButtonAt(const FrameGeometry& g, POINT windowPoint) {
    for (const auto& [button, area] : g.buttons) {
        if (button != CaptionButton::None && PtInRect(&area, windowPoint)) return button;
    }
    return CaptionButton::None;
}

POINT ScreenToWindowPoint(HWND frame, POINT screen) {
    RECT outer;
    GetWindowRect(frame, &outer);
    return {screen.x - outer.left, screen.y - outer.top};
}

HICON SmallIcon(HWND frame) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(frame, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(frame, WM_GETICON, ICON_SMALL2, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(frame, GCLP_HICONSM));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(frame, GCLP_HICON));
    return icon;
}

void DrawGlyph(HDC dc, CaptionButton button, const RECT& area, COLORREF colour) {
    const int w = area.right - area.left;
    const int inset = w * 3 / 10;
    const RECT g{area.left + inset, area.top + inset, area.right - inset, area.bottom - inset};
    switch (button) {
        case CaptionButton::Close:
            DrawLine(dc, g.left, g.top, g.right, g.bottom, colour, 2);
            DrawLine(dc, g.left, g.bottom - 1, g.right, g.top - 1, colour, 2);
            break;
        case CaptionButton::Minimise:
            FillSolid(dc, {g.left, g.bottom - 2, g.right, g.bottom}, colour);
            break;
        case CaptionButton::Maximise:
            DrawOutline(dc, g, colour, 1, 0);
            FillSolid(dc, {g.left, g.top, g.right, g.top + 2}, colour);
            break;
        case CaptionButton::None:
            break;
    }
}

void DrawCaptionButton(HDC dc, const SkinPalette& palette, const SkinnedWindow& state, CaptionButton button,
                       const RECT& area) {
    R face = R::CaptionButtonFace;
    R glyph = state.active ? R::CaptionButtonGlyph : R::CaptionButtonInactiveGlyph;
    if (state.pressedButton == button && state.pressedButtonUnderMouse) {
        face = R::CaptionButtonPressedFace;
        glyph = R::CaptionButtonPressedGlyph;
    } else if (state.hotButton == button && state.pressedButton == CaptionButton::None) {
        const bool close = button == CaptionButton::Close;
        face = close ? R::CloseButtonHotFace : R::CaptionButtonHotFace;
        glyph = close ? R::CloseButtonHotGlyph : R::CaptionButtonHotGlyph;
    }
    const bool round = palette.metric(Metric::CaptionButtonShape) == int(CaptionButtonShapeKind::Round);
    const int radius = round ? (area.right - area.left) / 2 : 2;
    const Rgb faceColour = palette.look().colour(face);
    DrawBox(dc, area, {faceColour, faceColour, palette.colour(face), 0, radius, FaceStyle::Flat});
    DrawGlyph(dc, button, area, palette.colour(glyph));
}

void DrawCaption(HDC dc, HWND frame, const FrameGeometry& g, const SkinPalette& palette, const SkinnedWindow& state) {
    const R left = state.active ? R::CaptionActiveLeft : R::CaptionInactiveLeft;
    const R right = state.active ? R::CaptionActiveRight : R::CaptionInactiveRight;
    const RECT whole{0, 0, g.window.cx, g.window.cy};
    const Rgb from = palette.look().colour(left);
    const Rgb to = palette.look().colour(right);
    // The frame around the client shares the caption's colours.
    if (palette.metric(Metric::CaptionGradient) == int(CaptionGradientKind::Vertical)) {
        FillVerticalGradient(dc, whole, {0, 0, g.window.cx, g.caption.bottom}, from, to);
        FillSolid(dc, {0, g.caption.bottom, g.window.cx, g.window.cy}, palette.colour(right));
    } else {
        FillHorizontalGradient(dc, whole, whole, from, to);
    }
    const int line = palette.metric(Metric::FrameLineWidth);
    if (line > 0) DrawOutline(dc, whole, palette.colour(state.active ? R::FrameActive : R::FrameInactive), line, 0);

    if (HICON icon = SmallIcon(frame)) {
        DrawIconEx(dc, g.icon.left, g.icon.top, icon, g.icon.right - g.icon.left, g.icon.bottom - g.icon.top, 0,
                   nullptr, DI_NORMAL);
    }
    int textRight = g.caption.right - 4;
    for (const auto& [button, area] : g.buttons) {
        if (button == CaptionButton::None) continue;
        DrawCaptionButton(dc, palette, state, button, area);
        textRight = std::min<int>(textRight, area.left - 4);
    }
    std::wstring title(static_cast<size_t>(GetWindowTextLengthW(frame)) + 1, L'\0');
    title.resize(static_cast<size_t>(GetWindowTextW(frame, title.data(), static_cast<int>(title.size()))));
    RECT textArea{g.icon.right + 5, g.caption.top, textRight, g.caption.bottom};
    HGDIOBJ oldFont = SelectObject(dc, palette.captionFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, palette.colour(state.active ? R::CaptionActiveText : R::CaptionInactiveText));
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &textArea,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

void RepaintFrameIfSkinned(HWND frame) {
    if (IsWindow(frame) && FindSkinned(frame)) PaintFrame(frame);
}

void SetHotButton(HWND frame, SkinnedWindow& state, CaptionButton hot) {
    if (state.hotButton == hot) return;
    state.hotButton = hot;
    PaintFrame(frame);
}

UINT SystemCommandOf(CaptionButton button) {
    switch (button) {
        case CaptionButton::Close:
            return SC_CLOSE;
        case CaptionButton::Minimise:
            return SC_MINIMIZE;
        case CaptionButton::Maximise:
            return SC_MAXIMIZE;
        case CaptionButton::None:
            break;
    }
    return 0;
}

CaptionButton ButtonOfHit(WPARAM hit) {
    switch (hit) {
        case HTCLOSE:
            return CaptionButton::Close;
        case HTMINBUTTON:
            return CaptionButton::Minimise;
        case HTMAXBUTTON:
            return CaptionButton::Maximise;
    }
    return CaptionButton::None;
}

LRESULT HitTest(HWND frame, WPARAM wParam, LPARAM lParam) {
    const LRESULT system = CallPrevious(frame, WM_NCHITTEST, wParam, lParam);
    const FrameGeometry g = MeasureFrame(frame);
    const POINT point = ScreenToWindowPoint(frame, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    switch (ButtonAt(g, point)) {
        case CaptionButton::Close:
            return HTCLOSE;
        case CaptionButton::Minimise:
            return HTMINBUTTON;
        case CaptionButton::Maximise:
            return HTMAXBUTTON;
        case CaptionButton::None:
            break;
    }
    if (PtInRect(&g.icon, point) && (GetWindowLongPtrW(frame, GWL_STYLE) & WS_SYSMENU)) return HTSYSMENU;
    // The system's buttons sit elsewhere; where ours are not, the caption is just caption.
    if (system == HTCLOSE || system == HTMINBUTTON || system == HTMAXBUTTON || system == HTSYSMENU) return HTCAPTION;
    return system;
}

// Pressing a caption button: the button shows pressed while the mouse stays on it, and acts
// when released over it.
bool TrackCaptionButton(HWND frame, SkinnedWindow& state, UINT message, LPARAM lParam) {
    if (state.pressedButton == CaptionButton::None) return false;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(frame, &point);
    const bool under = ButtonAt(MeasureFrame(frame), ScreenToWindowPoint(frame, point)) == state.pressedButton;
    if (message == WM_MOUSEMOVE) {
        if (under != state.pressedButtonUnderMouse) {
            state.pressedButtonUnderMouse = under;
            PaintFrame(frame);
        }
        return true;
    }
    const CaptionButton released = state.pressedButton;
    state.pressedButton = CaptionButton::None;
    ReleaseCapture();
    PaintFrame(frame);
    if (under) PostMessageW(frame, WM_SYSCOMMAND, SystemCommandOf(released), 0);
    return true;
}

}  // namespace

void PaintFrame(HWND frame) {
    const SkinPalette* palette = CurrentPalette();
    SkinnedWindow* state = FindSkinned(frame);
    if (!palette || !state || !IsWindowVisible(frame)) return;
    const FrameGeometry g = MeasureFrame(frame);
    HDC dc = GetWindowDC(frame);
    if (!dc) return;
    if (HDC memory = palette->scratch(dc, g.window.cx, g.window.cy)) {
        DrawCaption(memory, frame, g, *palette, *state);
        ExcludeClipRect(dc, g.client.left, g.client.top, g.client.right, g.client.bottom);
        BitBlt(dc, 0, 0, g.window.cx, g.window.cy, memory, 0, 0, SRCCOPY);
    }
    ReleaseDC(frame, dc);
}

void PaintFrameBackground(HWND frame, HDC dc, const SkinPalette& palette) {
    RECT client;
    GetClientRect(frame, &client);
    FillVerticalGradient(dc, client, client, palette.look().colour(R::WindowTop),
                         palette.look().colour(R::WindowBottom));
}

LRESULT FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        SkinnedWindow* state = FindSkinned(frame);
        const SkinPalette* palette = CurrentPalette();
        if (!state || !palette) return CallPrevious(frame, message, wParam, lParam);
        LRESULT result = 0;
        if (HandleMessageForChildren(frame, message, wParam, lParam, result)) return result;
        switch (message) {
            case WM_NCPAINT:
                PaintFrame(frame);
                return 0;
            case WM_NCACTIVATE:
                state->active = wParam != FALSE;
                CallPrevious(frame, message, wParam, -1);  // -1: update the state, draw nothing
                PaintFrame(frame);
                return TRUE;
            case WM_ERASEBKGND:
                PaintFrameBackground(frame, reinterpret_cast<HDC>(wParam), *palette);
                return 1;
            case WM_NCHITTEST:
                return HitTest(frame, wParam, lParam);
            case WM_NCMOUSEMOVE: {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, frame, 0};
                TrackMouseEvent(&track);
                SetHotButton(frame, *state, ButtonOfHit(wParam));
                return CallPrevious(frame, message, wParam, lParam);
            }
            case WM_NCMOUSELEAVE:
                SetHotButton(frame, *state, CaptionButton::None);
                return CallPrevious(frame, message, wParam, lParam);
            case WM_NCLBUTTONDOWN:
            case WM_NCLBUTTONDBLCLK:
                if (ButtonOfHit(wParam) != CaptionButton::None) {
                    state->pressedButton = ButtonOfHit(wParam);
                    state->pressedButtonUnderMouse = true;
                    SetCapture(frame);
                    PaintFrame(frame);
                    return 0;
                }
                break;
            case WM_MOUSEMOVE:
            case WM_LBUTTONUP:
                if (TrackCaptionButton(frame, *state, message, lParam)) return 0;
                break;
            case WM_CAPTURECHANGED:
                if (state->pressedButton != CaptionButton::None && reinterpret_cast<HWND>(lParam) != frame) {
                    state->pressedButton = CaptionButton::None;
                    PaintFrame(frame);
                }
                break;
            case kThemedCaptionDraw:
            case kThemedFrameDraw:
                return 0;
        }
        // The default handling of these draws the system's caption directly; draw ours over it.
        switch (message) {
            case WM_SETTEXT:
            case WM_SETICON:
            case WM_NCLBUTTONDOWN:
            case WM_NCLBUTTONDBLCLK:
            case WM_NCRBUTTONDOWN:
            case WM_NCRBUTTONUP:
            case WM_SYSCOMMAND:
            case WM_ENABLE:
            case WM_STYLECHANGED:
            case WM_INITMENUPOPUP: {
                const LRESULT answer = CallPrevious(frame, message, wParam, lParam);
                RepaintFrameIfSkinned(frame);
                return answer;
            }
        }
    } catch (...) {
        // Painting must never take the window down; the system's handling goes on below.
    }
    return CallPrevious(frame, message, wParam, lParam);
}

}  // namespace skin_engine::win32
