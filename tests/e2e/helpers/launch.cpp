// Starts a program for the end-to-end tests and reports its full 32-bit exit code, which Wine's
// own Unix exit status cuts to 8 bits.
//
//   launch <status file> <working folder or -> <program> [arguments...]
//
// The status file gets "pid <n>" as soon as the program runs, then "exit <n>" (unsigned) when it
// has ended, or "error <GetLastError>" when it could not be started.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Report(const wchar_t* statusFile, const char* line) {
    HANDLE file = CreateFileW(statusFile, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    CloseHandle(file);
}

// Quotes one argument the way CommandLineToArgvW reads it back.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring result = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(backslashes * 2, L'\\');
    return result + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: launch <status file> <working folder or -> <program> [arguments...]\n");
        return 2;
    }
    const wchar_t* statusFile = argv[1];
    const std::wstring workingFolder = argv[2];
    std::wstring commandLine = Quoted(argv[3]);
    for (int i = 4; i < argc; ++i) commandLine += L" " + Quoted(argv[i]);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    char line[64];
    if (!CreateProcessW(argv[3], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder == L"-" ? nullptr : workingFolder.c_str(), &startup, &process)) {
        std::snprintf(line, sizeof line, "error %lu\n", GetLastError());
        Report(statusFile, line);
        return 1;
    }
    std::snprintf(line, sizeof line, "pid %lu\n", process.dwProcessId);
    Report(statusFile, line);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::snprintf(line, sizeof line, "exit %lu\n", exitCode);
    Report(statusFile, line);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
