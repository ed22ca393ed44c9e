#pragma once
// Drawing primitives shared by the control painters. Gradients are drawn a line at a time with
// the DC brush, so painting allocates nothing but the occasional clipping region.

#include <windows.h>

#include "skin_engine/skin_look.h"

namespace skin_engine::win32 {

void FillSolid(HDC dc, const RECT& area, COLORREF colour);

// Fills `area` with the part of a gradient that runs over `span` (which may be larger than
// `area`, so that pieces drawn separately line up).
void FillVerticalGradient(HDC dc, const RECT& area, const RECT& span, Rgb top, Rgb bottom);
void FillHorizontalGradient(HDC dc, const RECT& area, const RECT& span, Rgb left, Rgb right);

enum class FaceStyle { Flat, Gradient, Glass };

struct BoxLook {
    Rgb top;
    Rgb bottom;
    COLORREF border;
    int borderWidth;
    int radius;
    FaceStyle style;
};

// A filled, bordered box with rounded corners; what lies outside the corners is left alone.
void DrawBox(HDC dc, const RECT& area, const BoxLook& look);

// An outline of the given width inside `area`, with rounded corners.
void DrawOutline(HDC dc, const RECT& area, COLORREF colour, int width, int radius);

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width);

}  // namespace skin_engine::win32
