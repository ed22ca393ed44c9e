#include "sound/master_volume.h"

#include <cmath>

#include "skins/dll_command_table.h"

namespace sound {
namespace {

// waveOutSetVolume(device identifier, volume word), declared without the Windows headers.
#if defined(_WIN32) && !defined(_WIN64)
using WaveOutSetVolumeFunction = unsigned(__stdcall*)(unsigned, unsigned);
#else
using WaveOutSetVolumeFunction = unsigned (*)(unsigned, unsigned);
#endif

constexpr unsigned kDeviceZero = 0;

// The arithmetic is double precision with truncation toward zero. Going through 64 bits keeps
// positions far outside 1..100 well defined: the step then wraps like a 32-bit integer.
int32_t AttenuationStep(int32_t position) {
    const double step = std::trunc((100.0 - position) / 100.0 * 256.0);
    return static_cast<int32_t>(static_cast<int64_t>(step));
}

}  // namespace

uint32_t VolumeWord(int32_t leftPosition, int32_t rightPosition) {
    const double left = AttenuationStep(leftPosition);
    const double right = AttenuationStep(rightPosition);
    const double word = std::trunc((257.0 - left) * 255.0 + (257.0 - right) * 16711680.0);
    return static_cast<uint32_t>(static_cast<int64_t>(word));
}

void SetMasterVolume(int32_t leftPosition, int32_t rightPosition) {
    auto& entry = skins::DllCommandTable[skins::WaveOutSetVolumeCommand];
    const auto waveOutSetVolume = reinterpret_cast<WaveOutSetVolumeFunction>(rt::BindOutsideFunction(entry));
    waveOutSetVolume(kDeviceZero, VolumeWord(leftPosition, rightPosition));
}

}  // namespace sound
