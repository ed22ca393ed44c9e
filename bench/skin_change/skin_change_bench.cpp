// Times a skin change as the user sees it: from the SkinH_AttachRes call until the window and
// every control have been repainted (RedrawWindow with RDW_UPDATENOW has returned and GDI has
// flushed). Cycles through all 33 skins several times and prints the median and the 99th
// percentile. Usage: skin_change_bench [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "skin_engine/win32/host/look_alike_window.h"
#include "skins/skin_package_table.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const size_t index =
        std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())));
    return values[index];
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace skin_engine::host;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const AttachRes attach = LoadSkinEngine();
    if (!attach) {
        std::fprintf(stderr, "SkinH_EL.dll not found beside the benchmark\n");
        return 1;
    }
    LookAlikeWindow window = CreateLookAlikeWindow();
    SetWindowTextW(window.skinLabel, L"1");
    PumpMessages();
    ApplySkinNumber(attach, 1);  // the first change also loads fonts and code
    PumpMessages();

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        for (int n = 1; n <= skins::kSkinCount; ++n) {
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            ApplySkinNumber(attach, n);
            RedrawWindow(window.frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            GdiFlush();
            QueryPerformanceCounter(&end);
            times.push_back(Milliseconds(start, end, frequency));
            PumpMessages();
        }
    }
    std::printf("skin changes: %zu (33 skins x %d rounds)\n", times.size(), rounds);
    std::printf("median: %.2f ms\np99: %.2f ms\nmax: %.2f ms\n", Percentile(times, 0.5), Percentile(times, 0.99),
                Percentile(times, 1.0));
    DestroyWindow(window.frame);
    return 0;
}
