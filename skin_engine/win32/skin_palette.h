#pragma once
// The GDI side of one skin: its colours as COLORREFs and the fonts it draws with, made once per
// skin change and freed with it. Solid fills and 1-pixel lines use the DC brush and pen, so a
// skin owns no brushes or pens at all.

#include <windows.h>

#include <map>

#include "skin_engine/skin_look.h"

namespace skin_engine::win32 {

class SkinPalette {
public:
    explicit SkinPalette(SkinLook look);
    ~SkinPalette();
    SkinPalette(const SkinPalette&) = delete;
    SkinPalette& operator=(const SkinPalette&) = delete;

    COLORREF colour(ColourRole role) const;
    int metric(Metric which) const { return look_.metric(which); }
    const SkinLook& look() const { return look_; }

    HFONT captionFont() const { return captionFont_; }
    // The control's own font at the skin's text weight.
    HFONT textFont(HFONT controlFont) const;

    // A memory DC with a bitmap of at least width x height selected, to draw a control off screen
    // and copy it over in one go. Kept for the skin's lifetime: making one per paint is slow.
    HDC scratch(HDC screen, int width, int height) const;

private:
    SkinLook look_;
    HFONT captionFont_ = nullptr;
    mutable std::map<HFONT, HFONT> textFonts_;
    mutable HDC scratchDc_ = nullptr;
    mutable HBITMAP scratchBitmap_ = nullptr;
    mutable HGDIOBJ scratchOriginalBitmap_ = nullptr;
    mutable SIZE scratchSize_{};
};

COLORREF ToColorref(Rgb colour);

}  // namespace skin_engine::win32
