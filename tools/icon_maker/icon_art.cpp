#include "tools/icon_maker/icon_art.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace icon_maker {
namespace {

// Geometry in the unit square, y pointing down.
struct Point {
    double x, y;
};

struct Colour {
    double r, g, b;
};

constexpr Point kCentre{0.5, 0.5};
constexpr double kRimRadius = 0.48;
constexpr double kFaceRadius = 0.385;

constexpr Colour kRimTop{70, 140, 235};
constexpr Colour kRimBottom{18, 70, 165};
constexpr Colour kFaceLight{255, 255, 255};
constexpr Colour kFaceEdge{200, 218, 244};
constexpr Colour kNoteBlue{22, 82, 190};

// Two note heads tilted up to the right, their stems on the right, one sloping beam on top.
constexpr Point kHeads[] = {{0.385, 0.665}, {0.625, 0.615}};
constexpr double kHeadLong = 0.095, kHeadShort = 0.068, kHeadTilt = 0.44;  // radians
constexpr double kStemOffset = 0.042, kStemWidth = 0.05;
constexpr double kBeamThickness = 0.09, kBeamLeftTop = 0.28, kBeamRightTop = 0.225;

Colour Mix(Colour from, Colour to, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t};
}

double Distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

bool InHead(Point p, Point head) {
    const double dx = p.x - head.x, dy = p.y - head.y;
    const double along = dx * std::cos(kHeadTilt) - dy * std::sin(kHeadTilt);
    const double across = dx * std::sin(kHeadTilt) + dy * std::cos(kHeadTilt);
    return (along * along) / (kHeadLong * kHeadLong) + (across * across) / (kHeadShort * kHeadShort) <= 1.0;
}

double StemLeft(Point head) { return head.x + kStemOffset; }

double BeamTop(double x) {
    const double left = StemLeft(kHeads[0]), right = StemLeft(kHeads[1]) + kStemWidth;
    return kBeamLeftTop + (x - left) / (right - left) * (kBeamRightTop - kBeamLeftTop);
}

bool InNotes(Point p) {
    for (Point head : kHeads) {
        if (InHead(p, head)) return true;
        const double left = StemLeft(head);
        if (p.x >= left && p.x <= left + kStemWidth && p.y >= BeamTop(p.x) && p.y <= head.y) return true;
    }
    const double beamLeft = StemLeft(kHeads[0]), beamRight = StemLeft(kHeads[1]) + kStemWidth;
    return p.x >= beamLeft && p.x <= beamRight && p.y >= BeamTop(p.x) && p.y <= BeamTop(p.x) + kBeamThickness;
}

// The colour of the topmost shape under p, or nothing outside the button.
std::optional<Colour> ColourAt(Point p) {
    const double radius = Distance(p, kCentre);
    if (radius > kRimRadius) return std::nullopt;
    if (radius > kFaceRadius) {
        const double top = kCentre.y - kRimRadius;
        return Mix(kRimTop, kRimBottom, (p.y - top) / (2 * kRimRadius));
    }
    if (InNotes(p)) return kNoteBlue;
    // The face is lit from the upper left.
    const Point light{0.4, 0.36};
    return Mix(kFaceLight, kFaceEdge, Distance(p, light) / (kFaceRadius * 1.3));
}

constexpr int kSamplesPerAxis = 8;

Rgba RenderPixel(int x, int y, int size) {
    double r = 0, g = 0, b = 0;
    int covered = 0;
    for (int sy = 0; sy < kSamplesPerAxis; ++sy) {
        for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
            const Point p{(x + (sx + 0.5) / kSamplesPerAxis) / size, (y + (sy + 0.5) / kSamplesPerAxis) / size};
            if (const std::optional<Colour> colour = ColourAt(p)) {
                r += colour->r, g += colour->g, b += colour->b;
                ++covered;
            }
        }
    }
    if (covered == 0) return {};
    auto channel = [covered](double sum) { return static_cast<uint8_t>(std::lround(sum / covered)); };
    constexpr int kSamples = kSamplesPerAxis * kSamplesPerAxis;
    return {channel(r), channel(g), channel(b), static_cast<uint8_t>((covered * 255 + kSamples / 2) / kSamples)};
}

}  // namespace

Picture RenderIcon(int size) {
    Picture picture{size, std::vector<Rgba>(static_cast<size_t>(size) * size)};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) picture.pixels[static_cast<size_t>(y) * size + x] = RenderPixel(x, y, size);
    }
    return picture;
}

}  // namespace icon_maker
