#pragma once
// The single-instance guard: only one copy named "Sonitra.exe" runs at a time.

#include <cstdint>

#include "runtime/processes.h"

namespace app {

inline constexpr const char* kProgramFileName = "Sonitra.exe";

// The number of processes in `processes` whose name is exactly "Sonitra.exe" (byte for byte,
// case-sensitive). The running copy counts itself when it carries that name.
int32_t CountRunningInstances(const rt::ProcessList& processes);

}  // namespace app
