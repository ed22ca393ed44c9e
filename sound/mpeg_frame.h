#pragma once
// MPEG audio frame headers (MPEG-1, MPEG-2 and MPEG-2.5; layers I, II and III) and the search
// for the next frame in a stretch of bytes. Pure functions: no input and output, no allocation.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace sound {

enum class MpegVersion : uint8_t { Mpeg1, Mpeg2, Mpeg25 };
enum class ChannelMode : uint8_t { Stereo, JointStereo, DualChannel, Mono };

struct FrameHeader {
    MpegVersion version;
    uint8_t layer;  // 1, 2 or 3
    uint16_t bitrateKbps;
    uint32_t sampleRate;
    bool padded;
    ChannelMode channelMode;
    uint16_t channels;        // 1 for mono, 2 for every other mode
    uint32_t frameBytes;      // the whole frame, header included
    uint32_t samplesPerFrame;  // per channel
};

inline constexpr size_t kFrameHeaderBytes = 4;

// The header that starts `bytes`, or nullopt when they are not a header this program can play:
// no sync, a reserved version, layer, rate or emphasis, or a free-format or invalid bitrate.
std::optional<FrameHeader> ParseFrameHeader(std::span<const uint8_t> bytes);

// True when `next` can follow `first` in one stream: same version, layer, rate and channel count.
bool FramesAgree(const FrameHeader& first, const FrameHeader& next);

enum class FrameSearchOutcome : uint8_t {
    Found,         // a frame starts at `offset` and lies wholly inside the data
    NeedMoreData,  // the data seen so far cannot decide; bytes before `offset` may be dropped
    NotFound,      // no frame within the search limit, or the data has ended
};

struct FrameSearch {
    FrameSearchOutcome outcome;
    size_t offset = 0;
    FrameHeader header{};
};

// Looks for the next frame in `data`, starting at its first byte and trying at most
// `searchLimit` + 1 start positions.
//
// Without `lockedTo` (the first frame of a stream) a candidate counts only when the header
// right after it agrees with it, or when it ends exactly where the data ends. With
// `lockedTo`, a frame that starts at the first byte and agrees with it is taken as it is;
// after junk the same confirmation as for a first frame is needed. A frame cut short by the
// end of the data is not a frame.
FrameSearch FindFrame(std::span<const uint8_t> data, bool dataEnded, const std::optional<FrameHeader>& lockedTo,
                      size_t searchLimit);

}  // namespace sound
