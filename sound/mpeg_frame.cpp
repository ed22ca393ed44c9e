#include "sound/mpeg_frame.h"

#include <algorithm>
#include <array>

namespace sound {
namespace {

using BitrateRow = std::array<uint16_t, 15>;  // by bitrate index; index 0 is free format

constexpr BitrateRow kMpeg1Layer1 = {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448};
constexpr BitrateRow kMpeg1Layer2 = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
constexpr BitrateRow kMpeg1Layer3 = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr BitrateRow kMpeg2Layer1 = {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256};
constexpr BitrateRow kMpeg2Layer23 = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

constexpr std::array<uint32_t, 3> kMpeg1Rates = {44100, 48000, 32000};

const BitrateRow& BitratesFor(MpegVersion version, uint8_t layer) {
    if (version == MpegVersion::Mpeg1) return layer == 1 ? kMpeg1Layer1 : layer == 2 ? kMpeg1Layer2 : kMpeg1Layer3;
    return layer == 1 ? kMpeg2Layer1 : kMpeg2Layer23;
}

uint32_t FrameBytes(MpegVersion version, uint8_t layer, uint32_t bitrate, uint32_t rate, bool padded) {
    const uint32_t padding = padded ? 1 : 0;
    if (layer == 1) return (12 * bitrate / rate + padding) * 4;
    const uint32_t factor = (layer == 3 && version != MpegVersion::Mpeg1) ? 72 : 144;
    return factor * bitrate / rate + padding;
}

uint32_t SamplesPerFrame(MpegVersion version, uint8_t layer) {
    if (layer == 1) return 384;
    if (layer == 3 && version != MpegVersion::Mpeg1) return 576;
    return 1152;
}

// Confirms a candidate by the header that follows it; see FindFrame.
FrameSearchOutcome Confirm(std::span<const uint8_t> data, bool dataEnded, size_t start, const FrameHeader& candidate) {
    const size_t end = start + candidate.frameBytes;
    if (end == data.size() && dataEnded) return FrameSearchOutcome::Found;
    if (end + kFrameHeaderBytes > data.size()) {
        return dataEnded ? FrameSearchOutcome::NotFound : FrameSearchOutcome::NeedMoreData;
    }
    const auto next = ParseFrameHeader(data.subspan(end));
    return next && FramesAgree(candidate, *next) ? FrameSearchOutcome::Found : FrameSearchOutcome::NotFound;
}

}  // namespace

std::optional<FrameHeader> ParseFrameHeader(std::span<const uint8_t> bytes) {
    if (bytes.size() < kFrameHeaderBytes) return std::nullopt;
    const uint32_t word = uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
    if ((word >> 21) != 0x7FF) return std::nullopt;
    const uint32_t versionBits = (word >> 19) & 3;
    const uint32_t layerBits = (word >> 17) & 3;
    const uint32_t bitrateIndex = (word >> 12) & 15;
    const uint32_t rateIndex = (word >> 10) & 3;
    const uint32_t emphasis = word & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3 ||
        emphasis == 2) {
        return std::nullopt;
    }
    FrameHeader header{};
    header.version = versionBits == 3 ? MpegVersion::Mpeg1 : versionBits == 2 ? MpegVersion::Mpeg2 : MpegVersion::Mpeg25;
    header.layer = static_cast<uint8_t>(4 - layerBits);
    header.bitrateKbps = BitratesFor(header.version, header.layer)[bitrateIndex];
    const uint32_t divisor = header.version == MpegVersion::Mpeg1 ? 1 : header.version == MpegVersion::Mpeg2 ? 2 : 4;
    header.sampleRate = kMpeg1Rates[rateIndex] / divisor;
    header.padded = (word >> 9) & 1;
    header.channelMode = static_cast<ChannelMode>((word >> 6) & 3);
    header.channels = header.channelMode == ChannelMode::Mono ? 1 : 2;
    header.frameBytes =
        FrameBytes(header.version, header.layer, header.bitrateKbps * 1000u, header.sampleRate, header.padded);
    header.samplesPerFrame = SamplesPerFrame(header.version, header.layer);
    return header;
}

bool FramesAgree(const FrameHeader& first, const FrameHeader& next) {
    return first.version == next.version && first.layer == next.layer && first.sampleRate == next.sampleRate &&
           first.channels == next.channels;
}

FrameSearch FindFrame(std::span<const uint8_t> data, bool dataEnded, const std::optional<FrameHeader>& lockedTo,
                      size_t searchLimit) {
    const size_t lastStart = std::min(searchLimit, data.size());
    for (size_t start = 0; start <= lastStart; ++start) {
        if (start + kFrameHeaderBytes > data.size()) {
            if (dataEnded) return {FrameSearchOutcome::NotFound, start};
            return {FrameSearchOutcome::NeedMoreData, start};
        }
        const auto candidate = ParseFrameHeader(data.subspan(start));
        if (!candidate || (lockedTo && !FramesAgree(*lockedTo, *candidate))) continue;
        if (start + candidate->frameBytes > data.size()) {
            // A frame cut short by the end, or one that needs more data before it can be judged.
            if (!dataEnded) return {FrameSearchOutcome::NeedMoreData, start};
            continue;
        }
        if (lockedTo && start == 0) return {FrameSearchOutcome::Found, 0, *candidate};
        switch (Confirm(data, dataEnded, start, *candidate)) {
            case FrameSearchOutcome::Found: return {FrameSearchOutcome::Found, start, *candidate};
            case FrameSearchOutcome::NeedMoreData: return {FrameSearchOutcome::NeedMoreData, start};
            case FrameSearchOutcome::NotFound: break;
        }
    }
    return {FrameSearchOutcome::NotFound, lastStart};
}

}  // namespace sound
