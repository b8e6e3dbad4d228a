// The music stream on the headless twin: volume cache, pause toggling, missing and bad files,
// and starting music counting as the application becoming active.
#include <gtest/gtest.h>

#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"
#include "runtime/core/lifecycle.h"
#include "runtime/input/input_state.h"
#include "runtime/platform/null_audio.h"
#include "runtime/platform/null_platform.h"
#include "tests/audio/audio_fixture.h"
#include "tests/audio/test_wav.h"

namespace {

int resumeCalls = 0;
int pauseCalls = 0;
void OnResume() { ++resumeCalls; }
void OnPause() { ++pauseCalls; }
const CallbackRow TEST_CALLBACKS[] = {
    {OnPause, "KRT_ON_PAUSE"},
    {OnResume, "KRT_ON_RESUME"},
    {nullptr, nullptr},
};

class MusicStream : public ::testing::Test {
protected:
    void SetUp() override {
        NullPlatform::Reset();
        NullAudio::SetDeviceAvailable(true);
        ASSERT_FALSE(folder.Path().empty());
        // The headless device checks only the stream's signature, so a short Ogg page head will do.
        ASSERT_TRUE(TestWav::WriteFile(folder.File("tune.ogg"), {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0}));
        ASSERT_TRUE(TestWav::WriteFile(folder.File("junk.mp3"), {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'}));
        OpenAudio();
        ClearError();
    }
    void TearDown() override {
        ShutdownAudio();
        EnablePause(0);
        SetCallbackTable(nullptr);
    }
    int MixerVolume() { return Platform::MusicVolume(-1); }

    ScratchFolder folder;
};

TEST_F(MusicStream, PlayStartsAtFullVolumeAndTheCacheSkipsRepeats) {
    OpenAudio();
    EXPECT_EQ(MixerVolume(), 64);  // as the device was opened
    PlayMusicFile("tune.ogg", 1);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(MusicPlaying(), 1);
    EXPECT_EQ(MixerVolume(), 128);
    EXPECT_EQ(NullAudio::CurrentMusicPath(), "tune.ogg");

    unsigned calls = Platform::MusicVolumeCalls();
    SetMusicVolume(1.0f);  // the cache already says 1.0
    EXPECT_EQ(Platform::MusicVolumeCalls(), calls);
    SetMusicVolume(0.7f);
    EXPECT_EQ(Platform::MusicVolumeCalls(), calls + 1);
    EXPECT_EQ(MixerVolume(), 89);
    SetMusicVolume(0.7f);
    EXPECT_EQ(Platform::MusicVolumeCalls(), calls + 1);
    SetMusicVolume(0.5f);
    EXPECT_EQ(MixerVolume(), 64);
}

TEST_F(MusicStream, StopResetsTheCache) {
    PlayMusicFile("tune.ogg", 1);
    SetMusicVolume(0.5f);
    StopMusic();
    EXPECT_EQ(MusicPlaying(), 0);
    EXPECT_EQ(NullAudio::CurrentMusicPath(), "");
    Platform::MusicVolume(100);  // someone else moved it meanwhile
    unsigned calls = Platform::MusicVolumeCalls();
    SetMusicVolume(0.5f);  // same value as before the stop, but the cache was cleared
    EXPECT_EQ(Platform::MusicVolumeCalls(), calls + 1);
    EXPECT_EQ(MixerVolume(), 64);
}

TEST_F(MusicStream, VolumeOutsideZeroToOneIsHeldInRange) {
    SetMusicVolume(-0.5f);  // would read as a query to the mixer
    EXPECT_EQ(MixerVolume(), 0);
    SetMusicVolume(2.0f);
    EXPECT_EQ(MixerVolume(), 128);
}

TEST_F(MusicStream, PauseToggles) {
    PlayMusicFile("tune.ogg", 1);
    PauseMusic(0);
    EXPECT_FALSE(Platform::MusicPaused());
    PauseMusic(1);
    EXPECT_TRUE(Platform::MusicPaused());
    // A paused stream still counts as playing, so a second pause keeps it paused.
    EXPECT_EQ(MusicPlaying(), 1);
    PauseMusic(1);
    EXPECT_TRUE(Platform::MusicPaused());
    PauseMusic(0);
    EXPECT_TRUE(Platform::MusicPaused());
}

TEST_F(MusicStream, MissingFileStopsTheOldMusicAndSetsError3) {
    PlayMusicFile("tune.ogg", 1);
    ASSERT_EQ(MusicPlaying(), 1);
    PlayMusicFile("gone.ogg", 1);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(MusicPlaying(), 0);
    PlayMusicFile("", 1);
    EXPECT_EQ(ErrorCode(), 3);
}

TEST_F(MusicStream, UnloadableFileIsReportedAndNothingPlays) {
    testing::internal::CaptureStdout();
    PlayMusicFile("junk.mp3", 1);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("PLAYMUSIC: ", 0), 0u) << out;
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(MusicPlaying(), 0);
    // The cache still says 1.0 afterwards.
    unsigned calls = Platform::MusicVolumeCalls();
    SetMusicVolume(1.0f);
    EXPECT_EQ(Platform::MusicVolumeCalls(), calls);
}

TEST_F(MusicStream, NameIsFoundIgnoringLetterCase) {
    PlayMusicFile("TUNE.OGG", 0);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(NullAudio::CurrentMusicPath(), "tune.ogg");
}

TEST_F(MusicStream, StartingMusicResumesAPausedApplication) {
    SetCallbackTable(TEST_CALLBACKS);
    resumeCalls = pauseCalls = 0;
    EnablePause(1);
    SetPaused(1);
    ASSERT_TRUE(IsPaused());
    ASSERT_EQ(pauseCalls, 1);
    PlayMusicFile("tune.ogg", 1);
    EXPECT_FALSE(IsPaused());
    EXPECT_EQ(resumeCalls, 1);
    // Already active: another start does not call the resume routine again.
    PlayMusicFile("tune.ogg", 1);
    EXPECT_EQ(resumeCalls, 1);
    // A missing file returns before that step.
    SetPaused(1);
    PlayMusicFile("gone.ogg", 1);
    EXPECT_TRUE(IsPaused());
    EXPECT_EQ(resumeCalls, 1);
}

TEST_F(MusicStream, StartingMusicTurnsPointerTrackingOn) {
    InputState* saved = inputState;
    InputState state;
    state.trackPointer = 0;
    inputState = &state;
    PlayMusicFile("tune.ogg", 1);
    EXPECT_EQ(state.trackPointer, 1);
    inputState = saved;
}

TEST(MusicWithoutDevice, NothingPlays) {
    NullPlatform::Reset();
    ScratchFolder folder;
    ASSERT_TRUE(TestWav::WriteFile(folder.File("tune.ogg"), {'O', 'g', 'g', 'S', 0, 2, 0, 0}));
    NullAudio::SetDeviceAvailable(false);
    testing::internal::CaptureStdout();
    OpenAudio();
    PlayMusicFile("tune.ogg", 1);
    std::string out = testing::internal::GetCapturedStdout();
    NullAudio::SetDeviceAvailable(true);
    EXPECT_NE(out.find("Can't init audio"), std::string::npos);
    EXPECT_NE(out.find("PLAYMUSIC: "), std::string::npos);
    EXPECT_EQ(MusicPlaying(), 0);
    PauseMusic(1);
    SetMusicVolume(0.3f);
    StopMusic();
    ShutdownAudio();
}

}  // namespace
