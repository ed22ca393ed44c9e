#pragma once
// Conversions between UTF-8 (the program's texts) and GBK, code page 936 (bytes that stored
// files carry). They give the same result on every system code page.

#include <string>
#include <string_view>

namespace rt {

std::string Utf8FromGbk(std::string_view gbk);
std::string GbkFromUtf8(std::string_view utf8);

}  // namespace rt
