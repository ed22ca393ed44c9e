#pragma once
// The skin switcher: the two skin buttons, the skin-number label and the saved skin number.

#include <cstdint>

namespace skins {

// The skin currently selected; 0 until start-up sets it.
extern int32_t SkinNumber;

// Start-up: applies the saved skin, shows the saved text in the label, sets SkinNumber.
void ShowSavedSkinAtStartup();

void OnNextSkin();
void OnPreviousSkin();

}  // namespace skins
