// libFuzzer target: the frame search and the streaming frame reader on arbitrary bytes. Every
// frame found must lie inside the data and agree with the first; nothing may read outside it.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sound/mpeg_frame.h"
#include "sound/mpeg_frame_reader.h"

namespace {

class BytesStream : public rt::FileStream {
public:
    BytesStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, std::span<uint8_t> buffer) override {
        if (offset >= size_) return 0;
        const size_t count = std::min<size_t>(buffer.size(), size_ - offset);
        std::memcpy(buffer.data(), data_ + offset, count);
        return count;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    for (const bool ended : {false, true}) {
        const sound::FrameSearch search = sound::FindFrame(bytes, ended, std::nullopt, 4096);
        Require(search.offset <= size);
        if (search.outcome == sound::FrameSearchOutcome::Found) {
            Require(search.offset + search.header.frameBytes <= size);
            Require(search.header.frameBytes >= sound::kFrameHeaderBytes);
        }
    }

    BytesStream stream(data, size);
    sound::MpegFrameReader reader(stream, 0);
    std::optional<sound::FrameHeader> first;
    size_t total = 0;
    while (const auto frame = reader.NextFrame()) {
        Require(frame->size() == reader.Header().frameBytes);
        if (!first) first = reader.Header();
        Require(sound::FramesAgree(*first, reader.Header()));
        total += frame->size();
        Require(total <= size);
    }
    return 0;
}
