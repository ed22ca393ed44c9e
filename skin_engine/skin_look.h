#pragma once
// What a skin decides: a palette of named colours and a few numeric style choices. The engine
// paints from a SkinLook; the skin compiler fills one from a text source; a package carries one.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skin_engine {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Blends from `from` (t = 0) to `to` (t = 1), as the engine draws its gradients.
Rgb Mix(Rgb from, Rgb to, double t);

enum class ColourRole : uint16_t {
    WindowTop,
    WindowBottom,
    LabelText,
    FrameActive,
    FrameInactive,
    CaptionActiveLeft,
    CaptionActiveRight,
    CaptionActiveText,
    CaptionInactiveLeft,
    CaptionInactiveRight,
    CaptionInactiveText,
    CaptionButtonFace,
    CaptionButtonGlyph,
    CaptionButtonInactiveGlyph,
    CaptionButtonHotFace,
    CaptionButtonHotGlyph,
    CaptionButtonPressedFace,
    CaptionButtonPressedGlyph,
    CloseButtonHotFace,
    CloseButtonHotGlyph,
    ButtonNormalTop,
    ButtonNormalBottom,
    ButtonNormalBorder,
    ButtonNormalText,
    ButtonHotTop,
    ButtonHotBottom,
    ButtonHotBorder,
    ButtonHotText,
    ButtonPressedTop,
    ButtonPressedBottom,
    ButtonPressedBorder,
    ButtonPressedText,
    ButtonFocusedTop,
    ButtonFocusedBottom,
    ButtonFocusedBorder,
    ButtonFocusedText,
    ButtonDisabledTop,
    ButtonDisabledBottom,
    ButtonDisabledBorder,
    ButtonDisabledText,
    ButtonFocusRing,
    TabStrip,
    TabBody,
    TabBorder,
    TabSelectedFace,
    TabSelectedText,
    TabHotFace,
    TabHotText,
    TabNormalFace,
    TabNormalText,
    TrackChannel,
    TrackChannelBorder,
    TrackThumb,
    TrackThumbHot,
    TrackThumbBorder,
    TrackTick,
    Count
};
inline constexpr size_t kColourRoleCount = static_cast<size_t>(ColourRole::Count);

enum class Metric : uint16_t {
    FrameLineWidth,   // outer frame line, inside the system's frame
    CaptionGradient,  // CaptionGradientKind
    CaptionFontWeight,
    TextFontWeight,  // buttons and tabs
    ButtonStyle,     // ButtonStyleKind
    ButtonRadius,
    ButtonBorderWidth,
    CaptionButtonShape,  // CaptionButtonShapeKind
    TabRadius,
    TrackChannelHeight,
    ThumbShape,  // ThumbShapeKind
    Count
};
inline constexpr size_t kMetricCount = static_cast<size_t>(Metric::Count);

enum class CaptionGradientKind : int32_t { Horizontal, Vertical };
enum class ButtonStyleKind : int32_t { Flat, Gradient, Glass };
enum class CaptionButtonShapeKind : int32_t { Square, Round };
enum class ThumbShapeKind : int32_t { Bar, Round };

struct MetricRule {
    std::string_view name;
    int32_t minimum;
    int32_t maximum;
    // Words a source may write in place of the numbers 0, 1, 2…; empty for plain numbers.
    std::array<std::string_view, 3> words;
};

std::string_view ColourRoleName(ColourRole role);
std::optional<ColourRole> ColourRoleNamed(std::string_view name);
const MetricRule& MetricRuleOf(Metric metric);
std::optional<Metric> MetricNamed(std::string_view name);

struct SkinLook {
    std::string name;
    std::array<Rgb, kColourRoleCount> colours{};
    std::array<int32_t, kMetricCount> metrics{};

    Rgb colour(ColourRole role) const { return colours[static_cast<size_t>(role)]; }
    int32_t metric(Metric which) const { return metrics[static_cast<size_t>(which)]; }
    bool operator==(const SkinLook&) const = default;
};

}  // namespace skin_engine
