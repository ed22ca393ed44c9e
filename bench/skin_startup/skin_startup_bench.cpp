// Start-up time with a saved skin: starts the program again and again and measures, with the
// performance counter, the time from CreateProcess to its main window being visible. Each run is
// closed with WM_CLOSE and waited for before the next one starts.
//
// Usage: skin_startup_bench <program> <runs>. Prints one line per run and the median, in ms.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if (process == search->processId && IsWindowVisible(window) && (style & WS_CAPTION) == WS_CAPTION) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds from process creation to a visible captioned window, or a negative value when the
// program ended or showed nothing within 30 seconds.
double TimeOneStart(std::wstring program) {
    STARTUPINFOW startup{sizeof(STARTUPINFOW)};
    PROCESS_INFORMATION process{};
    LARGE_INTEGER started, shown;
    QueryPerformanceCounter(&started);
    if (!CreateProcessW(nullptr, program.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return -1;
    }
    Search search{process.dwProcessId, nullptr};
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (!search.found && GetTickCount64() < deadline) {
        EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found && WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    QueryPerformanceCounter(&shown);
    if (search.found) PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return search.found ? Milliseconds(started, shown) : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: skin_startup_bench <program> <runs>\n");
        return 2;
    }
    const std::wstring program = L"\"" + std::wstring(argv[1]) + L"\"";
    const int runs = std::max(1, _wtoi(argv[2]));
    std::vector<double> times;
    for (int run = 1; run <= runs; ++run) {
        const double time = TimeOneStart(program);
        std::printf("run %d: %.1f ms\n", run, time);
        if (time < 0) return 1;
        times.push_back(time);
    }
    std::sort(times.begin(), times.end());
    const size_t middle = times.size() / 2;
    const double median = times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    std::printf("median %.1f ms, min %.1f ms, max %.1f ms over %d runs\n", median, times.front(), times.back(), runs);
    return 0;
}
