#pragma once

namespace app {

// The main window's created handler: runs once, after every control exists and before the
// window is first shown.
void OnMainWindowCreated();

// The program's part of the exit routine: frees the outside libraries in table order, then
// discards the current player.
void RunExitRoutine();

}  // namespace app
