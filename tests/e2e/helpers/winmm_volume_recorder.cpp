// A stand-in winmm.dll for the end-to-end volume tests. Placed beside Sonitra.exe, it is the
// library the outside-library table binds first; each waveOutSetVolume call appends one line,
// "<device> <volume word in hex>", to volume_calls.txt beside itself. Built a second time without
// the export, it shows what the program does when the library lacks the function.
#include <windows.h>

#include <cstdio>
#include <string>

#ifndef SONITRA_LEAVE_OUT_VOLUME_EXPORT
namespace {

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::wstring LogPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(ThisModule(), path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"volume_calls.txt";
}

}  // namespace

extern "C" __declspec(dllexport) UINT WINAPI waveOutSetVolume(UINT device, DWORD volume) {
    char line[64];
    std::snprintf(line, sizeof line, "%u %08lX\n", device, static_cast<unsigned long>(volume));
    FILE* log = _wfopen(LogPath().c_str(), L"ab");
    if (log) {
        std::fputs(line, log);
        std::fclose(log);
    }
    return 0;
}
#endif

// Something to export either way, so that both builds are ordinary libraries.
extern "C" __declspec(dllexport) UINT WINAPI waveOutGetNumDevs() { return 0; }
