// The program's entry: hands the main window's layout and the exit routine to the run time.
#include <windows.h>

#include "app/main_window_layout.h"
#include "app/startup.h"
#include "runtime/program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const rt::ProgramDefinition program{&app::MainWindowLayout(), app::RunExitRoutine};
    return rt::RunProgram(program);
}
