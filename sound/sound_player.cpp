#include "sound/sound_player.h"

#include <array>
#include <system_error>
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

SoundPlayer::SoundPlayer(std::string path) : path_(std::move(path)) {
    std::unique_ptr<rt::FileStream> file = rt::OpenFileStream(path_);
    if (!file) return;
    const std::optional<uint64_t> audioStart = FindAudioStart(*file);
    if (!audioStart) return;
    report_.state = PlayerState::Playing;
    try {
        background_ = std::thread(&SoundPlayer::PlayInBackground, this, std::move(file), *audioStart);
    } catch (const std::system_error&) {
        report_.state = PlayerState::Stopped;
    }
}

SoundPlayer::~SoundPlayer() {
    discardRequested_ = true;
    {
        std::lock_guard lock(mutex_);
        if (wakeableOutput_) wakeableOutput_->Wake();
    }
    if (background_.joinable()) background_.join();
}

PlayerReport SoundPlayer::Report() const {
    std::lock_guard lock(mutex_);
    return report_;
}

void SoundPlayer::PlayInBackground(std::unique_ptr<rt::FileStream> file, uint64_t audioStart) noexcept {
    Ending ending = Ending::FinishedOrFailed;
    try {
        ending = Play(*file, audioStart);
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
