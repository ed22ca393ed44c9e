#pragma once
// Small MPEG audio streams built byte by byte for the unit tests. The payloads are not real
// audio: each frame's first byte after its header is a marker that tells frames apart.

#include <cstdint>
#include <string>
#include <vector>

#include "sound/mpeg_frame.h"

namespace sound::testing {

using Bytes = std::vector<uint8_t>;

// MPEG-1 layer III, 128 kbit/s, 44,100 Hz, joint stereo: 417 bytes a frame.
inline constexpr uint8_t kStereoHeader[4] = {0xFF, 0xFB, 0x90, 0x44};
// MPEG-2 layer III, 64 kbit/s, 22,050 Hz, mono: 208 bytes a frame.
inline constexpr uint8_t kMonoHeader[4] = {0xFF, 0xF3, 0x80, 0xC4};
// MPEG-1 layer II, 256 kbit/s, 48,000 Hz, stereo.
inline constexpr uint8_t kLayer2Header[4] = {0xFF, 0xFD, 0xC4, 0x04};

inline Bytes Frame(const uint8_t (&header)[4], uint8_t marker) {
    const auto parsed = ParseFrameHeader(header);
    Bytes frame(parsed ? parsed->frameBytes : 4, 0x55);
    std::copy(header, header + 4, frame.begin());
    if (frame.size() > 4) frame[4] = marker;
    return frame;
}

// `count` frames with markers 1, 2, 3, ... (wrapping past 255).
inline Bytes Frames(const uint8_t (&header)[4], int count) {
    Bytes stream;
    for (int i = 0; i < count; ++i) {
        const Bytes frame = Frame(header, static_cast<uint8_t>(i + 1));
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    return stream;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// An ID3v2 tag of `major` version whose body (`bodyBytes` long, but claiming `claimedBytes`)
// is filled with frame headers, so that a reader that does not skip it finds false frames.
inline Bytes Id3Tag(uint8_t major, uint32_t bodyBytes, uint32_t claimedBytes, uint8_t flags = 0) {
    Bytes tag = {'I', 'D', '3', major, 0, flags,
                 static_cast<uint8_t>(claimedBytes >> 21 & 0x7F), static_cast<uint8_t>(claimedBytes >> 14 & 0x7F),
                 static_cast<uint8_t>(claimedBytes >> 7 & 0x7F), static_cast<uint8_t>(claimedBytes & 0x7F)};
    for (uint32_t i = 0; i < bodyBytes; ++i) tag.push_back(kStereoHeader[i % 4]);
    return tag;
}

}  // namespace sound::testing
