#pragma once
// In-memory audio for the native unit tests: file streams over the fake run time's files, a
// decoder that turns each frame into recognisable PCM, and a wave-out device that records what
// is done to it. Unlike the rest of the fake run time, this part is thread-safe, because the
// playback service drives it from its own threads.

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/audio_output.h"

namespace rt::fake {

struct AudioEvent {
    enum class Kind : uint8_t { Open, Queue, Reset, Close };
    Kind kind;
    PcmFormat format;          // Open
    std::vector<uint8_t> pcm;  // Queue
};

struct AudioSettings {
    bool deviceAvailable = true;
    bool decoderAvailable = true;
    // When false, queued buffers sound until FinishBuffers or a reset.
    bool buffersFinishAtOnce = true;
    // The decoder fails on this frame, counting from 0 in each decoder; -1 for never.
    int failingFrame = -1;
};

// The fake decoder's output for one frame: samples × channels 16-bit samples, every byte equal
// to the frame's first byte after its header.
std::vector<uint8_t> FakePcmOfFrame(const std::vector<uint8_t>& frame, uint32_t samplesPerFrame, uint16_t channels);

class FakeAudio {
public:
    void Reset(const AudioSettings& settings = {});
    std::vector<AudioEvent> Events() const;
    // The most devices that were open at the same time.
    int MostDevicesOpenAtOnce() const;
    // Lets every queued buffer finish sounding, and every buffer queued from now on.
    void FinishBuffers();
};

FakeAudio& Audio();

}  // namespace rt::fake
