#include <gtest/gtest.h>

#include "runtime/fake/fake_runtime.h"
#include "skins/dll_command_table.h"
#include "sound/master_volume.h"
#include "sound/sound_board.h"

namespace {

struct VolumeCall {
    unsigned device;
    unsigned word;
};

std::vector<VolumeCall>& VolumeCalls() {
    static std::vector<VolumeCall> calls;
    return calls;
}

unsigned FakeWaveOutSetVolume(unsigned device, unsigned word) {
    VolumeCalls().push_back({device, word});
    return 0;
}

class MasterVolumeTest : public testing::Test {
protected:
    void SetUp() override {
        rt::fake::Reset();
        skins::FreeDllCommandLibraries();
        VolumeCalls().clear();
        rt::fake::Runtime().outsideFunctions["winmm.dll!waveOutSetVolume"] =
            reinterpret_cast<void*>(&FakeWaveOutSetVolume);
    }
    void TearDown() override { skins::FreeDllCommandLibraries(); }
};

struct WordCase {
    int32_t position;
    uint32_t word;
};

class VolumeWordTest : public MasterVolumeTest, public testing::WithParamInterface<WordCase> {};

TEST_P(VolumeWordTest, SliderSetsTheListedWordOnDeviceZero) {
    rt::fake::Runtime().sliderPositions["滑块条1"] = GetParam().position;
    sound::OnVolumeSliderMoved();
    ASSERT_EQ(VolumeCalls().size(), 1u);
    EXPECT_EQ(VolumeCalls()[0].device, 0u);
    EXPECT_EQ(VolumeCalls()[0].word, GetParam().word) << std::hex << VolumeCalls()[0].word;
}

INSTANTIATE_TEST_SUITE_P(SelectedPositions, VolumeWordTest,
                         testing::Values(WordCase{1, 0x03FC03FC}, WordCase{2, 0x06F906F9}, WordCase{5, 0x0DF20DF2},
                                         WordCase{10, 0x1AE51AE5}, WordCase{25, 0x40BF40BF}, WordCase{50, 0x807F807F},
                                         WordCase{75, 0xC03FC03F}, WordCase{90, 0xE718E718}, WordCase{99, 0xFE01FE01},
                                         WordCase{100, 0xFFFFFFFF}));

TEST_F(MasterVolumeTest, PutsTheLeftPositionInTheLowWordAndTheRightInTheHighWord) {
    sound::SetMasterVolume(1, 100);
    sound::SetMasterVolume(100, 1);
    ASSERT_EQ(VolumeCalls().size(), 2u);
    EXPECT_EQ(VolumeCalls()[0].word, 0xFFFF03FCu);
    EXPECT_EQ(VolumeCalls()[1].word, 0x03FCFFFFu);
}

TEST_F(MasterVolumeTest, PositionsOffTheSliderStillGiveAWellDefinedWord) {
    // The step for 0 is 256, a channel value of 255; far-off positions wrap without trapping.
    EXPECT_EQ(sound::VolumeWord(0, 0), 0x00FF00FFu);
    for (int32_t position : {-1, 101, INT32_MIN, INT32_MAX}) sound::VolumeWord(position, position);
}

TEST_F(MasterVolumeTest, BindsWinmmOnceAtTheFirstCall) {
    sound::SetMasterVolume(50, 50);
    sound::SetMasterVolume(50, 50);
    EXPECT_EQ(rt::fake::Runtime().loadedLibraries, std::vector<std::string>{"winmm.dll"});
    EXPECT_EQ(VolumeCalls().size(), 2u);
}

TEST_F(MasterVolumeTest, MissingExportEndsTheProgramNamingLibraryAndExport) {
    rt::fake::Runtime().outsideFunctions.clear();
    try {
        sound::SetMasterVolume(50, 50);
        FAIL() << "the program went on";
    } catch (const rt::fake::ProgramEnded& ended) {
        EXPECT_EQ(ended.exitCode, -1);
        EXPECT_NE(ended.errorMessage.find("winmm.dll"), std::string::npos);
        EXPECT_NE(ended.errorMessage.find("waveOutSetVolume"), std::string::npos);
    }
    EXPECT_TRUE(VolumeCalls().empty());
}

}  // namespace
