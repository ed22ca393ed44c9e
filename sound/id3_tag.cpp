#include "sound/id3_tag.h"

#include <array>

namespace sound {
namespace {

constexpr int kMaxTagsInARow = 8;
constexpr uint8_t kFooterPresentFlag = 0x10;

}  // namespace

std::optional<uint64_t> Id3v2TagLength(std::span<const uint8_t, kId3HeaderBytes> header) {
    if (header[0] != 'I' || header[1] != 'D' || header[2] != '3') return std::nullopt;
    const uint8_t majorVersion = header[3];
    if (majorVersion < 2 || majorVersion > 4 || header[4] == 0xFF) return std::nullopt;
    uint64_t bodyBytes = 0;
    for (size_t i = 6; i < kId3HeaderBytes; ++i) {
        if (header[i] & 0x80) return std::nullopt;
        bodyBytes = bodyBytes << 7 | header[i];
    }
    const bool hasFooter = majorVersion == 4 && (header[5] & kFooterPresentFlag);
    return kId3HeaderBytes + bodyBytes + (hasFooter ? kId3HeaderBytes : 0);
}

std::optional<uint64_t> AudioStartAfterId3Tags(const HeaderReader& readHeader, uint64_t fileSize) {
    uint64_t start = 0;
    for (int tag = 0; tag < kMaxTagsInARow; ++tag) {
        std::array<uint8_t, kId3HeaderBytes> header{};
        if (start + kId3HeaderBytes > fileSize || !readHeader(start, header)) break;
        const auto length = Id3v2TagLength(header);
        if (!length) break;
        if (*length > fileSize - start) return std::nullopt;
        start += *length;
    }
    return start;
}

}  // namespace sound
