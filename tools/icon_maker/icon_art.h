// The program's icon, drawn from geometry: a round button with a blue rim and, on its light face,
// a blue pair of beamed musical notes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace icon_maker {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

// A square picture, rows from the top, colours not premultiplied.
struct Picture {
    int size = 0;
    std::vector<Rgba> pixels;

    const Rgba& at(int x, int y) const { return pixels[static_cast<size_t>(y) * size + x]; }
};

// Renders the icon at size x size pixels, each pixel averaged over a grid of samples.
Picture RenderIcon(int size);

}  // namespace icon_maker
