// The audio runtime on the real mixer: the dummy driver for handles and streams, the disk
// driver to read back what was actually mixed, and a driver that cannot open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"
#include "runtime/platform/platform.h"
#include "tests/audio/audio_fixture.h"

namespace {

class Mixer : public ::testing::Test {
protected:
    void Open(const char* driver) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        OpenAudio();
    }
    void SetUp() override {
        ASSERT_FALSE(folder.Path().empty());
        ASSERT_TRUE(WriteFile(folder.File("loud.wav"), SquareWav(0.25, 0.5)));
    }
    void TearDown() override {
        ShutdownAudio();
        Platform::QuitSystem();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    ScratchFolder folder;
};

TEST_F(Mixer, HandlesOnTheDummyDevice) {
    Open("dummy");
    ASSERT_TRUE(Platform::AudioOpen());
    LoadSound("loud.wav", 5, 1);
    EXPECT_EQ(PlaySound(5, 0, 1), 1280);
    EXPECT_EQ(PlaySound(5, 0, 0.5f), 1281);
    EXPECT_EQ(PlaySound(5, 0, 1), 1282);
    EXPECT_EQ(SoundPlaying(1282), 1);
    StopAllSounds();
    EXPECT_EQ(SoundPlaying(1280), 0);
    EXPECT_EQ(SoundPlaying(1282), 0);
}

TEST_F(Mixer, MusicStreamOnTheDummyDevice) {
    if (std::system("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is needed to make an Ogg file";
    ASSERT_EQ(std::system("sox -n -r 44100 -c 2 tune.ogg synth 2 sine 440 vol 0.3 2>/dev/null"), 0);
    ASSERT_TRUE(WriteFile(folder.File("bad.ogg"), {'O', 'g', 'g', 'S', 1, 2, 3}));
    Open("dummy");
    ASSERT_TRUE(Platform::AudioOpen());
    PlayMusicFile("tune.ogg", 1);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(MusicPlaying(), 1);
    EXPECT_EQ(Platform::MusicVolume(-1), 128);
    PauseMusic(1);
    EXPECT_TRUE(Platform::MusicPaused());
    testing::internal::CaptureStdout();
    PlayMusicFile("bad.ogg", 1);  // a file the mixer cannot read
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("PLAYMUSIC: ", 0), 0u) << out;
    EXPECT_EQ(MusicPlaying(), 0);
}

TEST_F(Mixer, HeadersTheConverterCannotTakeNeverReachTheMixer) {
    // Each of these made the mixer's converter overrun its table of steps and crash.
    const std::vector<uint8_t> hostile[] = {WavWith(1, 0, 44100, 16), WavWith(1, 1, 50, 16), WavWith(1, 2, 1, 8),
                                            WavWith(1, 1, 0, 16)};
    Open("dummy");
    ASSERT_TRUE(Platform::AudioOpen());
    for (const std::vector<uint8_t>& bytes : hostile) {
        ASSERT_TRUE(WriteFile(folder.File("hostile.wav"), bytes));
        testing::internal::CaptureStderr();
        LoadSound("hostile.wav", 7, 1);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("hostile.wav not loaded"), std::string::npos);
        EXPECT_EQ(PlaySound(7, 0, 1), -1);
        ASSERT_TRUE(WriteFile(folder.File("hostile.ogg"), bytes));
        testing::internal::CaptureStdout();
        PlayMusicFile("hostile.ogg", 1);
        EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("PLAYMUSIC: ", 0), 0u);
        EXPECT_EQ(MusicPlaying(), 0);
    }
    LoadSound("loud.wav", 7, 1);
    EXPECT_EQ(PlaySound(7, 0, 1), 1792) << "the mixer is unharmed";
}

int ThreadCount() {
    int n = 0;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Threads:", 0) == 0) n = std::atoi(line.c_str() + 8);
    return n;
}

TEST_F(Mixer, WhilePausedTheDeviceIsClosedAndItComesBackAsItWas) {
    if (std::system("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is needed to make an Ogg file";
    ASSERT_EQ(std::system("sox -n -r 44100 -c 2 tune.ogg synth 2 sine 440 vol 0.3 2>/dev/null"), 0);
    Open("dummy");
    ASSERT_TRUE(Platform::AudioOpen());
    LoadSound("loud.wav", 5, 1);
    PlayMusicFile("tune.ogg", 1);
    SetMusicVolume(0.5f);
    Platform::ChannelVolume(3, 40);
    ASSERT_GE(PlaySound(5, 0, 1), 1280);
    const int threads = ThreadCount();
    Platform::SuspendAudio(true);
    EXPECT_FALSE(Platform::AudioOpen());
    EXPECT_EQ(ThreadCount(), threads - 1) << "the mixing thread has ended";
    EXPECT_EQ(PlaySound(5, 0, 1), -1);
    Platform::SuspendAudio(false);
    ASSERT_TRUE(Platform::AudioOpen());
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_EQ(MusicPlaying(), 1) << "the music starts again";
    EXPECT_EQ(Platform::MusicVolume(-1), 64);
    EXPECT_EQ(Platform::ChannelVolume(3, -1), 40);
    EXPECT_EQ(SoundPlaying(1280), 0) << "what was sounding was cut off";
    EXPECT_EQ(PlaySound(5, 0, 1), 1280) << "the loaded sound is still there";
    Platform::SuspendAudio(false);   // not suspended: nothing happens
    EXPECT_TRUE(Platform::AudioOpen());
}

TEST_F(Mixer, SilentWhenTheDeviceCannotOpen) {
    testing::internal::CaptureStdout();
    Open("no_such_driver");
    LoadSound("loud.wav", 1, 1);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(PlaySound(1, 0, 1), -1);
    PlayMusicFile("loud.wav", 1);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Can't init audio\nPLAYMUSIC: ", 0), 0u) << out;
    EXPECT_FALSE(Platform::AudioOpen());
    EXPECT_EQ(SoundPlaying(256), 0);
    EXPECT_EQ(MusicPlaying(), 0);
    StopAllSounds();  // the rest of the calls are harmless
    PauseMusic(1);
    SetMusicVolume(0.3f);
    StopMusic();
}

int Level(const std::vector<char>& s16le, size_t at) {
    return std::abs(int(int16_t(uint8_t(s16le[at]) | uint8_t(s16le[at + 1]) << 8)));
}

TEST_F(Mixer, DiskDeviceReceivesTheChunkVolume) {
    const std::string capture = folder.File("mix.raw");
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);
    Open("disk");
    ASSERT_TRUE(Platform::AudioOpen());
    LoadSound("loud.wav", 2, 1);
    for (float v : {1.0f, 0.5f, 1.7f, 0.25f}) {
        ASSERT_GE(PlaySound(2, v < 0.3f ? -1.0f : 0.0f, v), 512);
        // The disk device mixes much faster than real time; wait until the play has ended.
        for (int i = 0; i < 300 && SoundPlaying(512) + SoundPlaying(513) > 0; ++i) Platform::Sleep(5);
        Platform::Sleep(60);
    }
    ShutdownAudio();

    // Runs of non-silent S16LE stereo frames, each with its peak per side and its length.
    std::ifstream in(capture, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    struct Burst {
        size_t start, frames;
        int peak[2];
    };
    std::vector<Burst> bursts;
    size_t quiet = 1000;
    for (size_t f = 0; f * 4 + 3 < bytes.size(); ++f) {
        const int level[2] = {Level(bytes, f * 4), Level(bytes, f * 4 + 2)};
        if (level[0] == 0 && level[1] == 0) {
            ++quiet;
            continue;
        }
        if (quiet > 200) bursts.push_back(Burst{f, 0, {0, 0}});
        quiet = 0;
        Burst& b = bursts.back();
        b.frames = f - b.start + 1;
        for (int side = 0; side < 2; ++side) b.peak[side] = std::max(b.peak[side], level[side]);
    }
    ASSERT_EQ(bursts.size(), 4u);
    const int full = 16384;  // the test sound's level, 0.5 of full scale
    const int expected[] = {full, full * 64 / 128, full, full * 32 / 128};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(bursts[i].peak[0], expected[i], 3) << "play " << i;
        // Pan never reaches the mixer: both sides stay equal, even for the play panned hard left.
        EXPECT_EQ(bursts[i].peak[0], bursts[i].peak[1]) << "play " << i;
        EXPECT_NEAR(double(bursts[i].frames), 0.25 * 44100, 1100) << "play " << i;
    }
}

}  // namespace
