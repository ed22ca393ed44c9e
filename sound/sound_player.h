#pragma once
// One player: one MP3 file played once, read, decoded and sent to the default wave-out device
// on a background thread (kept from earlier players when one is idle).
//
// Thread contract: a player is created and destroyed on one thread (the user-interface
// thread). The constructor opens the file on that thread and starts the background work; the
// destructor is the synchronous discard: it returns only after the device has been reset and
// closed and the background work has ended. Report may be called from any thread.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "runtime/audio_output.h"
#include "runtime/file_stream.h"
#include "runtime/mp3_decoder.h"
#include "sound/mpeg_frame_reader.h"

namespace sound {

class BackgroundWorker;

enum class PlayerState : uint8_t { Stopped, Playing };

struct PlayerReport {
    PlayerState state = PlayerState::Stopped;
    std::optional<rt::PcmFormat> deviceFormat;  // set once the device has opened
    uint64_t bytesQueued = 0;
    std::optional<std::chrono::steady_clock::time_point> firstBufferQueuedAt;
};

class SoundPlayer {
public:
    explicit SoundPlayer(std::string path);
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    const std::string& Path() const { return path_; }
    PlayerReport Report() const;

private:
    enum class Ending : uint8_t { FinishedOrFailed, DeviceUnavailable, Discarded };

    void PlayInBackground() noexcept;
    Ending Play(rt::FileStream& file, uint64_t audioStart);
    Ending Feed(MpegFrameReader& frames, rt::Mp3Decoder& decoder, std::vector<uint8_t> firstPcm,
                rt::AudioOutput& output);
    bool QueueToDevice(rt::AudioOutput& output, std::vector<uint8_t> pcm);
    bool PublishOutput(rt::AudioOutput* output);

    const std::string path_;
    std::atomic<bool> discardRequested_{false};

    // Shared by the background thread and the thread that discards or asks for a report.
    mutable std::mutex mutex_;
    PlayerReport report_;
    rt::AudioOutput* wakeableOutput_ = nullptr;  // the open device, for the discard to wake

    // Set by the constructor; the file then belongs to the background work.
    std::unique_ptr<rt::FileStream> file_;
    uint64_t audioStart_ = 0;
    BackgroundWorker* worker_ = nullptr;  // reserved while the player exists
};

}  // namespace sound
