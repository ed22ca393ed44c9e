#include "skins/dll_command_table.h"

namespace skins {

std::array<rt::OutsideFunction, 2> DllCommandTable = {{
    {"SkinH_EL.dll", "SkinH_AttachRes"},
    {"winmm.dll", "waveOutSetVolume"},
}};

void FreeDllCommandLibraries() { rt::FreeOutsideLibraries(DllCommandTable); }

}  // namespace skins
