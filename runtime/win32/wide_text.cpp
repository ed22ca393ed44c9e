#include "runtime/win32/wide_text.h"

#include <windows.h>

#include "runtime/text_encoding.h"

namespace rt::win32 {
namespace {

std::wstring WideFromCodePage(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
    return wide;
}

std::string CodePageFromWide(UINT codePage, std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

constexpr UINT kGbkCodePage = 936;

}  // namespace

std::wstring WideFromUtf8(std::string_view utf8) { return WideFromCodePage(CP_UTF8, utf8); }
std::string Utf8FromWide(std::wstring_view wide) { return CodePageFromWide(CP_UTF8, wide); }

}  // namespace rt::win32

namespace rt {

std::string Utf8FromGbk(std::string_view gbk) {
    return win32::Utf8FromWide(win32::WideFromCodePage(win32::kGbkCodePage, gbk));
}

std::string GbkFromUtf8(std::string_view utf8) {
    return win32::CodePageFromWide(win32::kGbkCodePage, win32::WideFromUtf8(utf8));
}

}  // namespace rt
