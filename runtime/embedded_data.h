#pragma once
// Blocks of read-only data carried inside the executable, looked up by name. The blocks live as
// long as the process; callers copy what they hand on.

#include <cstdint>
#include <span>
#include <string_view>

namespace rt {

// The block of that name, or an empty span when the executable carries none.
std::span<const uint8_t> EmbeddedData(std::string_view name);

}  // namespace rt
