#include "skin_engine/legibility.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace skin_engine {
namespace {

using R = ColourRole;

// A text and the background it is drawn on; a gradient runs from `from` to `to`.
struct TextOnBackground {
    ColourRole text;
    ColourRole from;
    ColourRole to;
};

constexpr TextOnBackground kTextPairs[] = {
    {R::LabelText, R::WindowTop, R::WindowBottom},
    {R::CaptionActiveText, R::CaptionActiveLeft, R::CaptionActiveRight},
    {R::CaptionInactiveText, R::CaptionInactiveLeft, R::CaptionInactiveRight},
    {R::CaptionButtonGlyph, R::CaptionButtonFace, R::CaptionButtonFace},
    {R::CaptionButtonInactiveGlyph, R::CaptionButtonFace, R::CaptionButtonFace},
    {R::CaptionButtonHotGlyph, R::CaptionButtonHotFace, R::CaptionButtonHotFace},
    {R::CaptionButtonPressedGlyph, R::CaptionButtonPressedFace, R::CaptionButtonPressedFace},
    {R::CloseButtonHotGlyph, R::CloseButtonHotFace, R::CloseButtonHotFace},
    {R::ButtonNormalText, R::ButtonNormalTop, R::ButtonNormalBottom},
    {R::ButtonHotText, R::ButtonHotTop, R::ButtonHotBottom},
    {R::ButtonPressedText, R::ButtonPressedTop, R::ButtonPressedBottom},
    {R::ButtonFocusedText, R::ButtonFocusedTop, R::ButtonFocusedBottom},
    {R::ButtonDisabledText, R::ButtonDisabledTop, R::ButtonDisabledBottom},
    {R::TabSelectedText, R::TabSelectedFace, R::TabSelectedFace},
    {R::TabHotText, R::TabHotFace, R::TabHotFace},
    {R::TabNormalText, R::TabNormalFace, R::TabNormalFace},
};

constexpr int kGradientSamples = 16;

double Linear(uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::optional<LegibilityFault> CheckPair(const SkinLook& look, const TextOnBackground& pair) {
    double worst = 1e9;
    ColourRole worstRole = pair.from;
    for (int i = 0; i <= kGradientSamples; ++i) {
        const double t = static_cast<double>(i) / kGradientSamples;
        const double contrast =
            ContrastRatio(look.colour(pair.text), Mix(look.colour(pair.from), look.colour(pair.to), t));
        if (contrast < worst) {
            worst = contrast;
            worstRole = t < 0.5 ? pair.from : pair.to;
        }
    }
    if (worst >= kMinimumContrast) return std::nullopt;
    return LegibilityFault{pair.text, worstRole, worst};
}

}  // namespace

double RelativeLuminance(Rgb colour) {
    return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) + 0.0722 * Linear(colour.blue);
}

double ContrastRatio(Rgb first, Rgb second) {
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

std::string LegibilityFault::describe() const {
    char ratio[32];
    std::snprintf(ratio, sizeof(ratio), "%.2f", contrast);
    return std::string(ColourRoleName(text)) + " on " + std::string(ColourRoleName(background)) + ": contrast " +
           ratio + ":1, below 4.5:1";
}

std::vector<LegibilityFault> FindLegibilityFaults(const SkinLook& look) {
    std::vector<LegibilityFault> faults;
    for (const TextOnBackground& pair : kTextPairs) {
        if (auto fault = CheckPair(look, pair)) faults.push_back(*fault);
    }
    return faults;
}

}  // namespace skin_engine
