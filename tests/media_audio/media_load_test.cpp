// Every generated sound and music file loads and plays through the runtime on the real mixer
// (dummy driver); which files there must be is the media check's to say.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"
#include "runtime/platform/platform.h"

TEST(GeneratedMedia, EverySoundLoadsAndEveryTrackPlaysAsOggAndMp3) {
    ASSERT_EQ(chdir(SQUIBLY_MEDIA_DIR), 0) << "media not built in " SQUIBLY_MEDIA_DIR;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OpenAudio();
    ASSERT_TRUE(Platform::AudioOpen());
    int sounds = 0, tracks = 0;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        const std::string name = entry.path().filename().string(), ext = entry.path().extension().string();
        if (ext == ".wav") {
            LoadSound(name.c_str(), 1, 1);
            EXPECT_EQ(ErrorCode(), 0) << name;
            EXPECT_EQ(PlaySound(1, 0, 0.0f), 256) << name << " did not load";
            StopAllSounds();
            ++sounds;
        } else if (ext == ".ogg" || ext == ".mp3") {
            PlayMusicFile(name.c_str(), 1);
            EXPECT_EQ(ErrorCode(), 0) << name;
            EXPECT_EQ(MusicPlaying(), 1) << name;
            StopMusic();
            ++tracks;
        }
    }
    EXPECT_EQ(sounds, 46);
    EXPECT_EQ(tracks, 8);
    ShutdownAudio();
    Platform::QuitSystem();
}
