#pragma once
// Every text a skin draws must stand out from what lies beneath it: a contrast ratio (WCAG 2
// relative luminance) of at least 4.5 to 1, in every state of every control.

#include <string>
#include <vector>

#include "skin_engine/skin_look.h"

namespace skin_engine {

inline constexpr double kMinimumContrast = 4.5;

double RelativeLuminance(Rgb colour);
double ContrastRatio(Rgb first, Rgb second);

struct LegibilityFault {
    ColourRole text;
    ColourRole background;
    double contrast;
    std::string describe() const;
};

// The text and background pairs below the minimum; empty when the look is legible throughout.
// A gradient background is checked along its whole run.
std::vector<LegibilityFault> FindLegibilityFaults(const SkinLook& look);

}  // namespace skin_engine
