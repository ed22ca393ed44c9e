#pragma once
// Libraries of the system folder, loaded by full path at their first use and kept for the
// rest of the process. A library of the same name beside the executable is never taken for
// them, nor for what they import themselves.

#include <windows.h>

namespace rt::win32 {

// The module, or null when it cannot be loaded. Thread-safe.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

// Looks up every name of `names` in `module` into `addresses`; false when one is missing.
bool BindExports(HMODULE module, const char* const* names, FARPROC* addresses, size_t count);

}  // namespace rt::win32
