#include "tools/icon_maker/ico_writer.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace icon_maker {
namespace {

constexpr uint8_t kVisibleAlpha = 128;

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

size_t RowBytes(int width, int bitsPerPixel) { return static_cast<size_t>((width * bitsPerPixel + 31) / 32) * 4; }

bool Visible(const Rgba& pixel) { return pixel.a >= kVisibleAlpha; }

int Luminance(const Rgba& c) { return (299 * c.r + 587 * c.g + 114 * c.b) / 1000; }

int DistanceSquared(const Rgba& a, const Rgba& b) {
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

uint8_t Channel(const Rgba& c, int channel) { return channel == 0 ? c.r : channel == 1 ? c.g : c.b; }

// A box of the median cut: the colours it holds and the channel along which they spread most.
struct ColourBox {
    std::vector<Rgba> colours;

    int WidestChannel(int* spread) const {
        int best = 0;
        *spread = -1;
        for (int channel = 0; channel < 3; ++channel) {
            const auto [low, high] = std::minmax_element(colours.begin(), colours.end(), [channel](const Rgba& a, const Rgba& b) {
                return Channel(a, channel) < Channel(b, channel);
            });
            const int range = Channel(*high, channel) - Channel(*low, channel);
            if (range > *spread) *spread = range, best = channel;
        }
        return best;
    }

    Rgba Average() const {
        unsigned long r = 0, g = 0, b = 0;
        for (const Rgba& c : colours) r += c.r, g += c.g, b += c.b;
        const unsigned long n = colours.size();
        return {static_cast<uint8_t>((r + n / 2) / n), static_cast<uint8_t>((g + n / 2) / n), static_cast<uint8_t>((b + n / 2) / n), 255};
    }
};

std::vector<Rgba> MedianCut(std::vector<Rgba> colours, size_t boxCount) {
    std::vector<ColourBox> boxes{{std::move(colours)}};
    while (boxes.size() < boxCount) {
        int widest = -1, widestSpread = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            int spread = 0;
            boxes[i].WidestChannel(&spread);
            if (boxes[i].colours.size() > 1 && spread > widestSpread) widest = static_cast<int>(i), widestSpread = spread;
        }
        if (widest < 0) break;
        ColourBox& box = boxes[widest];
        int spread = 0;
        const int channel = box.WidestChannel(&spread);
        auto middle = box.colours.begin() + box.colours.size() / 2;
        std::nth_element(box.colours.begin(), middle, box.colours.end(),
                         [channel](const Rgba& a, const Rgba& b) { return Channel(a, channel) < Channel(b, channel); });
        ColourBox upper{{middle, box.colours.end()}};
        box.colours.erase(middle, box.colours.end());
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgba> palette;
    for (const ColourBox& box : boxes) palette.push_back(box.Average());
    return palette;
}

int NearestIndex(const std::vector<Rgba>& palette, const Rgba& colour) {
    int best = 0;
    for (size_t i = 1; i < palette.size(); ++i) {
        if (DistanceSquared(palette[i], colour) < DistanceSquared(palette[best], colour)) best = static_cast<int>(i);
    }
    return best;
}

void PutHeader(std::vector<uint8_t>& out, int size, int bitsPerPixel, size_t imageBytes) {
    Put32(out, 40);
    Put32(out, size);
    Put32(out, size * 2);  // colour rows and mask rows together
    Put16(out, 1);
    Put16(out, bitsPerPixel);
    Put32(out, 0);  // BI_RGB
    Put32(out, static_cast<uint32_t>(imageBytes));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
}

void PutColourRows(std::vector<uint8_t>& out, const Picture& picture, int bitsPerPixel, const std::vector<Rgba>& palette) {
    const size_t rowBytes = RowBytes(picture.size, bitsPerPixel);
    for (int y = picture.size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < picture.size; ++x) {
            const Rgba& pixel = picture.at(x, y);
            if (bitsPerPixel == 32) {
                if (pixel.a == 0) continue;
                row[x * 4] = pixel.b, row[x * 4 + 1] = pixel.g, row[x * 4 + 2] = pixel.r, row[x * 4 + 3] = pixel.a;
                continue;
            }
            // Transparent pixels keep index 0, which is black, so the AND mask alone shows through.
            if (!Visible(pixel)) continue;
            const int index = bitsPerPixel == 1 ? (Luminance(pixel) > 150 ? 1 : 0) : NearestIndex(palette, pixel);
            const int bit = x * bitsPerPixel;
            row[bit / 8] |= static_cast<uint8_t>(index << (8 - bitsPerPixel - bit % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

void PutMaskRows(std::vector<uint8_t>& out, const Picture& picture) {
    const size_t rowBytes = RowBytes(picture.size, 1);
    for (int y = picture.size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < picture.size; ++x) {
            if (!Visible(picture.at(x, y))) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

}  // namespace

std::vector<Rgba> PaletteFor(const Picture& picture, int bitsPerPixel) {
    if (bitsPerPixel == 1) return {{0, 0, 0, 255}, {255, 255, 255, 255}};
    std::vector<Rgba> visible;
    for (const Rgba& pixel : picture.pixels) {
        if (Visible(pixel)) visible.push_back(pixel);
    }
    // Index 0 stays black for the transparent pixels.
    std::vector<Rgba> palette{{0, 0, 0, 255}};
    if (!visible.empty()) {
        std::vector<Rgba> cut = MedianCut(std::move(visible), (size_t{1} << bitsPerPixel) - 1);
        palette.insert(palette.end(), cut.begin(), cut.end());
    }
    return palette;
}

std::vector<uint8_t> EncodeIconImage(const Picture& picture, int bitsPerPixel) {
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 32) {
        throw std::invalid_argument("icon images have 1, 4, 8 or 32 bits per pixel");
    }
    const std::vector<Rgba> palette = bitsPerPixel == 32 ? std::vector<Rgba>{} : PaletteFor(picture, bitsPerPixel);
    const size_t imageBytes = (RowBytes(picture.size, bitsPerPixel) + RowBytes(picture.size, 1)) * picture.size;
    std::vector<uint8_t> out;
    PutHeader(out, picture.size, bitsPerPixel, imageBytes);
    if (bitsPerPixel != 32) {
        // A full table of 2^bits entries, so that readers need not trust biClrUsed.
        for (size_t i = 0; i < (size_t{1} << bitsPerPixel); ++i) {
            const Rgba colour = i < palette.size() ? palette[i] : Rgba{};
            out.insert(out.end(), {colour.b, colour.g, colour.r, 0});
        }
    }
    PutColourRows(out, picture, bitsPerPixel, palette);
    PutMaskRows(out, picture);
    return out;
}

std::vector<uint8_t> BuildIconFile(const std::vector<Picture>& pictures, const std::vector<int>& bitsPerPixel) {
    if (pictures.size() != bitsPerPixel.size()) throw std::invalid_argument("one bit depth per picture");
    std::vector<std::vector<uint8_t>> images;
    for (size_t i = 0; i < pictures.size(); ++i) images.push_back(EncodeIconImage(pictures[i], bitsPerPixel[i]));

    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // icon, not cursor
    Put16(out, static_cast<uint32_t>(images.size()));
    size_t offset = 6 + 16 * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        const int size = pictures[i].size;
        out.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));
        out.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));
        out.push_back(static_cast<uint8_t>(bitsPerPixel[i] < 8 ? 1 << bitsPerPixel[i] : 0));
        out.push_back(0);
        Put16(out, 1);
        Put16(out, bitsPerPixel[i]);
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, static_cast<uint32_t>(offset));
        offset += images[i].size();
    }
    for (const std::vector<uint8_t>& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

}  // namespace icon_maker
