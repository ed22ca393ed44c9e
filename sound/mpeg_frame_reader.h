#pragma once
// Splits the audio of an MP3 file into whole MPEG frames, reading the file as it goes.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "runtime/file_stream.h"
#include "sound/mpeg_frame.h"

namespace sound {

// How many bytes that are not frames the reader searches through, before the first frame and
// between two frames, before it takes the audio to have ended.
inline constexpr size_t kJunkSearchLimit = 64 * 1024;

class MpegFrameReader {
public:
    MpegFrameReader(rt::FileStream& file, uint64_t audioStart);

    // The next frame, header included, or nullopt at the end of the audio. The bytes stay valid
    // until the next call. Every frame agrees with the first (see FramesAgree).
    std::optional<std::span<const uint8_t>> NextFrame();

    // The header of the last frame returned.
    const FrameHeader& Header() const { return header_; }

private:
    bool ReadMore();

    rt::FileStream& file_;
    uint64_t readOffset_;
    bool fileEnded_ = false;
    int readsDone_ = 0;
    std::vector<uint8_t> buffer_;
    size_t consumed_ = 0;
    std::optional<FrameHeader> streamFormat_;
    FrameHeader header_{};
};

}  // namespace sound
