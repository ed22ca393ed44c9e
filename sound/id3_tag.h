#pragma once
// ID3 version 2 tags at the start of an MP3 file: how many bytes to skip to reach the audio.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace sound {

inline constexpr size_t kId3HeaderBytes = 10;

// The whole length of the tag whose 10-byte header is `header` (header, body and, for
// version 2.4, the footer), or nullopt when the bytes do not start an ID3 version 2.2, 2.3
// or 2.4 tag: no "ID3", another major version, or a size that is not synchsafe.
std::optional<uint64_t> Id3v2TagLength(std::span<const uint8_t, kId3HeaderBytes> header);

// Reads the 10 bytes at an offset; false when they cannot all be read.
using HeaderReader = std::function<bool(uint64_t offset, std::span<uint8_t, kId3HeaderBytes> header)>;

// Where the audio of a file of `fileSize` bytes starts, after every ID3v2 tag that follows the
// previous one directly (at most a handful). Nullopt when a tag claims to reach past the end
// of the file: such a file is treated as having no audio.
std::optional<uint64_t> AudioStartAfterId3Tags(const HeaderReader& readHeader, uint64_t fileSize);

}  // namespace sound
