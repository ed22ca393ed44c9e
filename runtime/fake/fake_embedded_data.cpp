#include "runtime/fake/fake_embedded_data.h"

#include "runtime/embedded_data.h"

namespace rt::fake {

std::map<std::string, Bytes>& EmbeddedBlocks() {
    static std::map<std::string, Bytes> blocks;
    return blocks;
}

}  // namespace rt::fake

namespace rt {

std::span<const uint8_t> EmbeddedData(std::string_view name) {
    auto found = fake::EmbeddedBlocks().find(std::string(name));
    if (found == fake::EmbeddedBlocks().end()) return {};
    return found->second;
}

}  // namespace rt
