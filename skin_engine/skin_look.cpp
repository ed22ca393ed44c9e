#include "skin_engine/skin_look.h"

#include <cmath>

namespace skin_engine {
namespace {

// In the order of ColourRole. These are the keys of the skin sources.
constexpr std::array<std::string_view, kColourRoleCount> kColourRoleNames = {
    "window.top",
    "window.bottom",
    "label.text",
    "frame.active",
    "frame.inactive",
    "caption.active.left",
    "caption.active.right",
    "caption.active.text",
    "caption.inactive.left",
    "caption.inactive.right",
    "caption.inactive.text",
    "capbutton.face",
    "capbutton.glyph",
    "capbutton.inactive.glyph",
    "capbutton.hot.face",
    "capbutton.hot.glyph",
    "capbutton.pressed.face",
    "capbutton.pressed.glyph",
    "close.hot.face",
    "close.hot.glyph",
    "button.normal.top",
    "button.normal.bottom",
    "button.normal.border",
    "button.normal.text",
    "button.hot.top",
    "button.hot.bottom",
    "button.hot.border",
    "button.hot.text",
    "button.pressed.top",
    "button.pressed.bottom",
    "button.pressed.border",
    "button.pressed.text",
    "button.focused.top",
    "button.focused.bottom",
    "button.focused.border",
    "button.focused.text",
    "button.disabled.top",
    "button.disabled.bottom",
    "button.disabled.border",
    "button.disabled.text",
    "button.focus.ring",
    "tab.strip",
    "tab.body",
    "tab.border",
    "tab.selected.face",
    "tab.selected.text",
    "tab.hot.face",
    "tab.hot.text",
    "tab.normal.face",
    "tab.normal.text",
    "track.channel",
    "track.channel.border",
    "track.thumb",
    "track.thumb.hot",
    "track.thumb.border",
    "track.tick",
};

// In the order of Metric. The ranges are what the engine can draw sensibly; a package outside
// them is rejected.
const std::array<MetricRule, kMetricCount> kMetricRules = {{
    {"frame.line", 0, 3, {}},
    {"caption.gradient", 0, 1, {"horizontal", "vertical"}},
    {"caption.weight", 100, 900, {}},
    {"text.weight", 100, 900, {}},
    {"button.style", 0, 2, {"flat", "gradient", "glass"}},
    {"button.radius", 0, 10, {}},
    {"button.border", 0, 3, {}},
    {"capbutton.shape", 0, 1, {"square", "round"}},
    {"tab.radius", 0, 8, {}},
    {"track.height", 2, 10, {}},
    {"thumb.shape", 0, 1, {"bar", "round"}},
}};

uint8_t Blend(uint8_t from, uint8_t to, double t) {
    return static_cast<uint8_t>(std::lround(from + (static_cast<double>(to) - from) * t));
}

}  // namespace

Rgb Mix(Rgb from, Rgb to, double t) {
    if (!(t > 0)) t = 0;
    if (t > 1) t = 1;
    return {Blend(from.red, to.red, t), Blend(from.green, to.green, t), Blend(from.blue, to.blue, t)};
}

std::string_view ColourRoleName(ColourRole role) { return kColourRoleNames[static_cast<size_t>(role)]; }

std::optional<ColourRole> ColourRoleNamed(std::string_view name) {
    for (size_t i = 0; i < kColourRoleCount; ++i) {
        if (kColourRoleNames[i] == name) return static_cast<ColourRole>(i);
    }
    return std::nullopt;
}

const MetricRule& MetricRuleOf(Metric metric) { return kMetricRules[static_cast<size_t>(metric)]; }

std::optional<Metric> MetricNamed(std::string_view name) {
    for (size_t i = 0; i < kMetricCount; ++i) {
        if (kMetricRules[i].name == name) return static_cast<Metric>(i);
    }
    return std::nullopt;
}

}  // namespace skin_engine
