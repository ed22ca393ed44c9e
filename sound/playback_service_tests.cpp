#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "runtime/fake/fake_audio.h"
#include "runtime/fake/fake_runtime.h"
#include "sound/mp3_test_streams.h"
#include "sound/playback_service.h"

namespace sound {
namespace {

using rt::fake::AudioEvent;
using Kind = rt::fake::AudioEvent::Kind;
using testing::Bytes;
using testing::Concat;
using testing::Frame;
using testing::Frames;
using testing::kMonoHeader;
using testing::kStereoHeader;

constexpr auto kDeadline = std::chrono::seconds(10);

bool Eventually(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::yield();
    }
    return true;
}

std::vector<Kind> Kinds() {
    std::vector<Kind> kinds;
    for (const AudioEvent& event : rt::fake::Audio().Events()) kinds.push_back(event.kind);
    return kinds;
}

bool IsIdle() { return CurrentPlayerReport() && CurrentPlayerReport()->state == PlayerState::Stopped; }

bool HasQueued() {
    for (const AudioEvent& event : rt::fake::Audio().Events())
        if (event.kind == Kind::Queue) return true;
    return false;
}

// What the devices were given, all buffers joined; with `lastDeviceOnly`, only the last one.
Bytes PcmQueued(bool lastDeviceOnly = false) {
    Bytes pcm;
    for (const AudioEvent& event : rt::fake::Audio().Events()) {
        if (event.kind == Kind::Open && lastDeviceOnly) pcm.clear();
        if (event.kind == Kind::Queue) pcm.insert(pcm.end(), event.pcm.begin(), event.pcm.end());
    }
    return pcm;
}

Bytes ExpectedPcm(const uint8_t (&header)[4], int frames) {
    const auto parsed = ParseFrameHeader(header);
    Bytes pcm;
    for (int i = 0; i < frames; ++i) {
        const Bytes one = rt::fake::FakePcmOfFrame(Frame(header, static_cast<uint8_t>(i + 1)), parsed->samplesPerFrame,
                                                   parsed->channels);
        pcm.insert(pcm.end(), one.begin(), one.end());
    }
    return pcm;
}

class PlaybackServiceTest : public ::testing::Test {
protected:
    void SetUp() override { Start({}); }
    void TearDown() override { StopSound(); }

    void Start(const rt::fake::AudioSettings& settings) {
        StopSound();
        rt::fake::Reset();
        rt::fake::Audio().Reset(settings);
    }
    void AddFile(const std::string& path, const Bytes& content) { rt::fake::Runtime().files[path] = content; }
};

TEST_F(PlaybackServiceTest, PlaysEveryFrameInOrderThenFallsIdle) {
    AddFile("clip.mp3", Frames(kStereoHeader, 40));
    PlaySoundFile("clip.mp3");
    ASSERT_TRUE(Eventually(IsIdle));
    const auto events = rt::fake::Audio().Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().kind, Kind::Open);
    EXPECT_EQ(events.front().format, (rt::PcmFormat{44100, 2}));
    EXPECT_EQ(PcmQueued(), ExpectedPcm(kStereoHeader, 40));
    EXPECT_EQ(Kinds().back(), Kind::Close);
    EXPECT_EQ(CurrentPlayerReport()->bytesQueued, PcmQueued().size());
}

TEST_F(PlaybackServiceTest, OpensTheDeviceWithTheStreamsOwnFormat) {
    AddFile("mono.mp3", Frames(kMonoHeader, 5));
    PlaySoundFile("mono.mp3");
    ASSERT_TRUE(Eventually(IsIdle));
    EXPECT_EQ(rt::fake::Audio().Events().front().format, (rt::PcmFormat{22050, 1}));
    EXPECT_EQ(PcmQueued(), ExpectedPcm(kMonoHeader, 5));
}

TEST_F(PlaybackServiceTest, NothingOfAnId3TagReachesTheDevice) {
    // The tag's body is full of frame headers; only the real frames after it may sound.
    AddFile("tagged.mp3", Concat({testing::Id3Tag(3, 2000, 2000), Frames(kStereoHeader, 6)}));
    PlaySoundFile("tagged.mp3");
    ASSERT_TRUE(Eventually(IsIdle));
    EXPECT_EQ(PcmQueued(), ExpectedPcm(kStereoHeader, 6));
}

TEST_F(PlaybackServiceTest, UnplayableFilesLeaveAnIdlePlayerAndNoDevice) {
    const struct {
        const char* what;
        std::optional<Bytes> content;
    } cases[] = {
        {"missing", std::nullopt},
        {"empty", Bytes{}},
        {"text", testing::Text("This is not an MP3 file.\r\n")},
        {"tag claiming more than the file", Concat({testing::Id3Tag(3, 10, 5000), Frames(kStereoHeader, 2)})},
        {"layer II", Frames(testing::kLayer2Header, 4)},
    };
    for (const auto& c : cases) {
        Start({});
        if (c.content) AddFile("bad.mp3", *c.content);
        PlaySoundFile("bad.mp3");
        EXPECT_TRUE(Eventually(IsIdle)) << c.what;
        StopSound();
        EXPECT_TRUE(Kinds().empty()) << c.what;
    }
}

TEST_F(PlaybackServiceTest, APlayRequestCutsOffTheClipThatIsSounding) {
    Start({.buffersFinishAtOnce = false});
    AddFile("a.mp3", Frames(kStereoHeader, 200));
    AddFile("b.mp3", Frames(kMonoHeader, 3));
    PlaySoundFile("a.mp3");
    ASSERT_TRUE(Eventually(HasQueued));
    PlaySoundFile("b.mp3");
    EXPECT_EQ(CurrentPlayerReport()->state, PlayerState::Playing);
    ASSERT_TRUE(Eventually([] { return rt::fake::Audio().Events().size() > 2 && Kinds().back() == Kind::Queue; }));
    rt::fake::Audio().FinishBuffers();
    ASSERT_TRUE(Eventually(IsIdle));

    // The first device is reset and closed before the second opens; never two at once.
    const std::vector<Kind> kinds = Kinds();
    const auto secondOpen = std::find(kinds.begin() + 1, kinds.end(), Kind::Open);
    ASSERT_NE(secondOpen, kinds.end());
    EXPECT_EQ(*(secondOpen - 2), Kind::Reset);
    EXPECT_EQ(*(secondOpen - 1), Kind::Close);
    EXPECT_EQ(rt::fake::Audio().MostDevicesOpenAtOnce(), 1);
}

TEST_F(PlaybackServiceTest, TheSameClipTwiceRestartsFromItsBeginning) {
    Start({.buffersFinishAtOnce = false});
    AddFile("a.mp3", Frames(kStereoHeader, 200));
    PlaySoundFile("a.mp3");
    ASSERT_TRUE(Eventually(HasQueued));
    PlaySoundFile("a.mp3");
    ASSERT_TRUE(Eventually([] { return Kinds().back() == Kind::Queue; }));  // the old device closed first
    StopSound();
    const Bytes firstFrame = ExpectedPcm(kStereoHeader, 1);
    const Bytes pcm = PcmQueued(true);
    ASSERT_GE(pcm.size(), firstFrame.size());
    EXPECT_TRUE(std::equal(firstFrame.begin(), firstFrame.end(), pcm.begin()));
    const std::vector<Kind> kinds = Kinds();
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), Kind::Open), 2);
}

TEST_F(PlaybackServiceTest, StopSilencesAtOnceAndForgetsThePlayer) {
    Start({.buffersFinishAtOnce = false});
    AddFile("a.mp3", Frames(kStereoHeader, 200));
    PlaySoundFile("a.mp3");
    ASSERT_TRUE(Eventually(HasQueued));
    StopSound();
    EXPECT_FALSE(CurrentPlayerReport());
    const std::vector<Kind> kinds = Kinds();
    ASSERT_GE(kinds.size(), 3u);
    EXPECT_EQ(kinds[kinds.size() - 2], Kind::Reset);
    EXPECT_EQ(kinds.back(), Kind::Close);
}

TEST_F(PlaybackServiceTest, StoppingWithNothingOrAnIdlePlayerDoesNothingAudible) {
    StopSound();
    EXPECT_TRUE(Kinds().empty());
    AddFile("a.mp3", Frames(kStereoHeader, 3));
    PlaySoundFile("a.mp3");
    ASSERT_TRUE(Eventually(IsIdle));
    const size_t eventsBefore = Kinds().size();
    StopSound();
    EXPECT_EQ(Kinds().size(), eventsBefore);
    EXPECT_FALSE(CurrentPlayerReport());
}

TEST_F(PlaybackServiceTest, AnEmptyPathOnlyStopsTheSoundingClip) {
    Start({.buffersFinishAtOnce = false});
    AddFile("a.mp3", Frames(kStereoHeader, 200));
    PlaySoundFile("a.mp3");
    ASSERT_TRUE(Eventually(HasQueued));
    PlaySoundFile("");
    EXPECT_FALSE(CurrentPlayerReport());
    EXPECT_EQ(Kinds().back(), Kind::Close);
}

TEST_F(PlaybackServiceTest, ADeviceThatCannotOpenLeavesASilentPlayingPlayer) {
    Start({.deviceAvailable = false});
    AddFile("a.mp3", Frames(kStereoHeader, 10));
    PlaySoundFile("a.mp3");
    EXPECT_EQ(CurrentPlayerReport()->state, PlayerState::Playing);
    StopSound();  // also proves that the discard does not hang on the finished thread
    EXPECT_TRUE(Kinds().empty());
}

TEST_F(PlaybackServiceTest, DecodingThatFailsMidwayTearsDownAndFallsIdle) {
    Start({.buffersFinishAtOnce = false, .failingFrame = 10});
    AddFile("a.mp3", Frames(kStereoHeader, 50));
    PlaySoundFile("a.mp3");
    ASSERT_TRUE(Eventually(IsIdle));
    EXPECT_EQ(Kinds().back(), Kind::Close);
    EXPECT_LE(PcmQueued().size(), ExpectedPcm(kStereoHeader, 10).size());
}

TEST_F(PlaybackServiceTest, NoDecoderForTheStreamFallsIdleWithoutADevice) {
    Start({.decoderAvailable = false});
    AddFile("a.mp3", Frames(kStereoHeader, 10));
    PlaySoundFile("a.mp3");
    ASSERT_TRUE(Eventually(IsIdle));
    EXPECT_TRUE(Kinds().empty());
}

TEST_F(PlaybackServiceTest, RapidRequestsNeverOverlapAndTheLastOneWins) {
    Start({.buffersFinishAtOnce = false});
    AddFile("a.mp3", Frames(kStereoHeader, 100));
    AddFile("b.mp3", Frames(kMonoHeader, 4));
    for (int i = 0; i < 30; ++i) PlaySoundFile(i % 2 ? "a.mp3" : "b.mp3");
    EXPECT_LE(rt::fake::Audio().MostDevicesOpenAtOnce(), 1);  // a player discarded early opens none
    rt::fake::Audio().Reset({.buffersFinishAtOnce = false});
    PlaySoundFile("b.mp3");
    ASSERT_TRUE(Eventually(HasQueued));
    rt::fake::Audio().FinishBuffers();
    ASSERT_TRUE(Eventually(IsIdle));
    EXPECT_EQ(PcmQueued(true), ExpectedPcm(kMonoHeader, 4));
    EXPECT_EQ(rt::fake::Audio().Events().back().kind, Kind::Close);
}

}  // namespace
}  // namespace sound
