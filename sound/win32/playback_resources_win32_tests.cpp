// The playback service must give back every handle and thread it takes: a host clicks thousands
// of times in a show. Handles are counted in-process, since Wine reports only the size of a
// process's handle table to other processes.

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>

#include "sound/playback_service.h"
#include "sound/win32/test_fixtures.h"

namespace sound {
namespace {

int OpenHandleCount() {
    int count = 0;
    for (uintptr_t value = 4; value < 4 * 16384; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

int ThreadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// Waits until the current player has its device open (or has given up), so the request after it
// tears a real device down.
void WaitForDeviceOrEnd() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        const auto report = CurrentPlayerReport();
        if (!report || report->deviceFormat || report->state == PlayerState::Stopped) return;
        Sleep(1);
    }
}

void PlayAndCut(int requests) {
    const char* files[] = {"stereo_44100.mp3", "mono_22050.mp3", "id3v23_audio_in_tag.mp3", "text.mp3",
                           "no_such_file.mp3"};
    for (int i = 0; i < requests; ++i) {
        PlaySoundFile(Fixture(files[i % 5]));
        if (i % 2 == 0) WaitForDeviceOrEnd();
        if (i % 7 == 6) StopSound();
    }
    StopSound();
}

// The system's sound layer keeps or ends helper threads of its own (with their handles) a while
// after a device closes, so a few of either may come and go; a leak of even one handle per ten
// requests would pass that margin many times over.
struct Margin {
    int handles;
    int threads;
};
constexpr Margin kSystemMargin = {12, 2};

bool SettlesWithin(std::chrono::seconds limit, int handles, int threads) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        if (OpenHandleCount() <= handles && ThreadCount() <= threads) return true;
        Sleep(50);
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

TEST(PlaybackResources, ManyRequestsLeaveNoHandleOrThreadBehind) {
    PlayAndCut(20);  // loads the codec and the sound libraries once
    ASSERT_TRUE(SettlesWithin(std::chrono::seconds(5), INT_MAX, INT_MAX));
    const int handles = OpenHandleCount();
    const int threads = ThreadCount();
    PlayAndCut(300);
    EXPECT_TRUE(SettlesWithin(std::chrono::seconds(10), handles + kSystemMargin.handles, threads + kSystemMargin.threads))
        << "handles " << handles << " -> " << OpenHandleCount() << ", threads " << threads << " -> " << ThreadCount();
}

}  // namespace
}  // namespace sound
