#include "app/instance_guard.h"

namespace app {

int32_t CountRunningInstances(const rt::ProcessList& processes) {
    int32_t matches = 0;
    const int32_t count = processes.Count();
    for (int32_t i = 1; i <= count; ++i) {
        if (processes.At(i).name == kProgramFileName) ++matches;
    }
    return matches;
}

}  // namespace app
