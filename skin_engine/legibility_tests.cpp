#include <gtest/gtest.h>

#include "skin_engine/legibility.h"

namespace skin_engine {
namespace {

TEST(Contrast, MatchesKnownWcagRatios) {
    struct Case {
        Rgb first, second;
        double ratio;
    };
    const Case cases[] = {
        {{0, 0, 0}, {255, 255, 255}, 21.0},
        {{255, 255, 255}, {255, 255, 255}, 1.0},
        {{0x77, 0x77, 0x77}, {255, 255, 255}, 4.48},  // the classic just-fails grey
        {{0x76, 0x76, 0x76}, {255, 255, 255}, 4.54},
        {{255, 0, 0}, {255, 255, 255}, 4.0},
        {{0, 0, 255}, {0, 0, 0}, 2.44},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ContrastRatio(c.first, c.second), c.ratio, 0.01);
        EXPECT_DOUBLE_EQ(ContrastRatio(c.first, c.second), ContrastRatio(c.second, c.first));
    }
}

SkinLook BlackOnWhite() {
    SkinLook look;
    look.colours.fill({255, 255, 255});
    for (size_t i = 0; i < kColourRoleCount; ++i) {
        const std::string_view name = ColourRoleName(static_cast<ColourRole>(i));
        if (name.ends_with("text") || name.ends_with("glyph")) look.colours[i] = {0, 0, 0};
    }
    return look;
}

TEST(Legibility, AcceptsALookWithStrongContrastEverywhere) {
    EXPECT_TRUE(FindLegibilityFaults(BlackOnWhite()).empty());
}

TEST(Legibility, NamesEveryFaintTextInEveryState) {
    const ColourRole faint[] = {ColourRole::ButtonDisabledText, ColourRole::TabHotText,
                                ColourRole::CaptionButtonPressedGlyph, ColourRole::LabelText};
    for (ColourRole role : faint) {
        SkinLook look = BlackOnWhite();
        look.colours[static_cast<size_t>(role)] = {0x99, 0x99, 0x99};
        const auto faults = FindLegibilityFaults(look);
        ASSERT_EQ(faults.size(), 1u) << ColourRoleName(role);
        EXPECT_EQ(faults[0].text, role);
        EXPECT_NE(faults[0].describe().find(ColourRoleName(role)), std::string::npos);
    }
}

// Both ends of a gradient can pass while its middle fails: black text over a run from green to
// red passes at each end but not through the dark brown middle.
TEST(Legibility, ChecksAGradientAlongItsWholeRun) {
    SkinLook look = BlackOnWhite();
    look.colours[static_cast<size_t>(ColourRole::ButtonHotTop)] = {0, 140, 45};
    look.colours[static_cast<size_t>(ColourRole::ButtonHotBottom)] = {255, 0, 0};
    ASSERT_GE(ContrastRatio({0, 0, 0}, {0, 140, 45}), 4.5);
    ASSERT_GE(ContrastRatio({0, 0, 0}, {255, 0, 0}), 4.5);
    const auto faults = FindLegibilityFaults(look);
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].text, ColourRole::ButtonHotText);
}

}  // namespace
}  // namespace skin_engine
