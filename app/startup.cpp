#include "app/startup.h"

#include "app/instance_guard.h"
#include "runtime/program.h"
#include "skins/dll_command_table.h"
#include "skins/skin_switcher.h"
#include "sound/playback_service.h"

namespace app {

void OnMainWindowCreated() {
    const rt::ProcessList processes = rt::ListProcesses();
    if (CountRunningInstances(processes) > 1) rt::EndProgram(0);
    skins::ShowSavedSkinAtStartup();
}

void RunExitRoutine() {
    skins::FreeDllCommandLibraries();
    sound::StopSound();
}

}  // namespace app
