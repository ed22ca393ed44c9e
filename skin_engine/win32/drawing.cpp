#include "skin_engine/win32/drawing.h"

#include <algorithm>
#include <cstdlib>

namespace skin_engine::win32 {
namespace {

void FillRowWith(HDC dc, const RECT& row, Rgb colour) {
    SetDCBrushColor(dc, RGB(colour.red, colour.green, colour.blue));
    FillRect(dc, &row, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

double Fraction(int at, int start, int length) { return length <= 1 ? 0.0 : double(at - start) / (length - 1); }

}  // namespace

void FillSolid(HDC dc, const RECT& area, COLORREF colour) {
    SetDCBrushColor(dc, colour);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void FillVerticalGradient(HDC dc, const RECT& area, const RECT& span, Rgb top, Rgb bottom) {
    if (top == bottom) return FillSolid(dc, area, RGB(top.red, top.green, top.blue));
    const int height = span.bottom - span.top;
    for (int y = std::max(area.top, span.top); y < std::min(area.bottom, span.bottom); ++y) {
        FillRowWith(dc, {area.left, y, area.right, y + 1}, Mix(top, bottom, Fraction(y, span.top, height)));
    }
}

void FillHorizontalGradient(HDC dc, const RECT& area, const RECT& span, Rgb left, Rgb right) {
    if (left == right) return FillSolid(dc, area, RGB(left.red, left.green, left.blue));
    const int width = span.right - span.left;
    for (int x = std::max(area.left, span.left); x < std::min(area.right, span.right); ++x) {
        FillRowWith(dc, {x, area.top, x + 1, area.bottom}, Mix(left, right, Fraction(x, span.left, width)));
    }
}

void DrawOutline(HDC dc, const RECT& area, COLORREF colour, int width, int radius) {
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    SetDCPenColor(dc, colour);
    for (int i = 0; i < width; ++i) {
        const int r = std::max(0, radius - i) * 2;
        if (r > 0) {
            RoundRect(dc, area.left + i, area.top + i, area.right - i, area.bottom - i, r, r);
        } else {
            Rectangle(dc, area.left + i, area.top + i, area.right - i, area.bottom - i);
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

void DrawBox(HDC dc, const RECT& area, const BoxLook& look) {
    HRGN clip = nullptr;
    int saved = 0;
    if (look.radius > 0) {
        saved = SaveDC(dc);
        clip =
            CreateRoundRectRgn(area.left, area.top, area.right + 1, area.bottom + 1, look.radius * 2, look.radius * 2);
        // Region coordinates are device coordinates; painters here draw with the default mapping.
        POINT origin{};
        GetWindowOrgEx(dc, &origin);
        OffsetRgn(clip, -origin.x, -origin.y);
        ExtSelectClipRgn(dc, clip, RGN_AND);
    }
    switch (look.style) {
        case FaceStyle::Flat:
            FillVerticalGradient(dc, area, area, look.top, look.top);
            break;
        case FaceStyle::Gradient:
            FillVerticalGradient(dc, area, area, look.top, look.bottom);
            break;
        case FaceStyle::Glass: {
            // A bright upper half and a deeper lower half with a step between them; every colour
            // lies on the run from top to bottom, where the legibility check looks.
            const int middle = (area.top + area.bottom) / 2;
            const RECT upper{area.left, area.top, area.right, middle};
            const RECT lower{area.left, middle, area.right, area.bottom};
            FillVerticalGradient(dc, upper, upper, look.top, Mix(look.top, look.bottom, 0.3));
            FillVerticalGradient(dc, lower, lower, Mix(look.top, look.bottom, 0.65), look.bottom);
            break;
        }
    }
    if (clip) {
        RestoreDC(dc, saved);
        DeleteObject(clip);
    }
    if (look.borderWidth > 0) DrawOutline(dc, area, look.border, look.borderWidth, look.radius);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width) {
    for (int i = 0; i < width; ++i) {
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
        SetDCPenColor(dc, colour);
        const bool steep = std::abs(y2 - y1) > std::abs(x2 - x1);
        const int dx = steep ? i : 0;
        const int dy = steep ? 0 : i;
        MoveToEx(dc, x1 + dx, y1 + dy, nullptr);
        LineTo(dc, x2 + dx, y2 + dy);
        SelectObject(dc, oldPen);
    }
}

}  // namespace skin_engine::win32
