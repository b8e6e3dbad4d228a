// The audio runtime on the real mixer: the dummy driver for handles and streams, the disk
// driver to read back what was actually mixed, and a driver that cannot open.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"
#include "runtime/platform/platform.h"
#include "tests/audio/audio_fixture.h"
#include "tests/audio/test_wav.h"

namespace {

class Mixer : public ::testing::Test {
protected:
    void UseDriver(const char* driver) { setenv("SDL_AUDIODRIVER", driver, 1); }
    void SetUp() override {
        ASSERT_FALSE(folder.Path().empty());
        ASSERT_TRUE(TestWav::WriteFile(folder.File("loud.wav"), TestWav::SquareWav(0.25, 0.5)));
    }
    void TearDown() override {
        ShutdownAudio();
        Platform::QuitSystem();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    ScratchFolder folder;
};

TEST_F(Mixer, HandlesAndChannelsOnTheDummyDevice) {
    UseDriver("dummy");
    OpenAudio();
    ASSERT_TRUE(Platform::AudioOpen());
    EXPECT_EQ(Platform::ChannelVolume(0, -1), 128);
    LoadSound("loud.wav", 5, 1);
    EXPECT_EQ(PlaySound(5, 0, 1), 1280);
    EXPECT_EQ(PlaySound(5, 0, 0.5f), 1281);
    EXPECT_EQ(PlaySound(5, 0, 1), 1282);
    EXPECT_EQ(SoundPlaying(1282), 1);
    EXPECT_EQ(SoundPlaying(1283), 0);
    StopAllSounds();
    EXPECT_EQ(SoundPlaying(1280), 0);
    EXPECT_EQ(SoundPlaying(1282), 0);
    EXPECT_EQ(PlaySound(6, 0, 1), -1);
}

TEST_F(Mixer, MusicStreamOnTheDummyDevice) {
    if (std::system("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is needed to make an Ogg file";
    ASSERT_EQ(std::system("sox -n -r 44100 -c 2 tune.ogg synth 2 sine 440 vol 0.3 2>/dev/null"), 0);
    UseDriver("dummy");
    OpenAudio();
    ASSERT_TRUE(Platform::AudioOpen());
    EXPECT_EQ(Platform::MusicVolume(-1), 64);
    PlayMusicFile("tune.ogg", 1);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(MusicPlaying(), 1);
    EXPECT_EQ(Platform::MusicVolume(-1), 128);
    SetMusicVolume(0.7f);
    EXPECT_EQ(Platform::MusicVolume(-1), 89);
    PauseMusic(1);
    EXPECT_TRUE(Platform::MusicPaused());
    StopMusic();
    EXPECT_EQ(MusicPlaying(), 0);
    // A file the mixer cannot read.
    ASSERT_TRUE(TestWav::WriteFile(folder.File("bad.ogg"), {'O', 'g', 'g', 'S', 1, 2, 3}));
    testing::internal::CaptureStdout();
    PlayMusicFile("bad.ogg", 1);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("PLAYMUSIC: ", 0), 0u) << out;
    EXPECT_EQ(MusicPlaying(), 0);
}

TEST_F(Mixer, SilentWhenTheDeviceCannotOpen) {
    UseDriver("no_such_driver");
    testing::internal::CaptureStdout();
    OpenAudio();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Can't init audio\n");
    EXPECT_FALSE(Platform::AudioOpen());
    LoadSound("loud.wav", 1, 1);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(PlaySound(1, 0, 1), -1);
    EXPECT_EQ(SoundPlaying(256), 0);
    StopAllSounds();
    PlayMusicFile("loud.wav", 1);
    EXPECT_EQ(MusicPlaying(), 0);
}

// Runs of non-silent stereo frames in a raw S16LE capture: (first frame, peak left, peak right).
struct Burst {
    size_t start = 0, frames = 0;
    int peakLeft = 0, peakRight = 0;
};

std::vector<Burst> Bursts(const std::vector<int16_t>& pcm) {
    std::vector<Burst> out;
    size_t quiet = 1000;
    for (size_t f = 0; f + 1 < pcm.size(); f += 2) {
        int l = std::abs(int(pcm[f])), r = std::abs(int(pcm[f + 1]));
        if (l == 0 && r == 0) {
            ++quiet;
            continue;
        }
        if (quiet > 200) out.push_back(Burst{f / 2, 0, 0, 0});
        quiet = 0;
        Burst& b = out.back();
        b.frames = f / 2 - b.start + 1;
        b.peakLeft = std::max(b.peakLeft, l);
        b.peakRight = std::max(b.peakRight, r);
    }
    return out;
}

TEST_F(Mixer, DiskDeviceReceivesTheChunkVolume) {
    std::string capture = folder.File("mix.raw");
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);
    UseDriver("disk");
    OpenAudio();
    ASSERT_TRUE(Platform::AudioOpen());
    LoadSound("loud.wav", 2, 1);
    const float volumes[] = {1.0f, 0.5f, 1.7f, 0.25f};
    for (float v : volumes) {
        ASSERT_GE(PlaySound(2, v < 0.3f ? -1.0f : 0.0f, v), 512);
        // The disk device mixes much faster than real time; wait until the play has ended.
        for (int i = 0; i < 300 && SoundPlaying(512) + SoundPlaying(513) > 0; ++i) Platform::Sleep(5);
        Platform::Sleep(60);
    }
    ShutdownAudio();

    std::ifstream in(capture, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> pcm(bytes.size() / 2);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = int16_t(uint8_t(bytes[2 * i]) | uint8_t(bytes[2 * i + 1]) << 8);
    std::vector<Burst> bursts = Bursts(pcm);
    ASSERT_EQ(bursts.size(), 4u);
    const int full = 16384;  // the test sound's level, 0.5 of full scale
    const int expected[] = {full, full * 64 / 128, full, full * 32 / 128};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(bursts[i].peakLeft, expected[i], 3) << "play " << i;
        // Pan never reaches the mixer: both sides stay equal, even for the play panned hard left.
        EXPECT_EQ(bursts[i].peakLeft, bursts[i].peakRight) << "play " << i;
        EXPECT_NEAR(double(bursts[i].frames), 0.25 * 44100, 1100) << "play " << i;
    }
}

}  // namespace
