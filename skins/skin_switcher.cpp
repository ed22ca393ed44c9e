#include "skins/skin_switcher.h"

#include <string>

#include "runtime/controls.h"
#include "runtime/text_encoding.h"
#include "skins/apply_skin.h"
#include "skins/saved_skin_number.h"
#include "skins/skin_package_table.h"

namespace skins {
namespace {

// The label shows SkinNumber and is the source of what gets saved.
void ApplyShowAndSaveSkinNumber() {
    ApplySkin(SkinNumber);
    rt::SetControlText(kSkinNumberLabel, std::to_string(SkinNumber));
    SaveSkinNumber();
}

}  // namespace

int32_t SkinNumber = 0;

// Each step reads the file afresh, so the label shows the file's text exactly as it was read.
void ShowSavedSkinAtStartup() {
    ApplySkin(ReadSavedSkinNumber());
    rt::SetControlText(kSkinNumberLabel, rt::Utf8FromGbk(ReadSavedSkinText()));
    SkinNumber = ReadSavedSkinNumber();
}

// The bounds checks come first, so the steps never overflow and a press at either end does nothing.
void OnNextSkin() {
    if (SkinNumber >= kSkinCount) return;
    ++SkinNumber;
    ApplyShowAndSaveSkinNumber();
}

void OnPreviousSkin() {
    if (SkinNumber <= 1) return;
    --SkinNumber;
    ApplyShowAndSaveSkinNumber();
}

}  // namespace skins
