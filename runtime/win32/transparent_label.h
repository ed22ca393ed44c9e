#pragma once
// A label that paints no background: only its text, over whatever lies beneath it.

#include <windows.h>

namespace rt::win32 {

inline constexpr wchar_t kTransparentLabelClass[] = L"SonitraTransparentLabel";

void RegisterTransparentLabelClass(HINSTANCE instance);

}  // namespace rt::win32
