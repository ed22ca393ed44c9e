#include <gtest/gtest.h>

#include "skin_engine/skin_package.h"

namespace skin_engine {
namespace {

SkinLook SampleLook() {
    SkinLook look;
    look.name = "Sample";
    for (size_t i = 0; i < kColourRoleCount; ++i) {
        look.colours[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3)};
    }
    for (size_t i = 0; i < kMetricCount; ++i) look.metrics[i] = MetricRuleOf(static_cast<Metric>(i)).maximum;
    return look;
}

void PutU16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    PutU16(bytes, offset, static_cast<uint16_t>(value));
    PutU16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

// The first record after the name record.
constexpr size_t kFirstColourRecord = kPackageHeaderSize + 4 + 6;

TEST(SkinPackage, RoundTripsEveryColourMetricAndTheName) {
    const SkinLook look = SampleLook();
    const std::vector<uint8_t> package = PackSkin(look);
    ASSERT_TRUE(std::equal(std::begin(kPackageMagic), std::end(kPackageMagic), package.begin()));
    const std::optional<SkinLook> unpacked = UnpackSkin(package);
    ASSERT_TRUE(unpacked);
    EXPECT_EQ(*unpacked, look);
}

TEST(SkinPackage, SkipsRecordTypesItDoesNotKnow) {
    std::vector<uint8_t> package = PackSkin(SampleLook());
    const std::vector<uint8_t> unknown = {0x99, 0x00, 0x03, 0x00, 1, 2, 3};
    package.insert(package.end(), unknown.begin(), unknown.end());
    PutU16(package, 12, static_cast<uint16_t>(package[12] + 1));
    PutU32(package, 8, static_cast<uint32_t>(package.size()));
    EXPECT_TRUE(UnpackSkin(package));
}

struct Damage {
    const char* what;
    void (*apply)(std::vector<uint8_t>&);
};

class DamagedPackage : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedPackage, IsRejected) {
    std::vector<uint8_t> package = PackSkin(SampleLook());
    GetParam().apply(package);
    EXPECT_FALSE(UnpackSkin(package));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedPackage,
    ::testing::Values(
        Damage{"empty", [](auto& p) { p.clear(); }}, Damage{"wrong magic", [](auto& p) { p[1] = 'X'; }},
        Damage{"unknown version", [](auto& p) { PutU16(p, 6, 2); }},
        Damage{"truncated", [](auto& p) { p.resize(p.size() - 3); }},
        Damage{"header only", [](auto& p) { p.resize(kPackageHeaderSize); }},
        Damage{"length field larger than data", [](auto& p) { PutU32(p, 8, static_cast<uint32_t>(p.size() + 1)); }},
        Damage{"trailing bytes", [](auto& p) { p.push_back(0); }},
        Damage{"huge record count", [](auto& p) { PutU16(p, 12, 0xFFFF); }},
        Damage{"record count one short", [](auto& p) { PutU16(p, 12, static_cast<uint16_t>(p[12] - 1)); }},
        Damage{"record runs past the end", [](auto& p) { PutU16(p, kFirstColourRecord + 2, 0xFFFF); }},
        Damage{"colour record of wrong size", [](auto& p) { PutU16(p, kFirstColourRecord + 2, 5); }},
        Damage{"unknown colour role", [](auto& p) { PutU16(p, kFirstColourRecord + 4, 0x7FFF); }},
        Damage{"colour role given twice, one missing", [](auto& p) { PutU16(p, kFirstColourRecord + 4, 1); }},
        Damage{"metric above its range", [](auto& p) { PutU32(p, p.size() - 4, 1000000); }},
        Damage{"negative metric", [](auto& p) { PutU32(p, p.size() - 4, 0x80000000u); }},
        Damage{"name holding a zero byte", [](auto& p) { p[kPackageHeaderSize + 5] = 0; }},
        Damage{"larger than any skin",
               [](auto& p) {
                   p.resize(kMaximumPackageSize + 1);
                   PutU32(p, 8, static_cast<uint32_t>(p.size()));
               }}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

}  // namespace
}  // namespace skin_engine
