#pragma once
// The run time's ways of running and ending the program. Portable: no Win32 types.
//
// Thread contract: everything here is called on the user-interface thread only. Background
// threads (the playback service's) never end the program: they fail silently instead.

#include <cstdint>
#include <string_view>

namespace rt {

struct WindowLayout;

// What the program hands to the run time at its entry.
struct ProgramDefinition {
    const WindowLayout* mainWindow;
    // The program's part of the exit routine. The run time calls it exactly once, whichever
    // way the program ends: after the message loop, from EndProgram and from RaiseRuntimeError.
    void (*exitRoutine)();
};

// Makes the executable's folder the current directory, creates the main window from its
// layout, runs the message loop and the exit routine. Returns the process exit code.
int RunProgram(const ProgramDefinition& program);

// Runs the exit routine, then ends the process with `code`. Never returns.
[[noreturn]] void EndProgram(int32_t code);

// Shows the run-time error box (no owner window, error icon, OK), then ends the program with
// exit code -1. `message` is UTF-8; a code of 0 and an empty message are left out of the box.
[[noreturn]] void RaiseRuntimeError(int32_t code, std::string_view message);

}  // namespace rt
