#include "runtime/outside_libraries.h"

#include <windows.h>

#include <string>

#include "runtime/files.h"
#include "runtime/program.h"
#include "runtime/win32/wide_text.h"

namespace rt {
namespace {

// The executable's own folder first, so a library shipped beside the program wins over the
// system's copy; then the normal library search.
HMODULE LoadOutsideLibrary(const char* library) {
    const std::wstring name = win32::WideFromUtf8(library);
    const std::wstring besideProgram = win32::WideFromUtf8(ExecutableFolder()) + L"\\" + name;
    HMODULE module = LoadLibraryW(besideProgram.c_str());
    return module ? module : LoadLibraryW(name.c_str());
}

[[noreturn]] void RaiseBindingError(const OutsideFunction& entry) {
    RaiseRuntimeError(0, std::string("The function \"") + entry.exportName + "\" of the library \"" + entry.library +
                             "\" could not be loaded.");
}

}  // namespace

void* BindOutsideFunction(OutsideFunction& entry) {
    if (entry.address) return entry.address;
    HMODULE module = LoadOutsideLibrary(entry.library);
    if (!module) RaiseBindingError(entry);
    FARPROC address = GetProcAddress(module, entry.exportName);
    if (!address) {
        FreeLibrary(module);
        RaiseBindingError(entry);
    }
    entry.libraryHandle = module;
    entry.address = reinterpret_cast<void*>(address);
    return entry.address;
}

void FreeOutsideLibraries(std::span<OutsideFunction> table) {
    for (OutsideFunction& entry : table) {
        if (entry.libraryHandle) FreeLibrary(static_cast<HMODULE>(entry.libraryHandle));
        entry.libraryHandle = nullptr;
        entry.address = nullptr;
    }
}

}  // namespace rt
