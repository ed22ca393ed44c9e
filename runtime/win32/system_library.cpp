#include "runtime/win32/system_library.h"

#include <string>

namespace rt::win32 {

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + fileName;
    // The altered search path makes the library's own imports resolve from the system folder
    // first, not from the executable's folder.
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool BindExports(HMODULE module, const char* const* names, FARPROC* addresses, size_t count) {
    if (!module) return false;
    for (size_t i = 0; i < count; ++i) {
        addresses[i] = GetProcAddress(module, names[i]);
        if (!addresses[i]) return false;
    }
    return true;
}

}  // namespace rt::win32
