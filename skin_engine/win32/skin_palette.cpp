#include "skin_engine/win32/skin_palette.h"

#include <algorithm>

namespace skin_engine::win32 {

COLORREF ToColorref(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

SkinPalette::SkinPalette(SkinLook look) : look_(std::move(look)) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    metrics.lfCaptionFont.lfWeight = look_.metric(Metric::CaptionFontWeight);
    captionFont_ = CreateFontIndirectW(&metrics.lfCaptionFont);
}

SkinPalette::~SkinPalette() {
    if (scratchDc_) {
        SelectObject(scratchDc_, scratchOriginalBitmap_);
        DeleteDC(scratchDc_);
    }
    if (scratchBitmap_) DeleteObject(scratchBitmap_);
    if (captionFont_) DeleteObject(captionFont_);
    for (auto& [source, derived] : textFonts_) {
        if (derived != source) DeleteObject(derived);
    }
}

COLORREF SkinPalette::colour(ColourRole role) const { return ToColorref(look_.colour(role)); }

HFONT SkinPalette::textFont(HFONT controlFont) const {
    if (!controlFont) controlFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (auto found = textFonts_.find(controlFont); found != textFonts_.end()) return found->second;
    LOGFONTW font{};
    HFONT derived = controlFont;
    if (GetObjectW(controlFont, sizeof(font), &font) && font.lfWeight != look_.metric(Metric::TextFontWeight)) {
        font.lfWeight = look_.metric(Metric::TextFontWeight);
        if (HFONT made = CreateFontIndirectW(&font)) derived = made;
    }
    textFonts_[controlFont] = derived;
    return derived;
}

HDC SkinPalette::scratch(HDC screen, int width, int height) const {
    if (!scratchDc_) {
        scratchDc_ = CreateCompatibleDC(screen);
        if (!scratchDc_) return nullptr;
    }
    if (width > scratchSize_.cx || height > scratchSize_.cy) {
        const SIZE size{std::max<LONG>(width, scratchSize_.cx), std::max<LONG>(height, scratchSize_.cy)};
        HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
        if (!bitmap) return nullptr;
        HGDIOBJ old = SelectObject(scratchDc_, bitmap);
        if (!scratchOriginalBitmap_) scratchOriginalBitmap_ = old;
        if (scratchBitmap_) DeleteObject(scratchBitmap_);
        scratchBitmap_ = bitmap;
        scratchSize_ = size;
    }
    return scratchDc_;
}

}  // namespace skin_engine::win32
