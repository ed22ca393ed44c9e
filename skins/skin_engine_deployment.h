#pragma once
// The skin engine travels inside the executable and is written, hidden, beside it when missing,
// so the program can be handed out as a single file.

#include <string>
#include <string_view>

namespace skins {

// Name of the engine's image among the executable's embedded blocks.
inline constexpr std::string_view kSkinEngineImageName = "SKINH_EL";

// The executable's folder + "\SkinH_EL.dll".
std::string SkinEnginePath();

// Writes the engine's image to SkinEnginePath() when nothing of that name exists there, and
// leaves any file or directory of that name alone. Reports nothing, whatever happens.
void DeploySkinEngine();

}  // namespace skins
