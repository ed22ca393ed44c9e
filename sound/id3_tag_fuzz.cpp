// libFuzzer target: ID3v2 skipping on arbitrary bytes. The audio start never lies past the end
// of the file, and no header is read outside it.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sound/id3_tag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto readHeader = [data, size](uint64_t offset, std::span<uint8_t, sound::kId3HeaderBytes> header) {
        if (offset > size || size - offset < header.size()) std::abort();
        std::memcpy(header.data(), data + offset, header.size());
        return true;
    };
    const auto start = sound::AudioStartAfterId3Tags(readHeader, size);
    if (start && *start > size) std::abort();
    return 0;
}
