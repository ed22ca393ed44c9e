#pragma once
// The fixed table of outside library functions the program calls.

#include <array>
#include <cstdint>

#include "runtime/outside_libraries.h"

namespace skins {

enum DllCommand { SkinAttachResCommand = 0, WaveOutSetVolumeCommand = 1 };

extern std::array<rt::OutsideFunction, 2> DllCommandTable;

// Frees the loaded libraries in table order (part of the exit routine).
void FreeDllCommandLibraries();

}  // namespace skins
