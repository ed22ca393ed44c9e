#pragma once
// The sound pages' buttons and the master volume slider's handler.

#include <vector>

#include "runtime/layout.h"

namespace sound {

// Layout rows of every sound button and inert button, in stacking order per page.
std::vector<rt::ControlLayout> SoundButtonLayouts();

// Handler of the volume slider's position-changed event.
void OnVolumeSliderMoved();

}  // namespace sound
