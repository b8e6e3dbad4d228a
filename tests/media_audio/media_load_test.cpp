// Every generated sound and music file loads and plays through the runtime on the real mixer
// (dummy driver), under the names and in the slots the game uses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"
#include "runtime/platform/platform.h"

namespace {

const char* const SOUND_BANK[] = {
    "match.wav", "match2.wav", "error.wav", "swap.wav", "aqua2.wav", "select2.wav", "alarm2.wav", "goodstep.wav",
    "bounce1.wav", "bounce2.wav", "bounce3.wav", "bounce4.wav", "bounce5.wav", "bounce6.wav", "bounce7.wav",
    "bounce8.wav", "bounce9.wav", "bounce10.wav", "bounce11.wav", "bounce12.wav", "lucky_s.wav",
    "extra_lucky_s.wav", "super_lucky_s.wav", "multi_combo_s.wav", "score_1_s.wav", "score_2_s.wav",
    "score_3_s.wav", "score_4_s.wav", "score_5_s.wav", "score_6_s.wav", "bonus_power_depleted_s.wav",
    "infinite_switches_s.wav", "less_creatures_s.wav", "clock_stopped_s.wav", "fantastic_well_done_s.wav",
    "ready_s.wav", "good_luck_s.wav", "game_over_s.wav", "careful_s.wav", "next_level_s.wav", "sparkle1.wav",
    "twinkle1.wav", "twinkle1.wav", "score_7_s.wav", "score_8_s.wav", "score_9_s.wav", "achievement_s.wav",
};

class GeneratedMedia : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(access(SQUIBLY_MEDIA_DIR "/match.wav", R_OK), 0) << "media not built in " SQUIBLY_MEDIA_DIR;
        ASSERT_EQ(chdir(SQUIBLY_MEDIA_DIR), 0);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        OpenAudio();
        ASSERT_TRUE(Platform::AudioOpen());
    }
    void TearDown() override {
        ShutdownAudio();
        Platform::QuitSystem();
    }
};

TEST_F(GeneratedMedia, EverySoundLoadsIntoItsSlot) {
    // Slots 1 to 8, then 11 to 49, as the game loads them.
    int n = 0;
    for (int slot = 1; slot <= 49; ++slot) {
        if (slot == 9 || slot == 10) continue;
        const char* file = SOUND_BANK[n++];
        LoadSound(file, float(slot), 1);
        EXPECT_EQ(ErrorCode(), 0) << file;
        float handle = PlaySound(float(slot), 0, 0.0f);
        EXPECT_GE(handle, slot * 256) << file << " did not load";
        StopAllSounds();
    }
    EXPECT_EQ(n, 47);
}

TEST_F(GeneratedMedia, EveryTrackPlaysAsOggAndMp3) {
    for (const char* track : {"intro", "space_jungle_bebop_cut", "othersong", "ah_yeah"}) {
        for (const char* ext : {".ogg", ".mp3"}) {
            std::string name = std::string(track) + ext;
            PlayMusicFile(name.c_str(), 1);
            EXPECT_EQ(ErrorCode(), 0) << name;
            EXPECT_EQ(MusicPlaying(), 1) << name;
            StopMusic();
        }
    }
}

}  // namespace
