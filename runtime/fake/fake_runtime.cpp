#include "runtime/fake/fake_runtime.h"

#include <algorithm>

#include "runtime/controls.h"
#include "runtime/outside_libraries.h"
#include "runtime/program.h"
#include "runtime/text_encoding.h"

namespace rt::fake {

FakeRuntime& Runtime() {
    static FakeRuntime runtime;
    return runtime;
}

void Reset() { Runtime() = FakeRuntime{}; }

}  // namespace rt::fake

namespace rt {

using fake::Runtime;

int RunProgram(const ProgramDefinition&) { return 0; }
void EndProgram(int32_t code) { throw fake::ProgramEnded{code}; }
void RaiseRuntimeError(int32_t code, std::string_view message) {
    throw fake::ProgramEnded{-1, code, std::string(message)};
}

std::string ControlText(std::string_view name) { return Runtime().controlTexts[std::string(name)]; }
void SetControlText(std::string_view name, std::string_view text) { Runtime().controlTexts[std::string(name)] = text; }
int32_t SliderPosition(std::string_view name) { return Runtime().sliderPositions[std::string(name)]; }

// The fake keeps GBK bytes as they are; the Win32 run time converts them for real.
std::string Utf8FromGbk(std::string_view gbk) { return std::string(gbk); }
std::string GbkFromUtf8(std::string_view utf8) { return std::string(utf8); }

std::optional<Bytes> ReadWholeFile(std::string_view path) {
    auto found = Runtime().files.find(std::string(path));
    if (found == Runtime().files.end()) return std::nullopt;
    return found->second;
}

bool WriteWholeFileAtomically(std::string_view path, const Bytes& content) {
    auto& unwritable = Runtime().unwritablePaths;
    if (std::find(unwritable.begin(), unwritable.end(), path) != unwritable.end()) return false;
    Runtime().files[std::string(path)] = content;
    return true;
}

bool PathExists(std::string_view path) { return Runtime().files.count(std::string(path)) != 0; }
bool SetHiddenAttributeOnly(std::string_view path) { return PathExists(path); }
std::string ExecutableFolder() { return Runtime().executableFolder; }

ProcessList ListProcesses() { return ProcessList(Runtime().processes); }

void* BindOutsideFunction(OutsideFunction& entry) {
    if (entry.address) return entry.address;
    const std::string key = std::string(entry.library) + "!" + entry.exportName;
    auto found = Runtime().outsideFunctions.find(key);
    if (found == Runtime().outsideFunctions.end()) {
        RaiseRuntimeError(0, std::string("The function \"") + entry.exportName + "\" of the library \"" + entry.library +
                                 "\" could not be loaded.");
    }
    Runtime().loadedLibraries.push_back(entry.library);
    entry.libraryHandle = &Runtime();
    entry.address = found->second;
    return entry.address;
}

void FreeOutsideLibraries(std::span<OutsideFunction> table) {
    for (OutsideFunction& entry : table) {
        if (entry.libraryHandle) Runtime().freedLibraries.push_back(entry.library);
        entry.libraryHandle = nullptr;
        entry.address = nullptr;
    }
}

}  // namespace rt
