// The headless twin's silent device: play lengths, chunk volumes and the music stream's state.
#include <gtest/gtest.h>

#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"
#include "runtime/core/lifecycle.h"
#include "runtime/platform/null_audio.h"
#include "runtime/platform/null_platform.h"
#include "tests/audio/audio_fixture.h"

void OpenTestAudio() {
    NullPlatform::Reset();
    NullAudio::SetDeviceAvailable(true);
    OpenAudio();
    ClearError();
}

void CloseTestAudio() {
    ShutdownAudio();
    EnablePause(0);
    SetCallbackTable(nullptr);
}

namespace {

TEST_F(Audio, PlaysLastTheSoundsLengthAndVolumeBecomesAChunkVolumeOfWholePercent) {
    LoadSound("beep.wav", 1, 1);
    ASSERT_EQ(PlaySound(1, 0, 1), 256);
    EXPECT_EQ(NullAudio::Plays().back().path, "beep.wav");
    NullPlatform::AdvanceClock(400);  // the sound lasts half a second
    EXPECT_EQ(SoundPlaying(256), 1);
    NullPlatform::AdvanceClock(150);
    EXPECT_EQ(SoundPlaying(256), 0);
    const std::pair<float, int> volumes[] = {{1, 128}, {0.5f, 64}, {1.7f, 128}, {-0.4f, 0}, {0.999f, 126}, {0.3f, 38}};
    for (auto [volume, chunk] : volumes) {  // whole percent, truncated
        StopAllSounds();
        ASSERT_GE(PlaySound(1, 0, volume), 256) << volume;
        EXPECT_EQ(NullAudio::Plays().back().volume, chunk) << "volume " << volume;
    }
}

int resumeCalls = 0;
void OnResume() { ++resumeCalls; }
const CallbackRow CALLBACKS[] = {{OnResume, "KRT_ON_RESUME"}, {nullptr, nullptr}};

TEST_F(Audio, MusicVolumeAndPauseReachTheStreamAndStartingMusicMakesAPausedApplicationActive) {
    ASSERT_TRUE(WriteRaw("tune.ogg", VorbisHead(2, 44100)));  // the check reads only this header
    SetCallbackTable(CALLBACKS);
    EnablePause(1);
    SetPaused(1);
    EXPECT_EQ(Platform::MusicVolume(-1), 64);  // as the device was opened
    PlayMusicFile("tune.ogg", 1);
    EXPECT_FALSE(IsPaused());
    EXPECT_EQ(resumeCalls, 1);
    EXPECT_EQ(NullAudio::CurrentMusicPath(), "tune.ogg");
    EXPECT_EQ(Platform::MusicVolume(-1), 128);  // starts at full volume
    SetMusicVolume(0.7f);
    EXPECT_EQ(Platform::MusicVolume(-1), 89);
    PauseMusic(0);  // zero does nothing
    EXPECT_FALSE(Platform::MusicPaused());
    PauseMusic(1);
    EXPECT_TRUE(Platform::MusicPaused());
    StopMusic();
    EXPECT_EQ(NullAudio::CurrentMusicPath(), "");
    SetMusicVolume(-0.5f);  // would read as a query to the mixer
    EXPECT_EQ(Platform::MusicVolume(-1), 0);

    PlayMusicFile("tune.ogg", 1);
    SetPaused(1);
    PlayMusicFile("gone.ogg", 1);  // a missing file stops the old music and returns before the resume
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(MusicPlaying(), 0);
    EXPECT_TRUE(IsPaused());
    EXPECT_EQ(resumeCalls, 1);
}

}  // namespace
