// Sound slots on the headless twin: handles, chunk volumes, channels, bad slots and files.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"
#include "runtime/platform/null_audio.h"
#include "runtime/platform/null_platform.h"
#include "tests/audio/audio_fixture.h"
#include "tests/audio/test_wav.h"

namespace {

class SoundSlots : public ::testing::Test {
protected:
    void SetUp() override {
        NullPlatform::Reset();
        NullAudio::SetDeviceAvailable(true);
        ASSERT_FALSE(folder.Path().empty());
        ASSERT_TRUE(TestWav::WriteFile(folder.File("beep.wav"), TestWav::SquareWav(0.5, 0.5)));
        OpenAudio();
        ClearError();
    }
    void TearDown() override { ShutdownAudio(); }

    int LastPlayVolume() const { return NullAudio::Plays().empty() ? -1 : NullAudio::Plays().back().volume; }

    ScratchFolder folder;
};

TEST_F(SoundSlots, HandleIsSlotTimes256PlusChannel) {
    LoadSound("beep.wav", 5, 1);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(PlaySound(5, 0, 1), 1280);
    EXPECT_EQ(PlaySound(5, 0, 1), 1281);
    // The same slot again takes the third channel: slot 5 on channel 2.
    EXPECT_EQ(PlaySound(5, 0, 1), 1282);
    ASSERT_EQ(NullAudio::Plays().size(), 3u);
    EXPECT_EQ(NullAudio::Plays()[2].channel, 2);
    EXPECT_EQ(SoundPlaying(1282), 1);
    EXPECT_EQ(SoundPlaying(1281), 1);
    // Slot numbers arrive as floats and are truncated.
    EXPECT_EQ(PlaySound(5.9f, 0, 1), 1283);
}

TEST_F(SoundSlots, VolumeBecomesChunkVolumeOfPercent) {
    LoadSound("beep.wav", 1, 1);
    const struct { float volume; int expected; } cases[] = {
        {1.0f, 128}, {0.5f, 64}, {0.0f, 0}, {-0.4f, 0}, {1.7f, 128}, {0.999f, 126}, {0.3f, 38}, {0.01f, 1},
    };
    for (const auto& c : cases) {
        StopAllSounds();
        ASSERT_GE(PlaySound(1, 0, c.volume), 256) << c.volume;
        EXPECT_EQ(LastPlayVolume(), c.expected) << "volume " << c.volume;
    }
}

TEST_F(SoundSlots, PanDoesNotChangeThePlay) {
    LoadSound("beep.wav", 1, 1);
    EXPECT_EQ(PlaySound(1, -5.0f, 0.5f), 256);
    EXPECT_EQ(LastPlayVolume(), 64);
    EXPECT_EQ(PlaySound(1, 1.0f, 0.5f), 257);
    EXPECT_EQ(LastPlayVolume(), 64);
    EXPECT_EQ(ErrorCode(), 0);
}

TEST_F(SoundSlots, EmptyAndOutOfRangeSlots) {
    EXPECT_EQ(PlaySound(9, 0, 1), -1);  // never loaded
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(PlaySound(4096, 0, 1), 0);  // reads as slot 0 channel 0, with error 7
    EXPECT_EQ(ErrorCode(), 7);
    ClearError();
    EXPECT_EQ(PlaySound(-3, 0, 1), 0);
    EXPECT_EQ(ErrorCode(), 7);
    ClearError();
    LoadSound("beep.wav", 4096, 1);
    EXPECT_EQ(ErrorCode(), 7);
    LoadSound("beep.wav", -2, 1);
    EXPECT_EQ(ErrorCode(), 7);
    LoadSound("beep.wav", 4095, 1);  // the last slot is fine
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(PlaySound(4095, 0, 1), 4095 * 256);
    ClearError();
    EXPECT_EQ(SoundPlaying(-1), 0);
    EXPECT_EQ(ErrorCode(), 7);
    ClearError();
    EXPECT_EQ(SoundPlaying(4096 * 256), 0);
    EXPECT_EQ(ErrorCode(), 7);
    ClearError();
    EXPECT_EQ(SoundPlaying(1e20f), 0);
    EXPECT_EQ(ErrorCode(), 7);
    ClearError();
    EXPECT_EQ(SoundPlaying(std::nanf("")), 0);
    EXPECT_EQ(ErrorCode(), 7);
    ClearError();
    EXPECT_EQ(PlaySound(std::nanf(""), 0, 1), 0);
    EXPECT_EQ(ErrorCode(), 7);
}

TEST_F(SoundSlots, MissingOrMalformedFileLeavesSlotEmpty) {
    LoadSound("beep.wav", 3, 1);
    ASSERT_GE(PlaySound(3, 0, 1), 0);
    LoadSound("nothere.wav", 3, 1);  // replaces, then fails: the slot is empty now
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(PlaySound(3, 0, 1), -1);

    std::vector<uint8_t> cut = TestWav::SquareWav(0.1, 0.5);
    cut.resize(20);
    ASSERT_TRUE(TestWav::WriteFile(folder.File("cut.wav"), cut));
    ASSERT_TRUE(TestWav::WriteFile(folder.File("text.wav"), {'h', 'e', 'l', 'l', 'o'}));
    LoadSound("cut.wav", 4, 1);
    EXPECT_EQ(PlaySound(4, 0, 1), -1);
    LoadSound("text.wav", 4, 1);
    EXPECT_EQ(PlaySound(4, 0, 1), -1);
    LoadSound("", 4, 1);
    EXPECT_EQ(PlaySound(4, 0, 1), -1);
}

TEST_F(SoundSlots, NameIsFoundIgnoringLetterCase) {
    LoadSound("BEEP.WAV", 2, 1);
    ASSERT_GE(PlaySound(2, 0, 1), 512);
    EXPECT_EQ(NullAudio::Plays().back().path, "beep.wav");
}

TEST_F(SoundSlots, PlayingEndsWithTheSoundAndStopAllHaltsEverything) {
    LoadSound("beep.wav", 7, 1);  // half a second long
    float a = PlaySound(7, 0, 1);
    EXPECT_EQ(SoundPlaying(a), 1);
    NullPlatform::AdvanceClock(400);
    EXPECT_EQ(SoundPlaying(a), 1);
    NullPlatform::AdvanceClock(150);
    EXPECT_EQ(SoundPlaying(a), 0);

    float b = PlaySound(7, 0, 1);
    float c = PlaySound(7, 0, 1);
    EXPECT_NE(b, c);
    StopAllSounds();
    EXPECT_EQ(SoundPlaying(b), 0);
    EXPECT_EQ(SoundPlaying(c), 0);
}

TEST_F(SoundSlots, NoFreeChannelGivesMinusOne) {
    LoadSound("beep.wav", 1, 1);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(PlaySound(1, 0, 1), 256 + i);
    EXPECT_EQ(PlaySound(1, 0, 1), -1);
}

TEST(SoundWithoutDevice, RunsSilent) {
    NullPlatform::Reset();
    ScratchFolder folder;
    ASSERT_TRUE(TestWav::WriteFile(folder.File("beep.wav"), TestWav::SquareWav(0.2, 0.5)));
    NullAudio::SetDeviceAvailable(false);
    testing::internal::CaptureStdout();
    OpenAudio();
    std::string out = testing::internal::GetCapturedStdout();
    NullAudio::SetDeviceAvailable(true);
    EXPECT_NE(out.find("Can't init audio\n"), std::string::npos);
    LoadSound("beep.wav", 1, 1);
    EXPECT_EQ(PlaySound(1, 0, 1), -1);
    EXPECT_EQ(SoundPlaying(256), 0);
    StopAllSounds();
    ShutdownAudio();
}

}  // namespace
