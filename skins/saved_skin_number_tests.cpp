#include <gtest/gtest.h>

#include <climits>

#include "runtime/controls.h"
#include "runtime/fake/fake_runtime.h"
#include "skins/saved_skin_number.h"

namespace {

using namespace std::string_literals;

rt::Bytes BytesOf(const std::string& text) { return rt::Bytes(text.begin(), text.end()); }

struct ConversionCase {
    std::string fileContent;
    int32_t expected;
};

class SavedSkinNumberTest : public testing::TestWithParam<ConversionCase> {
protected:
    void SetUp() override { rt::fake::Reset(); }
};

TEST_P(SavedSkinNumberTest, ReadsTheFileAndConvertsItsText) {
    rt::fake::Runtime().files[std::string(skins::kSettingsFile)] = BytesOf(GetParam().fileContent);
    EXPECT_EQ(skins::ReadSavedSkinNumber(), GetParam().expected);
}

// clang-format off
const ConversionCase kConversionCases[] = {
    {"", 0},
    {" 12abc", 12},                         // blanks, digits, then letters
    {"\t\n\v\f\r 7", 7},                   // every kind of white space
    {"12 34", 12},                          // digits end at the first other character
    {"007", 7},
    {"-3", -3},
    {"+5", 5},
    {"++5", 0},                             // one sign only
    {"- 5", 0},                             // no blank after the sign
    {"abc", 0},
    {"\xA3\xB1\xA3\xB2", 12},               // full-width digits
    {"\xA3\xAD\xA3\xB3", -3},               // full-width minus
    {"\xA3\xAB" "5", 5},                    // full-width plus
    {"\xA1\xA1\xA1\xA1" "8", 8},            // ideographic spaces are blanks
    {"\xA1\xAB" "3", 0},                    // folds to "~"
    {"\xA1\xEE" "3", 0},                    // folds to "*"
    {"\xA1\xEF" "3", 0},                    // folds to "*"
    {"\xA3\xA0" "5", 0},                    // below the full-width range: kept as it is
    {"\xB0\xA1" "7", 0},                    // a Chinese character is not a blank
    {"\xB0" "7", 0},                        // a lead byte swallows the digit after it
    {"1\xA3", 1},                           // a lone trailing lead byte is dropped
    {"\xA3\xB1\xA3", 1},
    {"\xA3", 0},
    {"5\0" "9"s, 5},                        // the text ends at a zero byte
    {"\0" "9"s, 0},
    {"4294967298", 2},                      // 2^32 + 2 wraps
    {"2147483647", INT_MAX},
    {"2147483648", INT_MIN},                // wraps into the negatives
    {"-2147483648", INT_MIN},
    {"-2147483649", INT_MAX},
    {"99999999999999999999", 1661992959},   // 10^20 - 1 modulo 2^32
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Conversion, SavedSkinNumberTest, testing::ValuesIn(kConversionCases));

TEST(SavedSkinText, EndsAtTheFirstZeroByteAndIsEmptyWithoutAFile) {
    rt::fake::Reset();
    EXPECT_EQ(skins::ReadSavedSkinText(), "");
    rt::fake::Runtime().files["settings.ini"] = BytesOf("5\0more"s);
    EXPECT_EQ(skins::ReadSavedSkinText(), "5");
    rt::fake::Runtime().files["settings.ini"] = BytesOf(" 12ab\xA3\xB1");
    EXPECT_EQ(skins::ReadSavedSkinText(), " 12ab\xA3\xB1");
}

TEST(SaveSkinNumber, WritesTheLabelCaptionWithoutLineEndAndKeepsAnUnwritableFile) {
    rt::fake::Reset();
    rt::SetControlText(skins::kSkinNumberLabel, "12");
    skins::SaveSkinNumber();
    EXPECT_EQ(rt::fake::Runtime().files["settings.ini"], BytesOf("12"));

    rt::SetControlText(skins::kSkinNumberLabel, "");
    skins::SaveSkinNumber();
    EXPECT_EQ(rt::fake::Runtime().files["settings.ini"], rt::Bytes{});

    rt::fake::Runtime().files["settings.ini"] = BytesOf("7");
    rt::fake::Runtime().unwritablePaths.push_back("settings.ini");
    rt::SetControlText(skins::kSkinNumberLabel, "8");
    skins::SaveSkinNumber();
    EXPECT_EQ(rt::fake::Runtime().files["settings.ini"], BytesOf("7"));
}

}  // namespace
