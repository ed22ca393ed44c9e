#include "skins/skin_switcher.h"

namespace skins {

int32_t SkinNumber = 0;

void ShowSavedSkinAtStartup() {}
void OnNextSkin() {}
void OnPreviousSkin() {}

}  // namespace skins
