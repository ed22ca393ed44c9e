#pragma once
// The saved skin number: "settings.ini" beside the executable holds the decimal text of the last
// chosen skin, in GBK bytes, with no line end. Reading never fails: an absent, unreadable or
// locked file is the empty text, hence number 0. Writing fails silently and keeps the old content.

#include <cstdint>
#include <string>
#include <string_view>

namespace skins {

inline constexpr std::string_view kSettingsFile = "settings.ini";
// The label that shows the skin number; its caption is what gets saved.
inline constexpr std::string_view kSkinNumberLabel = "透明标签1";

// The file's GBK bytes up to, not including, the first zero byte.
std::string ReadSavedSkinText();

// ReadSavedSkinText() converted by SkinNumberFromText.
int32_t ReadSavedSkinNumber();

// Writes the label's caption, in GBK, as the whole content of the settings file.
void SaveSkinNumber();

// Full-width characters of code page 936 are folded to ASCII first; then leading white space,
// an optional sign and decimal digits are read, wrapping modulo 2^32 without any overflow check.
int32_t SkinNumberFromText(std::string_view gbkText);

}  // namespace skins
