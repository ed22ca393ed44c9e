#pragma once
// The 33 skin packages carried inside the program. Package n is skin n, for 1 <= n <= 33.

#include <array>
#include <cstdint>

namespace skins {

struct SkinPackage {
    const uint8_t* data;
    uint32_t length;
};

inline constexpr int kSkinCount = 33;

// Index n - 1 holds skin n.
extern const std::array<SkinPackage, kSkinCount> SkinPackageTable;

}  // namespace skins
