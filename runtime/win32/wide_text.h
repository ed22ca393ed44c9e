#pragma once
// UTF-8 <-> UTF-16 at the Win32 boundary.

#include <string>
#include <string_view>

namespace rt::win32 {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace rt::win32
