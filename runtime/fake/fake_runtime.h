#pragma once
// An in-memory run time for the native unit tests: the same interfaces as the Win32 one, with
// state that tests can set and inspect. Single-threaded use only.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/processes.h"

namespace rt::fake {

// Thrown by EndProgram and RaiseRuntimeError, so tests can see how the program ended.
struct ProgramEnded {
    int32_t exitCode;
    int32_t errorCode = 0;
    std::string errorMessage;
};

struct FakeRuntime {
    std::map<std::string, std::string> controlTexts;
    std::map<std::string, int32_t> sliderPositions;
    std::map<std::string, Bytes> files;  // by path as given
    std::vector<std::string> unwritablePaths;
    std::vector<ProcessInfo> processes;
    std::string executableFolder = "C:\\Program";
    // Outside functions by "library!export"; a missing key makes binding fail.
    std::map<std::string, void*> outsideFunctions;
    std::vector<std::string> loadedLibraries;
    std::vector<std::string> freedLibraries;
};

// The one fake run time; Reset() gives every test a fresh one.
FakeRuntime& Runtime();
void Reset();

}  // namespace rt::fake
