#pragma once
// Decodes a whole MP3 file into memory the way a player does (ID3 tags skipped, frames found
// by MpegFrameReader, each frame handed to the platform decoder in turn). For tests and
// benchmarks; the player itself streams.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/audio_output.h"
#include "runtime/mp3_decoder.h"
#include "sound/mpeg_frame.h"

namespace sound {

struct DecodedClip {
    rt::PcmFormat format;
    int frames = 0;
    std::vector<uint8_t> pcm;
};

// What the platform decoder is told of a stream whose first frame has `header`.
rt::Mp3StreamFormat DecoderFormatOf(const FrameHeader& header);

// Nullopt when the file cannot be opened, holds no layer III audio or fails to decode.
std::optional<DecodedClip> DecodeMp3File(std::string_view path);

}  // namespace sound
