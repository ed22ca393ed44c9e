#include <gtest/gtest.h>

#include "sound/mp3_test_streams.h"
#include "sound/mpeg_frame.h"

namespace sound {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::Frame;
using testing::Frames;
using testing::kMonoHeader;
using testing::kStereoHeader;

struct HeaderCase {
    const char* name;
    uint8_t bytes[4];
    MpegVersion version;
    uint8_t layer;
    uint16_t bitrateKbps;
    uint32_t sampleRate;
    uint16_t channels;
    uint32_t frameBytes;
    uint32_t samplesPerFrame;
};

const HeaderCase kValidHeaders[] = {
    {"mpeg1 layer3 joint stereo", {0xFF, 0xFB, 0x90, 0x44}, MpegVersion::Mpeg1, 3, 128, 44100, 2, 417, 1152},
    {"mpeg1 layer3 padded", {0xFF, 0xFB, 0x92, 0x44}, MpegVersion::Mpeg1, 3, 128, 44100, 2, 418, 1152},
    {"mpeg1 layer3 320k 32kHz padded, crc", {0xFF, 0xFA, 0xEA, 0x00}, MpegVersion::Mpeg1, 3, 320, 32000, 2, 1441, 1152},
    {"mpeg1 layer3 dual channel 48kHz", {0xFF, 0xFB, 0x14, 0x80}, MpegVersion::Mpeg1, 3, 32, 48000, 2, 96, 1152},
    {"mpeg2 layer3 mono 22050", {0xFF, 0xF3, 0x80, 0xC4}, MpegVersion::Mpeg2, 3, 64, 22050, 1, 208, 576},
    {"mpeg2.5 layer3 8kHz", {0xFF, 0xE3, 0x58, 0x00}, MpegVersion::Mpeg25, 3, 40, 8000, 2, 360, 576},
    {"mpeg2.5 layer3 11025 max bitrate", {0xFF, 0xE3, 0xE0, 0xC0}, MpegVersion::Mpeg25, 3, 160, 11025, 1, 1044, 576},
    {"mpeg1 layer2 48kHz", {0xFF, 0xFD, 0xC4, 0x04}, MpegVersion::Mpeg1, 2, 256, 48000, 2, 768, 1152},
    {"mpeg1 layer1", {0xFF, 0xFF, 0x40, 0x00}, MpegVersion::Mpeg1, 1, 128, 44100, 2, 136, 384},
    {"mpeg2 layer1 padded", {0xFF, 0xF7, 0xE6, 0x00}, MpegVersion::Mpeg2, 1, 256, 24000, 2, 516, 384},
};

class ValidHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(ValidHeaderTest, ParsesEveryField) {
    const HeaderCase& c = GetParam();
    const auto header = ParseFrameHeader(c.bytes);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->version, c.version);
    EXPECT_EQ(header->layer, c.layer);
    EXPECT_EQ(header->bitrateKbps, c.bitrateKbps);
    EXPECT_EQ(header->sampleRate, c.sampleRate);
    EXPECT_EQ(header->channels, c.channels);
    EXPECT_EQ(header->frameBytes, c.frameBytes);
    EXPECT_EQ(header->samplesPerFrame, c.samplesPerFrame);
}

INSTANTIATE_TEST_SUITE_P(Headers, ValidHeaderTest, ::testing::ValuesIn(kValidHeaders), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

TEST(FrameHeaderTest, RejectsWhatCannotBePlayed) {
    const struct {
        const char* why;
        Bytes bytes;
    } cases[] = {
        {"no sync", {0xFF, 0x7B, 0x90, 0x44}},           {"reserved version", {0xFF, 0xEB, 0x90, 0x44}},
        {"reserved layer", {0xFF, 0xF9, 0x90, 0x44}},    {"free format", {0xFF, 0xFB, 0x00, 0x44}},
        {"bad bitrate", {0xFF, 0xFB, 0xF0, 0x44}},       {"reserved rate", {0xFF, 0xFB, 0x9C, 0x44}},
        {"reserved emphasis", {0xFF, 0xFB, 0x90, 0x46}}, {"too short", {0xFF, 0xFB, 0x90}},
    };
    for (const auto& c : cases) EXPECT_FALSE(ParseFrameHeader(c.bytes)) << c.why;
}

TEST(FindFrameTest, SkipsJunkAndFalseSyncsToAConfirmedFrame) {
    // A header in the junk whose successor does not agree must not be locked onto.
    const Bytes falseSync = Concat({{0xFF, 0xFB, 0x90, 0x44}, Bytes(50, 0x00)});
    const Bytes data = Concat({Bytes(7, 0x20), falseSync, Frames(kStereoHeader, 2)});
    const FrameSearch search = FindFrame(data, true, std::nullopt, 1024);
    ASSERT_EQ(search.outcome, FrameSearchOutcome::Found);
    EXPECT_EQ(search.offset, 7 + falseSync.size());
    EXPECT_EQ(search.header.sampleRate, 44100u);
}

TEST(FindFrameTest, FirstFrameNeedsAnAgreeingSuccessor) {
    const Bytes stereoThenMono = Concat({Frame(kStereoHeader, 1), Frame(kMonoHeader, 2)});
    // The stereo frame is refused; the mono one ends exactly at the end, which confirms it.
    const FrameSearch search = FindFrame(stereoThenMono, true, std::nullopt, 1024);
    ASSERT_EQ(search.outcome, FrameSearchOutcome::Found);
    EXPECT_EQ(search.offset, 417u);
    EXPECT_EQ(search.header.channels, 1);
}

TEST(FindFrameTest, ASingleFrameIsTakenOnlyOnceTheDataHasEnded) {
    const Bytes one = Frame(kStereoHeader, 1);
    EXPECT_EQ(FindFrame(one, true, std::nullopt, 1024).outcome, FrameSearchOutcome::Found);
    EXPECT_EQ(FindFrame(one, false, std::nullopt, 1024).outcome, FrameSearchOutcome::NeedMoreData);
}

TEST(FindFrameTest, AFrameCutShortIsNotAFrame) {
    Bytes data = Frames(kStereoHeader, 2);
    data.resize(data.size() - 1);
    const auto locked = ParseFrameHeader(kStereoHeader);
    const std::span<const uint8_t> secondFrame = std::span<const uint8_t>(data).subspan(417);
    EXPECT_EQ(FindFrame(secondFrame, true, locked, 1024).outcome, FrameSearchOutcome::NotFound);
    EXPECT_EQ(FindFrame(secondFrame, false, locked, 1024).outcome, FrameSearchOutcome::NeedMoreData);
}

TEST(FindFrameTest, GivesUpAfterTheSearchLimit) {
    const Bytes data = Concat({Bytes(2000, 0x00), Frames(kStereoHeader, 2)});
    EXPECT_EQ(FindFrame(data, true, std::nullopt, 1999).outcome, FrameSearchOutcome::NotFound);
    EXPECT_EQ(FindFrame(data, true, std::nullopt, 2000).outcome, FrameSearchOutcome::Found);
}

TEST(FindFrameTest, AskingForMoreDataLetsTheJunkBeDropped) {
    const Bytes junk(100, 0x00);
    const FrameSearch search = FindFrame(junk, false, std::nullopt, 1024);
    EXPECT_EQ(search.outcome, FrameSearchOutcome::NeedMoreData);
    EXPECT_EQ(search.offset, 97u);  // the last three bytes may still begin a header
}

TEST(FindFrameTest, ALockedStreamTakesAgreeingFramesAndSkipsOthers) {
    const auto locked = ParseFrameHeader(kStereoHeader);
    const Bytes lastFrame = Concat({Frame(kStereoHeader, 9), testing::Text("TAG")});
    const FrameSearch last = FindFrame(lastFrame, true, locked, 1024);
    EXPECT_EQ(last.outcome, FrameSearchOutcome::Found);
    EXPECT_EQ(last.offset, 0u);

    const Bytes monoInStereo = Concat({Frames(kMonoHeader, 3), Frames(kStereoHeader, 2)});
    const FrameSearch resync = FindFrame(monoInStereo, true, locked, 4096);
    EXPECT_EQ(resync.outcome, FrameSearchOutcome::Found);
    EXPECT_EQ(resync.offset, 3 * 208u);
}

}  // namespace
}  // namespace sound
