// The playback service with the real ACM decoder and wave-out device, on the MP3 fixtures in
// sound/test_data. Where no wave-out device can be opened (a machine without sound), the
// device checks fall back to what the service promises then: a silent playing player.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "runtime/win32/wide_text.h"
#include "sound/mp3_file_decoding.h"
#include "sound/playback_service.h"
#include "sound/win32/test_fixtures.h"

namespace sound {
namespace {

using Clock = std::chrono::steady_clock;

bool WaitForIdle(Clock::duration limit = std::chrono::seconds(10)) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        const auto report = CurrentPlayerReport();
        if (!report || report->state == PlayerState::Stopped) return true;
        std::this_thread::yield();
    }
    return false;
}

bool DeviceAvailable() {
    static const bool available = rt::OpenAudioOutput({44100, 2}) != nullptr;
    return available;
}

struct DecodeCase {
    const char* file;
    uint32_t sampleRate;
    uint16_t channels;
    const char* sameAudioAs;  // a fixture whose decode this one must equal, or null
};

const DecodeCase kDecodeCases[] = {
    {"mono_22050.mp3", 22050, 1, nullptr},
    {"stereo_44100.mp3", 44100, 2, nullptr},
    {"joint_stereo_44100.mp3", 44100, 2, nullptr},
    {"id3v23_audio_in_tag.mp3", 44100, 2, "stereo_44100.mp3"},
    {"id3v24_footer.mp3", 44100, 2, "stereo_44100.mp3"},
    {"junk_before_first_frame.mp3", 44100, 2, "stereo_44100.mp3"},
};

TEST(AcmDecodingTest, DecodesEveryFrameOfEveryFixtureAndNothingElse) {
    for (const DecodeCase& c : kDecodeCases) {
        SCOPED_TRACE(c.file);
        const auto clip = DecodeMp3File(Fixture(c.file));
        ASSERT_TRUE(clip);
        EXPECT_EQ(clip->format, (rt::PcmFormat{c.sampleRate, c.channels}));
        const size_t samplesPerFrame = c.sampleRate < 32000 ? 576 : 1152;
        // Every frame comes out as one frame of samples, the encoder's first (silent) one included.
        EXPECT_EQ(clip->pcm.size(), clip->frames * samplesPerFrame * c.channels * 2);
        int16_t loudest = 0;
        for (size_t i = 0; i + 1 < clip->pcm.size(); i += 2) {
            const auto sample = static_cast<int16_t>(clip->pcm[i] | clip->pcm[i + 1] << 8);
            loudest = std::max<int16_t>(loudest, static_cast<int16_t>(std::abs(sample)));
        }
        EXPECT_GT(loudest, 8000) << "the sine tones must come through";
        if (c.sameAudioAs) {
            const auto reference = DecodeMp3File(Fixture(c.sameAudioAs));
            ASSERT_TRUE(reference);
            EXPECT_EQ(clip->frames, reference->frames);
            EXPECT_TRUE(clip->pcm == reference->pcm) << "audio from the tag or the junk was decoded";
        }
    }
}

TEST(AcmDecodingTest, ATruncatedFileDecodesItsWholeFrames) {
    const auto whole = DecodeMp3File(Fixture("stereo_44100.mp3"));
    const auto cut = DecodeMp3File(Fixture("truncated_mid_frame.mp3"));
    ASSERT_TRUE(whole && cut);
    EXPECT_EQ(cut->frames, whole->frames - 1);
    ASSERT_LT(cut->pcm.size(), whole->pcm.size());
    EXPECT_TRUE(std::equal(cut->pcm.begin(), cut->pcm.end(), whole->pcm.begin()));
}

TEST(AcmDecodingTest, FilesWithoutAudioDoNotDecode) {
    for (const char* file : {"empty.mp3", "text.mp3", "no_such_file.mp3"}) EXPECT_FALSE(DecodeMp3File(Fixture(file))) << file;
}

class Win32PlaybackTest : public ::testing::Test {
protected:
    void TearDown() override { StopSound(); }
};

TEST_F(Win32PlaybackTest, PlaysAClipToTheEndWithTheStreamsFormat) {
    for (const DecodeCase& c : kDecodeCases) {
        SCOPED_TRACE(c.file);
        PlaySoundFile(Fixture(c.file));
        const auto started = CurrentPlayerReport();
        ASSERT_TRUE(started);
        EXPECT_EQ(started->state, PlayerState::Playing);
        if (!DeviceAvailable()) continue;
        ASSERT_TRUE(WaitForIdle());
        const PlayerReport report = *CurrentPlayerReport();
        EXPECT_EQ(report.deviceFormat, (rt::PcmFormat{c.sampleRate, c.channels}));
        EXPECT_EQ(report.bytesQueued, DecodeMp3File(Fixture(c.file))->pcm.size());
    }
}

TEST_F(Win32PlaybackTest, FilesWithoutAudioLeaveAnIdlePlayerQuietly) {
    for (const char* file : {"empty.mp3", "text.mp3", "no_such_file.mp3"}) {
        PlaySoundFile(Fixture(file));
        ASSERT_TRUE(WaitForIdle()) << file;
        EXPECT_FALSE(CurrentPlayerReport()->deviceFormat) << file;
    }
}

TEST_F(Win32PlaybackTest, OpensPathsWithChineseNames) {
    wchar_t temporary[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temporary), 0u);
    const std::wstring folder = std::wstring(temporary) + L"\u97f3\u6548 \u6d4b\u8bd5";
    const std::wstring copy = folder + L"\\\u638c\u58f0.mp3";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(rt::win32::WideFromUtf8(Fixture("mono_22050.mp3")).c_str(), copy.c_str(), FALSE));
    PlaySoundFile(rt::win32::Utf8FromWide(copy));
    EXPECT_EQ(CurrentPlayerReport()->state, PlayerState::Playing);
    if (DeviceAvailable()) {
        ASSERT_TRUE(WaitForIdle());
        EXPECT_EQ(CurrentPlayerReport()->deviceFormat, (rt::PcmFormat{22050, 1}));
    }
    StopSound();
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

// A clip that another program holds open without sharing (an editor, a copy in progress) gives
// silence, like a missing one, and the clip before it has stopped.
TEST_F(Win32PlaybackTest, AClipLockedByAnotherProgramGivesSilence) {
    wchar_t temporary[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temporary), 0u);
    const std::wstring copy = std::wstring(temporary) + L"locked clip.mp3";
    ASSERT_TRUE(CopyFileW(rt::win32::WideFromUtf8(Fixture("stereo_44100.mp3")).c_str(), copy.c_str(), FALSE));
    HANDLE lock = CreateFileW(copy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    PlaySoundFile(Fixture("mono_22050.mp3"));
    PlaySoundFile(rt::win32::Utf8FromWide(copy));
    EXPECT_TRUE(WaitForIdle());
    EXPECT_FALSE(CurrentPlayerReport()->deviceFormat);
    CloseHandle(lock);
    DeleteFileW(copy.c_str());
}

TEST_F(Win32PlaybackTest, RequestsInQuickSuccessionCutOffAndNeverHang) {
    const auto begin = Clock::now();
    for (int i = 0; i < 20; ++i) {
        PlaySoundFile(Fixture(i % 2 ? "stereo_44100.mp3" : "mono_22050.mp3"));
        if (i % 5 == 4) StopSound();
    }
    PlaySoundFile(Fixture("stereo_44100.mp3"));
    StopSound();
    EXPECT_FALSE(CurrentPlayerReport());
    EXPECT_LT(Clock::now() - begin, std::chrono::seconds(10));
}

}  // namespace
}  // namespace sound
