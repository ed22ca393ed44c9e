#pragma once
// Reading and writing properties of the main window's controls, addressed by layout name.
// User-interface thread only. Texts are UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

std::string ControlText(std::string_view controlName);
void SetControlText(std::string_view controlName, std::string_view text);
int32_t SliderPosition(std::string_view controlName);

}  // namespace rt
