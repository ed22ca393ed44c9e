#include <gtest/gtest.h>

#include "runtime/fake/fake_runtime.h"
#include "sound/mp3_test_streams.h"
#include "sound/mpeg_frame_reader.h"

namespace sound {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::Frames;
using testing::kStereoHeader;

// The markers of every frame the reader gives for a file of `content` whose audio starts at 0.
std::vector<uint8_t> MarkersRead(const Bytes& content) {
    rt::fake::Reset();
    rt::fake::Runtime().files["a.mp3"] = content;
    const auto file = rt::OpenFileStream("a.mp3");
    MpegFrameReader reader(*file, 0);
    std::vector<uint8_t> markers;
    while (const auto frame = reader.NextFrame()) {
        EXPECT_EQ(frame->size(), reader.Header().frameBytes);
        markers.push_back((*frame)[4]);
    }
    return markers;
}

std::vector<uint8_t> Markers(int first, int count) {
    std::vector<uint8_t> markers;
    for (int i = 0; i < count; ++i) markers.push_back(static_cast<uint8_t>(first + i));
    return markers;
}

TEST(MpegFrameReaderTest, GivesEveryFrameInOrderAcrossReads) {
    // 400 frames span many reads, so frames straddle the read boundaries.
    EXPECT_EQ(MarkersRead(Frames(kStereoHeader, 400)), Markers(1, 400)) << "(markers wrap past 255)";
}

TEST(MpegFrameReaderTest, ResynchronisesAfterJunkAndStopsAtATrailingTag) {
    const Bytes file = Concat({Bytes(3000, 0x00), Frames(kStereoHeader, 3), Bytes(500, 0xFF), Frames(kStereoHeader, 2),
                               testing::Text("TAG"), Bytes(125, 0x20)});
    EXPECT_EQ(MarkersRead(file), (std::vector<uint8_t>{1, 2, 3, 1, 2}));
}

TEST(MpegFrameReaderTest, DropsALastFrameCutShort) {
    Bytes file = Frames(kStereoHeader, 5);
    file.resize(file.size() - 100);
    EXPECT_EQ(MarkersRead(file), Markers(1, 4));
}

TEST(MpegFrameReaderTest, GivesUpWhenJunkRunsPastTheLimit) {
    EXPECT_TRUE(MarkersRead(Concat({Bytes(kJunkSearchLimit + 1, 0x00), Frames(kStereoHeader, 3)})).empty());
    EXPECT_EQ(MarkersRead(Concat({Bytes(kJunkSearchLimit, 0x00), Frames(kStereoHeader, 3)})), Markers(1, 3));
}

}  // namespace
}  // namespace sound
