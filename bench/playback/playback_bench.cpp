// Measures the playback service with the real decoder and wave-out device:
//   - how long a play request holds the calling thread,
//   - how long from a play request until the first decoded buffer is handed to the device,
//   - how long a stop request takes while a clip sounds,
//   - how many times faster than real time the clips decode.
// Usage: playback_bench FOLDER [ROUNDS]   (every *.mp3 of FOLDER; ROUNDS play/stop rounds)

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "runtime/win32/wide_text.h"
#include "sound/mp3_file_decoding.h"
#include "sound/playback_service.h"

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

std::vector<std::string> Mp3FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(rt::win32::WideFromUtf8(folder + "\\*.mp3").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        files.push_back(folder + "\\" + rt::win32::Utf8FromWide(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(files.begin(), files.end());
    return files;
}

void PrintSummary(const char* what, std::vector<double> values) {
    if (values.empty()) {
        std::printf("%-34s no samples\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    const auto at = [&values](double fraction) {
        return values[std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()))];
    };
    std::printf("%-34s median %7.3f ms   p99 %7.3f ms   max %7.3f ms   (%zu samples)\n", what, at(0.5), at(0.99),
                values.back(), values.size());
}

struct RoundTimes {
    std::vector<double> play, firstBuffer, stop;
    int silent = 0;  // rounds in which no buffer reached a device
};

RoundTimes PlayAndStop(const std::vector<std::string>& files, int rounds) {
    RoundTimes times;
    for (int round = 0; round < rounds; ++round) {
        const std::string& file = files[static_cast<size_t>(round) % files.size()];
        const auto requested = Clock::now();
        sound::PlaySoundFile(file);
        times.play.push_back(Milliseconds(Clock::now() - requested).count());

        const auto deadline = requested + std::chrono::seconds(2);
        std::optional<Clock::time_point> firstBuffer;
        while (Clock::now() < deadline) {
            const auto report = sound::CurrentPlayerReport();
            if (!report || report->state == sound::PlayerState::Stopped) break;
            if ((firstBuffer = report->firstBufferQueuedAt)) break;
            std::this_thread::yield();
        }
        if (firstBuffer) {
            times.firstBuffer.push_back(Milliseconds(*firstBuffer - requested).count());
        } else {
            ++times.silent;
        }
        // Let the clip sound for a moment, as between two clicks, then stop it.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto stopRequested = Clock::now();
        sound::StopSound();
        times.stop.push_back(Milliseconds(Clock::now() - stopRequested).count());
    }
    return times;
}

// The parts of a start that the platform does: opening the decoder and the device.
void MeasurePlatformOpens(int rounds) {
    std::vector<double> decoder, device;
    const rt::Mp3StreamFormat format{{44100, 2}, 128, 417, 1152};
    for (int round = 0; round < rounds; ++round) {
        auto begin = Clock::now();
        auto opened = rt::OpenMp3Decoder(format);
        decoder.push_back(Milliseconds(Clock::now() - begin).count());
        begin = Clock::now();
        auto output = rt::OpenAudioOutput(format.pcm);
        device.push_back(Milliseconds(Clock::now() - begin).count());
    }
    PrintSummary("  of which: decoder open", decoder);
    PrintSummary("  of which: device open", device);
}

void MeasureDecoding(const std::vector<std::string>& files) {
    double audioSeconds = 0;
    double decodeSeconds = 0;
    int failed = 0;
    for (const std::string& file : files) {
        const auto begin = Clock::now();
        const auto clip = sound::DecodeMp3File(file);
        decodeSeconds += std::chrono::duration<double>(Clock::now() - begin).count();
        if (!clip) {
            ++failed;
            continue;
        }
        audioSeconds += static_cast<double>(clip->pcm.size()) / (clip->format.sampleRate * clip->format.channels * 2.0);
    }
    std::printf("%-34s %.2f s of audio in %.3f s: %.0f x real time (%d files without audio)\n", "decoding (ACM)",
                audioSeconds, decodeSeconds, decodeSeconds > 0 ? audioSeconds / decodeSeconds : 0.0, failed);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: playback_bench FOLDER [ROUNDS]\n");
        return 2;
    }
    const std::vector<std::string> files = Mp3FilesIn(argv[1]);
    if (files.empty()) {
        std::fprintf(stderr, "no .mp3 files in %s\n", argv[1]);
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    std::printf("%zu files, %d play/stop rounds\n", files.size(), rounds);
    PlayAndStop(files, 3);  // warm-up: libraries loaded, caches filled
    const RoundTimes times = PlayAndStop(files, rounds);
    PrintSummary("play request holds the caller", times.play);
    PrintSummary("request to first buffer queued", times.firstBuffer);
    MeasurePlatformOpens(std::min(rounds, 50));
    PrintSummary("stop request while sounding", times.stop);
    if (times.silent) std::printf("%d rounds reached no device (files without audio, or no device)\n", times.silent);
    MeasureDecoding(files);
    return 0;
}
