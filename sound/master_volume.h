#pragma once
// The wave-out master volume, set from the volume slider's position (1 quietest, 100 loudest).
// User-interface thread only; the volume is neither saved nor set at start-up.

#include <cstdint>

namespace sound {

// The waveOutSetVolume word for two slider positions: the left channel in the low 16 bits,
// the right one in the high 16 bits, each (257 - L) * 255 for the attenuation step
// L = trunc((100 - position) / 100 * 256).
uint32_t VolumeWord(int32_t leftPosition, int32_t rightPosition);

// Sets the volume of wave-out device 0 through the outside-library table; the result is ignored.
void SetMasterVolume(int32_t leftPosition, int32_t rightPosition);

}  // namespace sound
