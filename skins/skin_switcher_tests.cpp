#include <gtest/gtest.h>

#include <optional>

#include "runtime/controls.h"
#include "skins/saved_skin_number.h"
#include "skins/skin_engine_test_double.h"
#include "skins/skin_package_table.h"
#include "skins/skin_switcher.h"

namespace {

using skins::testing_support::EngineCalls;

constexpr int kNoEngineCall = -1;
constexpr int kNoPackage = 0;

struct Press {
    void (*handler)();
    std::string label;
    std::optional<std::string> file;  // nullopt: no settings file
    int appliedSkin;                  // kNoEngineCall, kNoPackage or the skin whose copy the engine got
};

struct SwitcherCase {
    std::string name;
    std::optional<std::string> savedFile;
    std::string startLabel;
    int32_t startNumber;
    int startSkin;
    std::vector<Press> presses;
};

const auto Next = skins::OnNextSkin;
const auto Previous = skins::OnPreviousSkin;

class SkinSwitcherTest : public skins::testing_support::SkinEngineTest,
                         public testing::WithParamInterface<SwitcherCase> {
protected:
    void SetUp() override {
        SkinEngineTest::SetUp();
        skins::SkinNumber = 0;
        const auto& saved = GetParam().savedFile;
        if (saved) rt::fake::Runtime().files["settings.ini"] = rt::Bytes(saved->begin(), saved->end());
    }

    // The skin of the engine's only call since the last check, kNoPackage for none, kNoEngineCall
    // when the engine was not called.
    static int TakeAppliedSkin() {
        if (EngineCalls().empty()) return kNoEngineCall;
        EXPECT_EQ(EngineCalls().size(), 1u);
        const auto call = EngineCalls().back();
        EngineCalls().clear();
        EXPECT_TRUE(call.engineWasDeployed);
        if (!call.address) return kNoPackage;
        for (int n = 1; n <= skins::kSkinCount; ++n) {
            const auto& stored = skins::SkinPackageTable[static_cast<size_t>(n - 1)];
            if (call.package == rt::Bytes(stored.data, stored.data + stored.length)) return n;
        }
        ADD_FAILURE() << "the engine got bytes of no stored package";
        return kNoEngineCall;
    }

    static std::optional<std::string> SettingsFile() {
        auto found = rt::fake::Runtime().files.find("settings.ini");
        if (found == rt::fake::Runtime().files.end()) return std::nullopt;
        return std::string(found->second.begin(), found->second.end());
    }
};

// The stored packages may be alike, so a skin is recognised by the first package with its bytes.
int FirstSkinLike(int n) {
    const auto& wanted = skins::SkinPackageTable[static_cast<size_t>(n - 1)];
    for (int k = 1; k <= n; ++k) {
        const auto& stored = skins::SkinPackageTable[static_cast<size_t>(k - 1)];
        if (stored.length == wanted.length && std::equal(stored.data, stored.data + stored.length, wanted.data))
            return k;
    }
    return n;
}

int Expected(int appliedSkin) { return appliedSkin > 0 ? FirstSkinLike(appliedSkin) : appliedSkin; }

TEST_P(SkinSwitcherTest, StartUpAndPressesKeepLabelFileAndEngineInStep) {
    const SwitcherCase& scenario = GetParam();
    skins::ShowSavedSkinAtStartup();
    EXPECT_EQ(rt::ControlText(skins::kSkinNumberLabel), scenario.startLabel);
    EXPECT_EQ(skins::SkinNumber, scenario.startNumber);
    EXPECT_EQ(TakeAppliedSkin(), Expected(scenario.startSkin));
    EXPECT_EQ(SettingsFile(), scenario.savedFile) << "start-up wrote the settings file";

    for (size_t i = 0; i < scenario.presses.size(); ++i) {
        const Press& press = scenario.presses[i];
        SCOPED_TRACE("press " + std::to_string(i + 1));
        press.handler();
        EXPECT_EQ(TakeAppliedSkin(), Expected(press.appliedSkin));
        EXPECT_EQ(rt::ControlText(skins::kSkinNumberLabel), press.label);
        EXPECT_EQ(SettingsFile(), press.file);
    }
}

// clang-format off
const SwitcherCase kScenarios[] = {
    {"NoFile", std::nullopt, "", 0, kNoPackage,
     {{Previous, "", std::nullopt, kNoEngineCall},
      {Next, "1", "1", 1},
      {Next, "2", "2", 2},
      {Previous, "1", "1", 1},
      {Previous, "1", "1", kNoEngineCall}}},
    {"AtOne", "1", "1", 1, 1,
     {{Previous, "1", "1", kNoEngineCall},
      {Next, "2", "2", 2}}},
    // The trailing blank shows that a press at the end neither relabels nor rewrites.
    {"AtThirtyThree", "33 ", "33 ", 33, 33,
     {{Next, "33 ", "33 ", kNoEngineCall},
      {Previous, "32", "32", 32}}},
    {"SavedForty", "40", "40", 40, kNoPackage,
     {{Next, "40", "40", kNoEngineCall},
      {Previous, "39", "39", kNoPackage},
      {Previous, "38", "38", kNoPackage},
      {Previous, "37", "37", kNoPackage},
      {Previous, "36", "36", kNoPackage},
      {Previous, "35", "35", kNoPackage},
      {Previous, "34", "34", kNoPackage},
      {Previous, "33", "33", 33}}},
    {"SavedMinusThree", "-3", "-3", -3, kNoPackage,
     {{Previous, "-3", "-3", kNoEngineCall},
      {Next, "-2", "-2", kNoPackage},
      {Next, "-1", "-1", kNoPackage},
      {Next, "0", "0", kNoPackage},
      {Next, "1", "1", 1}}},
    {"TextAroundTheNumber", " 12ab", " 12ab", 12, 12, {{Next, "13", "13", 13}}},
    {"LeadingZeros", "007", "007", 7, 7, {{Previous, "6", "6", 6}}},
    {"FullWidthDigits", "\xA3\xB1\xA3\xB2", "\xA3\xB1\xA3\xB2", 12, 12, {{Previous, "11", "11", 11}}},
    {"ZeroByteEndsTheText", std::string("5\0" "99", 4), "5", 5, 5, {}},
    {"Wrapped", "4294967298", "4294967298", 2, 2, {{Previous, "1", "1", 1}}},
    {"MostNegative", "-2147483648", "-2147483648", INT32_MIN, kNoPackage,
     {{Previous, "-2147483648", "-2147483648", kNoEngineCall},
      {Next, "-2147483647", "-2147483647", kNoPackage}}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Scenarios, SkinSwitcherTest, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<SwitcherCase>& info) { return info.param.name; });

class SkinSwitcherFailureTest : public skins::testing_support::SkinEngineTest {};

TEST_F(SkinSwitcherFailureTest, AnUnwritableFileKeepsItsContentWhileSkinAndLabelMoveOn) {
    skins::SkinNumber = 0;
    rt::fake::Runtime().files["settings.ini"] = {'5'};
    rt::fake::Runtime().unwritablePaths.push_back("settings.ini");
    skins::ShowSavedSkinAtStartup();
    skins::OnNextSkin();
    EXPECT_EQ(skins::SkinNumber, 6);
    EXPECT_EQ(rt::ControlText(skins::kSkinNumberLabel), "6");
    EXPECT_EQ(rt::fake::Runtime().files["settings.ini"], rt::Bytes{'5'});
}

TEST_F(SkinSwitcherFailureTest, AMissingEngineEndsThePressBeforeLabelOrFileChange) {
    skins::SkinNumber = 4;
    rt::SetControlText(skins::kSkinNumberLabel, "4");
    rt::fake::Runtime().outsideFunctions.clear();
    EXPECT_THROW(skins::OnNextSkin(), rt::fake::ProgramEnded);
    EXPECT_EQ(rt::ControlText(skins::kSkinNumberLabel), "4");
    EXPECT_EQ(rt::fake::Runtime().files.count("settings.ini"), 0u);
}

}  // namespace
