#include "sound/playback_service.h"

namespace sound {

void PlaySoundFile(std::string_view) {}
void StopSound() {}

}  // namespace sound
