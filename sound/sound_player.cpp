#include "sound/sound_player.h"

#include <array>
#include <condition_variable>
#include <functional>
#include <system_error>
#include <thread>
#include <utility>

#include "sound/id3_tag.h"
#include "sound/mp3_file_decoding.h"

namespace sound {
namespace {

// The first buffers hold one frame each so that sound starts soon; later ones gather several
// frames, and only a bounded amount of audio is queued ahead of the device.
constexpr int kSingleFrameBuffers = 3;
constexpr int kFramesPerLaterBuffer = 8;
constexpr size_t kMaxBuffersQueued = 6;

std::optional<uint64_t> FindAudioStart(rt::FileStream& file) {
    const auto readHeader = [&file](uint64_t offset, std::span<uint8_t, kId3HeaderBytes> header) {
        return file.ReadAt(offset, header) == header.size();
    };
    return AudioStartAfterId3Tags(readHeader, file.Size());
}

}  // namespace

// One kept thread and the one job it runs at a time.
class BackgroundWorker {
public:
    BackgroundWorker() : thread_(&BackgroundWorker::Serve, this) {}

    void Run(std::function<void()> job) {
        std::lock_guard lock(mutex_);
        job_ = std::move(job);
        busy_ = true;
        changed_.notify_all();
    }

    void WaitUntilIdle() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
    }

private:
    // The jobs never throw (PlayInBackground is noexcept), so nothing leaves this thread entry.
    void Serve() noexcept {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return busy_ && job_; });
            std::function<void()> job = std::move(job_);
            job_ = nullptr;
            lock.unlock();
            job();
            job = nullptr;
            lock.lock();
            busy_ = false;
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool busy_ = false;
    std::thread thread_;
};

// Starting a thread costs milliseconds on some systems, more than the rest of a start, so the
// threads of discarded players are kept and given to the next ones. The workers live until the
// process ends: they are never destroyed, so a player discarded during static destruction can
// still wait for its own; idle ones hold nothing.
class BackgroundWorkers {
public:
    // An idle worker, reserved until Release; a new one when all are taken. Throws
    // std::system_error when no thread can be started.
    BackgroundWorker& Reserve() {
        std::lock_guard lock(mutex_);
        if (idle_.empty()) return *new BackgroundWorker;
        BackgroundWorker& worker = *idle_.back();
        idle_.pop_back();
        return worker;
    }

    void Release(BackgroundWorker& worker) {
        std::lock_guard lock(mutex_);
        idle_.push_back(&worker);
    }

private:
    std::mutex mutex_;
    std::vector<BackgroundWorker*> idle_;
};

namespace {

BackgroundWorkers& Workers() {
    static auto* workers = new BackgroundWorkers;
    return *workers;
}

}  // namespace

SoundPlayer::SoundPlayer(std::string path) : path_(std::move(path)) {
    file_ = rt::OpenFileStream(path_);
    if (!file_) return;
    const std::optional<uint64_t> audioStart = FindAudioStart(*file_);
    if (!audioStart) return;
    audioStart_ = *audioStart;
    report_.state = PlayerState::Playing;
    try {
        worker_ = &Workers().Reserve();
    } catch (const std::system_error&) {
        report_.state = PlayerState::Stopped;
        return;
    }
    worker_->Run([this] { PlayInBackground(); });
}

SoundPlayer::~SoundPlayer() {
    discardRequested_ = true;
    {
        std::lock_guard lock(mutex_);
        if (wakeableOutput_) wakeableOutput_->Wake();
    }
    if (worker_) {
        worker_->WaitUntilIdle();
        Workers().Release(*worker_);
    }
}

PlayerReport SoundPlayer::Report() const {
    std::lock_guard lock(mutex_);
    return report_;
}

void SoundPlayer::PlayInBackground() noexcept {
    Ending ending = Ending::FinishedOrFailed;
    try {
        const std::unique_ptr<rt::FileStream> file = std::move(file_);
        ending = Play(*file, audioStart_);
    } catch (...) {
        // Out of memory in the background: the file has failed, silently.
    }
    if (ending == Ending::FinishedOrFailed) {
        std::lock_guard lock(mutex_);
        report_.state = PlayerState::Stopped;
    }
}

SoundPlayer::Ending SoundPlayer::Play(rt::FileStream& file, uint64_t audioStart) {
    MpegFrameReader frames(file, audioStart);
    const auto firstFrame = frames.NextFrame();
    if (!firstFrame || frames.Header().layer != 3) return Ending::FinishedOrFailed;
    const rt::Mp3StreamFormat format = DecoderFormatOf(frames.Header());

    std::unique_ptr<rt::Mp3Decoder> decoder = rt::OpenMp3Decoder(format);
    std::vector<uint8_t> firstPcm;
    if (!decoder || !decoder->DecodeFrame(*firstFrame, firstPcm)) return Ending::FinishedOrFailed;
    if (discardRequested_) return Ending::Discarded;

    std::unique_ptr<rt::AudioOutput> output = rt::OpenAudioOutput(format.pcm);
    if (!output) return Ending::DeviceUnavailable;
    {
        std::lock_guard lock(mutex_);
        report_.deviceFormat = format.pcm;
    }
    // Unpublished before the output is destroyed (which resets and closes the device), also
    // when an exception leaves early.
    struct Unpublish {
        SoundPlayer& player;
        ~Unpublish() { player.PublishOutput(nullptr); }
    } unpublish{*this};
    if (!PublishOutput(output.get())) return Ending::Discarded;
    return Feed(frames, *decoder, std::move(firstPcm), *output);
}

// Decodes the remaining frames and queues their audio, then waits until it has all sounded.
SoundPlayer::Ending SoundPlayer::Feed(MpegFrameReader& frames, rt::Mp3Decoder& decoder, std::vector<uint8_t> firstPcm,
                                      rt::AudioOutput& output) {
    std::vector<uint8_t> pending = std::move(firstPcm);
    int framesPending = 1;
    int buffersQueued = 0;
    const auto flush = [&] {
        const bool hasAudio = !pending.empty();
        const bool queued = !hasAudio || QueueToDevice(output, std::move(pending));
        if (hasAudio) ++buffersQueued;
        pending = {};
        framesPending = 0;
        return queued;
    };
    for (;;) {
        const int framesPerBuffer = buffersQueued < kSingleFrameBuffers ? 1 : kFramesPerLaterBuffer;
        if (framesPending >= framesPerBuffer && !flush()) return Ending::FinishedOrFailed;
        while (!discardRequested_ && output.BuffersPlaying() >= kMaxBuffersQueued) output.WaitForProgress();
        if (discardRequested_) return Ending::Discarded;
        const auto frame = frames.NextFrame();
        if (!frame) break;
        if (!decoder.DecodeFrame(*frame, pending)) return Ending::FinishedOrFailed;
        ++framesPending;
    }
    if (!decoder.Finish(pending) || !flush()) return Ending::FinishedOrFailed;
    while (!discardRequested_ && output.BuffersPlaying() > 0) output.WaitForProgress();
    return discardRequested_ ? Ending::Discarded : Ending::FinishedOrFailed;
}

bool SoundPlayer::QueueToDevice(rt::AudioOutput& output, std::vector<uint8_t> pcm) {
    const size_t bytes = pcm.size();
    if (!output.Queue(std::move(pcm))) return false;
    std::lock_guard lock(mutex_);
    report_.bytesQueued += bytes;
    if (!report_.firstBufferQueuedAt) report_.firstBufferQueuedAt = std::chrono::steady_clock::now();
    return true;
}

// Makes the open device reachable by the discard (or unreachable, with null). False when a
// discard has already begun, so that the device is never published too late to be woken.
bool SoundPlayer::PublishOutput(rt::AudioOutput* output) {
    std::lock_guard lock(mutex_);
    wakeableOutput_ = output;
    return !discardRequested_;
}

}  // namespace sound
