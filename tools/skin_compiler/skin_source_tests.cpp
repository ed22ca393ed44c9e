#include <gtest/gtest.h>

#include <map>

#include "tools/skin_compiler/skin_source.h"

namespace skin_compiler {
namespace {

using skin_engine::ColourRole;
using skin_engine::Metric;
using skin_engine::Rgb;

// A base that defines every role from two palette names, as the shipped base does.
std::string CompleteBase() {
    std::string text = "name = Base\nground = #808080\nink = #000000\n";
    for (size_t i = 0; i < skin_engine::kColourRoleCount; ++i) {
        text += std::string(skin_engine::ColourRoleName(static_cast<ColourRole>(i))) + " = @ground\n";
    }
    for (size_t i = 0; i < skin_engine::kMetricCount; ++i) {
        const auto& rule = skin_engine::MetricRuleOf(static_cast<Metric>(i));
        text += std::string(rule.name) + " = " + std::to_string(rule.minimum) + "\n";
    }
    return text + "label.text = @ink\n";
}

skin_engine::SkinLook Compile(const std::map<std::string, std::string>& files, const std::string& name = "skin") {
    return CompileSkinSource(name, [&](const std::string& wanted) -> std::optional<std::string> {
        auto found = files.find(wanted);
        if (found == files.end()) return std::nullopt;
        return found->second;
    });
}

std::string CompileError(const std::map<std::string, std::string>& files) {
    try {
        Compile(files);
    } catch (const SkinSourceError& error) {
        return error.what();
    }
    return "";
}

TEST(SkinSource, OverridesResolveAfterInheritanceSoDerivedColoursFollow) {
    const auto look = Compile({{"base", CompleteBase()},
                               {"skin",
                                "# a comment\ninherit = base\nname = Dusk\nground = #102030\n"
                                "tab.body = lighten(@ground, 50)\nbutton.style = glass\n"}});
    EXPECT_EQ(look.name, "Dusk");
    EXPECT_EQ(look.colour(ColourRole::WindowTop), (Rgb{0x10, 0x20, 0x30}));
    EXPECT_EQ(look.colour(ColourRole::TabBody), (Rgb{0x88, 0x90, 0x98}));
    EXPECT_EQ(look.colour(ColourRole::LabelText), (Rgb{0, 0, 0}));
    EXPECT_EQ(look.metric(Metric::ButtonStyle), static_cast<int32_t>(skin_engine::ButtonStyleKind::Glass));
}

TEST(SkinSource, EvaluatesEachFunction) {
    struct Case {
        const char* expression;
        Rgb expected;
    };
    const Case cases[] = {
        {"#FFa500", {255, 165, 0}},
        {"darken(#ffffff, 100)", {0, 0, 0}},
        {"lighten(#000000, 50)", {128, 128, 128}},
        {"mix(#000000, #ff0000, 25)", {64, 0, 0}},
        {"readable(#202020, #ffffff, #000000)", {255, 255, 255}},
        {"readable(#e0e0e0, #ffffff, #000000)", {0, 0, 0}},
        {"darken( mix(@ground, #ffffff, 100) , 50 )", {128, 128, 128}},
    };
    for (const Case& c : cases) {
        const auto look =
            Compile({{"base", CompleteBase()}, {"skin", std::string("inherit = base\ntab.border = ") + c.expression}});
        EXPECT_EQ(look.colour(ColourRole::TabBorder), c.expected) << c.expression;
    }
}

TEST(SkinSource, ReportsFaultsWithFileAndLine) {
    struct Case {
        const char* source;
        const char* mentions;
    };
    const Case cases[] = {
        {"inherit = base\nwindow.top = #12345", "skin.skin:2"},
        {"inherit = base\nwindow.top = #12345g", "#rrggbb"},
        {"inherit = base\nwindow.top = @nowhere", "'nowhere' is not defined"},
        {"inherit = base\nwindow.top = glow(#ffffff)", "unknown function"},
        {"inherit = base\nwindow.top = lighten(#ffffff, 140)", "percentage"},
        {"inherit = base\nwindow.top = #ffffff #000000", "unexpected text"},
        {"inherit = base\nground = @ink\nink = @ground", "refers to itself"},
        {"inherit = base\nbutton.radius = 11", "button.radius must be 0 to 10"},
        {"inherit = base\nbutton.style = shiny", "button.style must be"},
        {"inherit = base\nthis line has no equals sign", "expected 'key = value'"},
        {"inherit = missing", "missing.skin: no such skin source"},
        {"inherit = skin", "inherits from itself"},
        {"name = No base", "is not defined"},
    };
    for (const Case& c : cases) {
        const std::string error = CompileError({{"base", CompleteBase()}, {"skin", c.source}});
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.source << "\n  gave: " << error;
    }
}

TEST(SkinSource, GeneratedTableHoldsEveryPackageInOrder) {
    const std::string table = GeneratePackageTable({"One", "Two"}, {{0x2E, 0x53}, {7}});
    EXPECT_NE(table.find("// Skin 1: One\nconst uint8_t kSkin1[] = {\n    46, 83,\n};"), std::string::npos) << table;
    EXPECT_NE(table.find("{kSkin1, sizeof(kSkin1)},\n    {kSkin2, sizeof(kSkin2)},"), std::string::npos) << table;
}

}  // namespace
}  // namespace skin_compiler
