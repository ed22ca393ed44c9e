#pragma once
// The default wave-out device, for 16-bit PCM.
//
// Thread contract: one thread opens an output and then alone calls Queue, BuffersPlaying,
// WaitForProgress and destroys it. Wake alone may be called from any other thread, for as
// long as the output exists.

#include <cstdint>
#include <memory>
#include <vector>

namespace rt {

struct PcmFormat {
    uint32_t sampleRate = 0;
    uint16_t channels = 0;  // 1 or 2; samples are always 16-bit, little-endian
    bool operator==(const PcmFormat&) const = default;
};

class AudioOutput {
public:
    // Resets the device, which silences it at once and returns every buffer, then closes it.
    virtual ~AudioOutput() = default;

    // Hands one buffer of whole sample frames to the device; false when the device refuses it.
    virtual bool Queue(std::vector<uint8_t> pcm) = 0;

    // Releases the buffers that have finished sounding and says how many are still queued.
    virtual size_t BuffersPlaying() = 0;

    // Blocks until a buffer finishes sounding or Wake is called; a Wake that came before the
    // wait makes it return at once. It may also return early for no reason: callers re-check.
    virtual void WaitForProgress() = 0;

    virtual void Wake() = 0;
};

// Opens the default device (the wave mapper) for `format`; null when there is no device or
// it refuses the format.
std::unique_ptr<AudioOutput> OpenAudioOutput(const PcmFormat& format);

}  // namespace rt
