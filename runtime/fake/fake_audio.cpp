#include "runtime/fake/fake_audio.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "runtime/fake/fake_runtime.h"
#include "runtime/file_stream.h"
#include "runtime/mp3_decoder.h"

namespace rt::fake {
namespace {

constexpr size_t kHeaderBytes = 4;

struct SharedAudioState {
    std::mutex mutex;
    std::condition_variable changed;
    AudioSettings settings;
    std::vector<AudioEvent> events;
    int devicesOpen = 0;
    int mostDevicesOpen = 0;
    uint64_t finishGeneration = 0;  // bumped by FinishBuffers
};

SharedAudioState& State() {
    static SharedAudioState state;
    return state;
}

class MemoryFileStream : public FileStream {
public:
    explicit MemoryFileStream(Bytes content) : content_(std::move(content)) {}
    uint64_t Size() const override { return content_.size(); }
    size_t ReadAt(uint64_t offset, std::span<uint8_t> buffer) override {
        if (offset >= content_.size()) return 0;
        const size_t count = std::min<size_t>(buffer.size(), content_.size() - offset);
        std::copy_n(content_.begin() + static_cast<std::ptrdiff_t>(offset), count, buffer.begin());
        return count;
    }

private:
    Bytes content_;
};

class FakeDecoder : public Mp3Decoder {
public:
    FakeDecoder(const Mp3StreamFormat& format, int failingFrame) : format_(format), failingFrame_(failingFrame) {}
    bool DecodeFrame(std::span<const uint8_t> frame, std::vector<uint8_t>& pcm) override {
        if (framesDecoded_++ == failingFrame_) return false;
        const std::vector<uint8_t> pcmOfFrame =
            FakePcmOfFrame({frame.begin(), frame.end()}, format_.samplesPerFrame, format_.pcm.channels);
        pcm.insert(pcm.end(), pcmOfFrame.begin(), pcmOfFrame.end());
        return true;
    }
    bool Finish(std::vector<uint8_t>&) override { return true; }

private:
    Mp3StreamFormat format_;
    int failingFrame_;
    int framesDecoded_ = 0;
};

class FakeOutput : public AudioOutput {
public:
    explicit FakeOutput(const PcmFormat& format) {
        std::lock_guard lock(State().mutex);
        State().events.push_back({AudioEvent::Kind::Open, format, {}});
        State().mostDevicesOpen = std::max(State().mostDevicesOpen, ++State().devicesOpen);
        generation_ = State().finishGeneration;
    }
    ~FakeOutput() override {
        std::lock_guard lock(State().mutex);
        State().events.push_back({AudioEvent::Kind::Reset, {}, {}});
        State().events.push_back({AudioEvent::Kind::Close, {}, {}});
        --State().devicesOpen;
    }
    bool Queue(std::vector<uint8_t> pcm) override {
        std::lock_guard lock(State().mutex);
        State().events.push_back({AudioEvent::Kind::Queue, {}, std::move(pcm)});
        if (!State().settings.buffersFinishAtOnce) ++playing_;
        return true;
    }
    size_t BuffersPlaying() override {
        std::lock_guard lock(State().mutex);
        if (generation_ != State().finishGeneration) playing_ = 0;
        generation_ = State().finishGeneration;
        return playing_;
    }
    void WaitForProgress() override {
        std::unique_lock lock(State().mutex);
        State().changed.wait(lock, [&] { return woken_ || generation_ != State().finishGeneration; });
        woken_ = false;
    }
    void Wake() override {
        std::lock_guard lock(State().mutex);
        woken_ = true;
        State().changed.notify_all();
    }

private:
    size_t playing_ = 0;
    uint64_t generation_ = 0;
    bool woken_ = false;  // guarded by the shared mutex
};

}  // namespace

std::vector<uint8_t> FakePcmOfFrame(const std::vector<uint8_t>& frame, uint32_t samplesPerFrame, uint16_t channels) {
    const uint8_t marker = frame.size() > kHeaderBytes ? frame[kHeaderBytes] : 0;
    return std::vector<uint8_t>(size_t{samplesPerFrame} * channels * 2, marker);
}

void FakeAudio::Reset(const AudioSettings& settings) {
    std::lock_guard lock(State().mutex);
    State().settings = settings;
    State().events.clear();
    State().mostDevicesOpen = State().devicesOpen;
}

std::vector<AudioEvent> FakeAudio::Events() const {
    std::lock_guard lock(State().mutex);
    return State().events;
}

int FakeAudio::MostDevicesOpenAtOnce() const {
    std::lock_guard lock(State().mutex);
    return State().mostDevicesOpen;
}

void FakeAudio::FinishBuffers() {
    std::lock_guard lock(State().mutex);
    State().settings.buffersFinishAtOnce = true;
    ++State().finishGeneration;
    State().changed.notify_all();
}

FakeAudio& Audio() {
    static FakeAudio audio;
    return audio;
}

}  // namespace rt::fake

namespace rt {

std::unique_ptr<FileStream> OpenFileStream(std::string_view path) {
    const auto& files = fake::Runtime().files;
    const auto found = files.find(std::string(path));
    if (found == files.end()) return nullptr;
    return std::make_unique<fake::MemoryFileStream>(found->second);
}

std::unique_ptr<Mp3Decoder> OpenMp3Decoder(const Mp3StreamFormat& format) {
    std::lock_guard lock(fake::State().mutex);
    if (!fake::State().settings.decoderAvailable) return nullptr;
    return std::make_unique<fake::FakeDecoder>(format, fake::State().settings.failingFrame);
}

std::unique_ptr<AudioOutput> OpenAudioOutput(const PcmFormat& format) {
    {
        std::lock_guard lock(fake::State().mutex);
        if (!fake::State().settings.deviceAvailable) return nullptr;
    }
    return std::make_unique<fake::FakeOutput>(format);
}

}  // namespace rt
