#pragma once
// Functions of outside libraries, bound by name at their first call.
//
// A program keeps a fixed table of OutsideFunction entries. The first call of an entry loads
// its library (the executable's folder first, then the normal library search), looks up the
// export and keeps both; a missing library or export frees what loaded and raises a run-time
// error naming both. FreeOutsideLibraries frees what was loaded, in table order.
// User-interface thread only.

#include <span>
#include <string_view>

namespace rt {

struct OutsideFunction {
    const char* library;  // file name, e.g. "winmm.dll"
    const char* exportName;
    void* address = nullptr;
    void* libraryHandle = nullptr;
};

// The address of the entry's function, binding it first if needed. Never returns null.
void* BindOutsideFunction(OutsideFunction& entry);

// Frees every loaded library of the table, in table order, and forgets the bindings.
void FreeOutsideLibraries(std::span<OutsideFunction> table);

}  // namespace rt
