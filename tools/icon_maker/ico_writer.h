// Encodes pictures as the images of a Windows .ico file.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/icon_maker/icon_art.h"

namespace icon_maker {

struct IconImageSpec {
    int size;
    int bitsPerPixel;  // 1, 4, 8 or 32
};

// The nine images the program's icon carries.
inline constexpr IconImageSpec kProgramIconImages[] = {
    {16, 8}, {16, 32}, {32, 1}, {32, 8}, {32, 32}, {48, 4}, {48, 8}, {48, 32}, {128, 32},
};

// One image as stored in the file: BITMAPINFOHEADER (height doubled), palette, colour rows
// bottom-up, then the AND mask. 32-bit images keep their alpha; paletted ones mark
// transparency in the AND mask only.
std::vector<uint8_t> EncodeIconImage(const Picture& picture, int bitsPerPixel);

// The whole file: header, one directory entry per image, then the images.
std::vector<uint8_t> BuildIconFile(const std::vector<Picture>& pictures, const std::vector<int>& bitsPerPixel);

// The palette a paletted image uses: median cut over its visible pixels, at most 2^bits colours.
// One bit per pixel gets black and white.
std::vector<Rgba> PaletteFor(const Picture& picture, int bitsPerPixel);

}  // namespace icon_maker
