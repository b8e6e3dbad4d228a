// The audio runtime on the real mixer: the dummy driver for a music stream and a suspended
// device, and a driver that cannot open.
#include <gtest/gtest.h>

#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"
#include "runtime/platform/platform.h"
#include "tests/audio/audio_fixture.h"

// The shared slot tests run on the dummy driver.
void OpenTestAudio() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OpenAudio();
}

void CloseTestAudio() {
    ShutdownAudio();
    Platform::QuitSystem();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

namespace {

class Mixer : public Audio {
protected:
    void SetUp() override { ASSERT_TRUE(WriteRaw(folder.File("loud.wav"), WavWith(1, 1, 44100, 16, 22050))); }
    void Open(const char* driver) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        OpenAudio();
    }
};

TEST_F(Mixer, MusicStreamsAndWhilePausedTheDeviceIsClosedAndComesBackAsItWas) {
    if (std::system("sox -n -r 44100 -c 2 tune.ogg synth 2 sine 440 vol 0.3 2>/dev/null") != 0)
        GTEST_SKIP() << "sox is needed to make an Ogg file";
    Open("dummy");
    ASSERT_TRUE(Platform::AudioOpen());
    LoadSound("loud.wav", 5, 1);
    PlayMusicFile("tune.ogg", 1);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(MusicPlaying(), 1);
    EXPECT_EQ(Platform::MusicVolume(-1), 128);
    SetMusicVolume(0.5f);
    Platform::ChannelVolume(3, 40);
    ASSERT_GE(PlaySound(5, 0, 1), 1280);
    Platform::SuspendAudio(true);
    EXPECT_FALSE(Platform::AudioOpen());
    EXPECT_EQ(PlaySound(5, 0, 1), -1);
    Platform::SuspendAudio(false);
    ASSERT_TRUE(Platform::AudioOpen());
    EXPECT_EQ(MusicPlaying(), 1) << "the music starts again";
    EXPECT_EQ(Platform::MusicVolume(-1), 64);
    EXPECT_EQ(Platform::ChannelVolume(3, -1), 40);
    EXPECT_EQ(SoundPlaying(1280), 0) << "what was sounding was cut off";
    EXPECT_EQ(PlaySound(5, 0, 1), 1280) << "the loaded sound is still there";
    Platform::SuspendAudio(false);   // not suspended: nothing happens
    EXPECT_TRUE(Platform::AudioOpen());
    PauseMusic(1);
    EXPECT_TRUE(Platform::MusicPaused());
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

}  // namespace
