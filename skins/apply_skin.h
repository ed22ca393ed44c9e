#pragma once
// Hands a skin package to the skin engine.

#include <cstdint>

namespace skins {

// Deploys the engine if it is missing, then calls SkinH_AttachRes with a fresh copy of package
// n for 1 <= n <= 33, or with no package for any other n. The copy lives only for the call.
// A missing engine or export ends the program through the run-time error box.
void ApplySkin(int32_t n);

}  // namespace skins
