#pragma once
// The main window, built from its layout table.

#include <windows.h>

#include <string_view>

#include "runtime/layout.h"

namespace rt::win32 {

// Creates the window hidden and centred with all its controls, raises its created event, and
// shows it if it still exists. Returns whether the window exists afterwards.
bool LoadMainWindow(const WindowLayout& layout);

// The control of the main window with that layout name, or null.
HWND FindControl(std::string_view controlName);

}  // namespace rt::win32
