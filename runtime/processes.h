#pragma once
// The system's process list, as one snapshot.

#include <cstdint>
#include <string>

#include "runtime/array.h"

namespace rt {

struct ProcessInfo {
    uint32_t processId = 0;
    std::string name;  // executable file name without folder, UTF-8; empty when none reported
    uint32_t moduleId = 0;
    uint32_t parentProcessId = 0;
    int32_t basePriority = 0;
    uint32_t threadCount = 0;
};

using ProcessList = Array<ProcessInfo>;

// A new list in the order the snapshot yields the processes; empty when no snapshot can be taken.
ProcessList ListProcesses();

}  // namespace rt
