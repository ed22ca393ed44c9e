#include "runtime/processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include "runtime/win32/wide_text.h"

namespace rt {

ProcessList ListProcesses() {
    std::vector<ProcessInfo> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        processes.push_back({entry.th32ProcessID, win32::Utf8FromWide(entry.szExeFile), entry.th32ModuleID,
                             entry.th32ParentProcessID, entry.pcPriClassBase, entry.cntThreads});
    }
    if (snapshot != INVALID_HANDLE_VALUE) CloseHandle(snapshot);
    return ProcessList(std::move(processes));
}

}  // namespace rt
