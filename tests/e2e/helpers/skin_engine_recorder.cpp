// A stand-in skin engine for the end-to-end tests: exports SkinH_AttachRes and appends one line
// per call to skin_engine_calls.txt beside itself, so a test can see what the program handed
// over and whether any of its windows was already visible at that moment.
#include <windows.h>

#include <cstdio>
#include <string>

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
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"skin_engine_calls.txt";
}

BOOL CALLBACK NoteVisibleWindow(HWND window, LPARAM visibleCount) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window)) ++*reinterpret_cast<int*>(visibleCount);
    return TRUE;
}

int VisibleWindowsOfThisProcess() {
    int count = 0;
    EnumWindows(NoteVisibleWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

// One line: "attach <length> <first bytes in hex or -> password=<text> <a> <b> <c> visible=<n>".
extern "C" __declspec(dllexport) int SkinH_AttachRes(const unsigned char* package, int length, const char* password,
                                                     int a, int b, int c) {
    std::string head = package ? "" : "-";
    for (int i = 0; package && i < length && i < 6; ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", package[i]);
        head += hex;
    }
    char line[256];
    std::snprintf(line, sizeof line, "attach %d %s password=%s %d %d %d visible=%d\n", length, head.c_str(),
                  password ? password : "(null)", a, b, c, VisibleWindowsOfThisProcess());
    FILE* log = _wfopen(LogPath().c_str(), L"ab");
    if (log) {
        std::fputs(line, log);
        std::fclose(log);
    }
    return 1;
}
