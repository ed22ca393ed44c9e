// Placeholder packages until the skin compiler generates the real table.
#include "skins/skin_package_table.h"

namespace skins {
namespace {
const uint8_t kEmptyPackage[] = {0x2E, 0x53, 0x48, 0x45, 0x00, 0x03};
}

const std::array<SkinPackage, kSkinCount> SkinPackageTable = [] {
    std::array<SkinPackage, kSkinCount> table{};
    for (auto& package : table) package = {kEmptyPackage, sizeof(kEmptyPackage)};
    return table;
}();

}  // namespace skins
