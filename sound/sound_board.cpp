#include "sound/sound_board.h"

namespace sound {

std::vector<rt::ControlLayout> SoundButtonLayouts() { return {}; }

void OnVolumeSliderMoved() {}

}  // namespace sound
