#include "sound/mpeg_frame_reader.h"

namespace sound {
namespace {

// A small first read gets the first frame to the decoder sooner; later reads are larger.
constexpr size_t kFirstReadBytes = 8 * 1024;
constexpr size_t kLaterReadBytes = 64 * 1024;

}  // namespace

MpegFrameReader::MpegFrameReader(rt::FileStream& file, uint64_t audioStart) : file_(file), readOffset_(audioStart) {}

std::optional<std::span<const uint8_t>> MpegFrameReader::NextFrame() {
    size_t junkSeen = 0;
    for (;;) {
        const std::span<const uint8_t> unread = std::span<const uint8_t>(buffer_).subspan(consumed_);
        const FrameSearch search = FindFrame(unread, fileEnded_, streamFormat_, kJunkSearchLimit - junkSeen);
        switch (search.outcome) {
            case FrameSearchOutcome::Found:
                if (!streamFormat_) streamFormat_ = search.header;
                header_ = search.header;
                consumed_ += search.offset + search.header.frameBytes;
                return unread.subspan(search.offset, search.header.frameBytes);
            case FrameSearchOutcome::NotFound: return std::nullopt;
            case FrameSearchOutcome::NeedMoreData:
                consumed_ += search.offset;
                junkSeen += search.offset;
                if (!ReadMore()) fileEnded_ = true;
                break;
        }
    }
}

bool MpegFrameReader::ReadMore() {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(consumed_));
    consumed_ = 0;
    const size_t kept = buffer_.size();
    const size_t wanted = readsDone_++ == 0 ? kFirstReadBytes : kLaterReadBytes;
    buffer_.resize(kept + wanted);
    const size_t read = file_.ReadAt(readOffset_, std::span<uint8_t>(buffer_).subspan(kept));
    buffer_.resize(kept + read);
    readOffset_ += read;
    return read > 0;
}

}  // namespace sound
