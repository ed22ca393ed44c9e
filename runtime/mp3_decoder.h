#pragma once
// The platform's MPEG audio layer III decoder, giving 16-bit PCM.
//
// Thread contract: a decoder is used by one thread at a time.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "runtime/audio_output.h"

namespace rt {

struct Mp3StreamFormat {
    PcmFormat pcm;              // the stream's own rate and channel count
    uint32_t bitrateKbps = 0;   // of its first frame
    uint32_t frameBytes = 0;    // of its first frame, without padding
    uint32_t samplesPerFrame = 0;
};

class Mp3Decoder {
public:
    virtual ~Mp3Decoder() = default;
    // Decodes one whole frame and appends what the decoder gives back to `pcm` (it may hold
    // back audio until later frames). False when decoding fails.
    virtual bool DecodeFrame(std::span<const uint8_t> frame, std::vector<uint8_t>& pcm) = 0;
    // Appends whatever audio the decoder still holds at the end of the stream.
    virtual bool Finish(std::vector<uint8_t>& pcm) = 0;
};

// A decoder for a stream of `format`; null when the platform has no decoder for it.
std::unique_ptr<Mp3Decoder> OpenMp3Decoder(const Mp3StreamFormat& format);

}  // namespace rt
