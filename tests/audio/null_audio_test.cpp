// Sound slots and the music stream on the headless twin's silent device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"
#include "runtime/core/lifecycle.h"
#include "runtime/platform/null_audio.h"
#include "runtime/platform/null_platform.h"
#include "tests/audio/audio_fixture.h"

namespace {

class Audio : public ::testing::Test {
protected:
    void SetUp() override {
        NullPlatform::Reset();
        NullAudio::SetDeviceAvailable(true);
        ASSERT_FALSE(folder.Path().empty());
        ASSERT_TRUE(WriteFile(folder.File("beep.wav"), SquareWav(0.5, 0.5)));
        // The header check reads only the Vorbis identification header, so that will do.
        ASSERT_TRUE(WriteFile(folder.File("tune.ogg"), VorbisHead(2, 44100)));
        OpenAudio();
        ClearError();
    }
    void TearDown() override {
        ShutdownAudio();
        EnablePause(0);
        SetCallbackTable(nullptr);
    }
    ScratchFolder folder;
};

TEST_F(Audio, HandleIsSlotTimes256PlusChannel) {
    LoadSound("BEEP.WAV", 5, 1);  // the name is found ignoring letter case
    EXPECT_EQ(ErrorCode(), 0);
    // Plays of one slot take the next free channels: the third is slot 5 on channel 2.
    EXPECT_EQ(PlaySound(5, 0, 1), 1280);
    EXPECT_EQ(PlaySound(5, 0, 1), 1281);
    EXPECT_EQ(PlaySound(5.9f, 0, 1), 1282);  // slot numbers are truncated
    ASSERT_EQ(NullAudio::Plays().size(), 3u);
    EXPECT_EQ(NullAudio::Plays()[2].channel, 2);
    EXPECT_EQ(NullAudio::Plays()[2].path, "beep.wav");
    EXPECT_EQ(SoundPlaying(1281), 1);
    EXPECT_EQ(SoundPlaying(1282), 1);
    EXPECT_EQ(SoundPlaying(1283), 0);
    for (int channel = 3; channel < 8; ++channel) EXPECT_EQ(PlaySound(5, 0, 1), 1280 + channel);
    EXPECT_EQ(PlaySound(5, 0, 1), -1);  // no free channel
    NullPlatform::AdvanceClock(400);     // the sound lasts half a second
    EXPECT_EQ(SoundPlaying(1282), 1);
    NullPlatform::AdvanceClock(150);
    EXPECT_EQ(SoundPlaying(1282), 0);
    EXPECT_EQ(PlaySound(5, 0, 1), 1280);
    EXPECT_EQ(PlaySound(5, 0, 1), 1281);
    StopAllSounds();
    EXPECT_EQ(SoundPlaying(1280), 0);
    EXPECT_EQ(SoundPlaying(1281), 0);
}

TEST_F(Audio, VolumeBecomesChunkVolumeOfWholePercent) {
    LoadSound("beep.wav", 1, 1);
    const struct {
        float volume;
        int chunk;
    } cases[] = {{1.0f, 128}, {0.5f, 64}, {1.7f, 128}, {0.0f, 0}, {-0.4f, 0}, {0.999f, 126}, {0.3f, 38}};
    for (const auto& c : cases) {
        StopAllSounds();
        ASSERT_GE(PlaySound(1, 0, c.volume), 256) << c.volume;
        EXPECT_EQ(NullAudio::Plays().back().volume, c.chunk) << "volume " << c.volume;
    }
}

TEST_F(Audio, EmptyAndOutOfRangeSlots) {
    EXPECT_EQ(PlaySound(9, 0, 1), -1);  // never loaded: no error
    EXPECT_EQ(ErrorCode(), 0);
    const struct {
        const char* what;
        std::function<float()> call;
    } bad[] = {
        {"play 4096", [] { return PlaySound(4096, 0, 1); }},
        {"play -3", [] { return PlaySound(-3, 0, 1); }},
        {"play NaN", [] { return PlaySound(std::nanf(""), 0, 1); }},
        {"playing -1", [] { return SoundPlaying(-1); }},
        {"playing 4096 * 256", [] { return SoundPlaying(4096 * 256); }},
        {"playing 1e20", [] { return SoundPlaying(1e20f); }},
        {"playing NaN", [] { return SoundPlaying(std::nanf("")); }},
        {"load 4096", [] { return LoadSound("beep.wav", 4096, 1), 0.0f; }},
        {"load -2", [] { return LoadSound("beep.wav", -2, 1), 0.0f; }},
    };
    for (const auto& b : bad) {
        ClearError();
        EXPECT_EQ(b.call(), 0) << b.what;
        EXPECT_EQ(ErrorCode(), 7) << b.what;
    }
    LoadSound("beep.wav", 4095, 1);  // the last slot is fine
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(PlaySound(4095, 0, 1), 4095 * 256);
}

TEST_F(Audio, FileThatFailsToLoadLeavesTheSlotEmpty) {
    std::vector<uint8_t> cut = SquareWav(0.1, 0.5);
    cut.resize(20);
    ASSERT_TRUE(WriteFile(folder.File("cut.wav"), cut));
    ASSERT_TRUE(WriteFile(folder.File("text.wav"), {'h', 'e', 'l', 'l', 'o'}));
    for (const char* name : {"nothere.wav", "cut.wav", "text.wav", ""}) {
        LoadSound("beep.wav", 3, 1);
        ASSERT_GE(PlaySound(3, 0, 1), 768);
        LoadSound(name, 3, 1);  // replaces what was there, then fails
        EXPECT_EQ(ErrorCode(), 0) << name;
        EXPECT_EQ(PlaySound(3, 0, 1), -1) << name;
        StopAllSounds();
    }
}

TEST_F(Audio, SoundsWhoseHeadersTheMixerCannotConvertLeaveTheirSlotsEmptyAndSaySo) {
    std::vector<uint8_t> listPastEnd = SquareWav(0.1, 0.5);
    listPastEnd.insert(listPastEnd.begin() + 12, {'L', 'I', 'S', 'T', 0xFF, 0xFF, 0xFF, 0x7F});
    std::vector<uint8_t> cut = WavWith(1, 1, 44100, 16);
    cut.resize(cut.size() - 10);
    std::vector<uint8_t> dataFirst = WavWith(1, 1, 44100, 16);
    std::rotate(dataFirst.begin() + 12, dataFirst.begin() + 36, dataFirst.begin() + 44 + 64);
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* reason;   // "" passes
    } files[] = {
        {"none.wav", WavWith(1, 0, 44100, 16), "the header claims 0 channels"},
        {"six.wav", WavWith(1, 6, 44100, 16), "the header claims 6 channels"},
        {"slow.wav", WavWith(1, 1, 50, 16), "the header claims a sample rate of 50 Hz"},
        {"fast.wav", WavWith(1, 2, 4000000000u, 16), "the header claims a sample rate of 4000000000 Hz"},
        {"deep.wav", WavWith(1, 2, 44100, 24), "it has 24-bit samples (8 or 16 are read)"},
        {"adpcm.wav", WavWith(2, 1, 22050, 4), "its samples are not PCM (format 2)"},
        {"cut.wav", cut, "its data runs past the end of the file"},
        {"list.wav", listPastEnd, "a chunk runs past the end of the file"},
        {"order.wav", dataFirst, "no fmt chunk before the data"},
        {"voice.ogg", VorbisHead(0, 44100), "the header claims 0 channels"},
        {"text.wav", {'h', 'e', 'l', 'l', 'o'}, "not a WAV or Ogg Vorbis sound"},
        {"low.wav", WavWith(1, 1, 8000, 8), ""},
        {"tone.ogg", VorbisHead(1, 22050), ""},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        ASSERT_TRUE(WriteFile(folder.File(f.name), f.bytes));
        LoadSound("beep.wav", 3, 1);
        testing::internal::CaptureStderr();
        LoadSound(f.name, 3, 1);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(ErrorCode(), 0);
        if (*f.reason) {
            EXPECT_EQ(PlaySound(3, 0, 1), -1);
            EXPECT_EQ(said, std::string("Sound file ") + f.name + " not loaded: " + f.reason + "\n");
        } else {
            EXPECT_GE(PlaySound(3, 0, 1), 768);
            EXPECT_EQ(said, "");
        }
        StopAllSounds();
    }
    testing::internal::CaptureStderr();
    LoadSound("nothere.wav", 3, 1);   // a missing file is not reported (the Media folder is)
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Audio, MusicIsCheckedByItsKindBeforeTheMixerOpensIt) {
    std::vector<uint8_t> notVorbis = VorbisHead(2, 44100);
    notVorbis[29] = 'V';
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* reason;
    } files[] = {
        {"mono.ogg", VorbisHead(1, 44100), ""},
        {"slow.ogg", VorbisHead(2, 10), "the header claims a sample rate of 10 Hz"},
        {"notvorbis.ogg", notVorbis, "its first Ogg page holds no Vorbis header"},
        {"wave.ogg", WavWith(1, 2, 44100, 16), "not an Ogg stream"},   // the name picks the decoder
        {"tagged.mp3", {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 2, 0, 0, 0xFF, 0xFB, 0x90, 0x64, 0, 0}, ""},
        {"junk.mp3", {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'}, "not an MP3 stream"},
        {"none.wav", WavWith(1, 0, 44100, 16), "the header claims 0 channels"},
        {"song.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6}, "not Ogg Vorbis, MP3 or WAV music"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        ASSERT_TRUE(WriteFile(folder.File(f.name), f.bytes));
        testing::internal::CaptureStdout();
        PlayMusicFile(f.name, 1);
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_EQ(MusicPlaying(), *f.reason ? 0 : 1);
        if (*f.reason) {
            EXPECT_EQ(said, std::string("PLAYMUSIC: ") + f.name + ": " + f.reason + "\n");
        }
    }
}

TEST_F(Audio, MusicVolumeCacheSkipsRepeatsUntilStopAndPauseNeedsAFlag) {
    EXPECT_EQ(Platform::MusicVolume(-1), 64);  // as the device was opened
    PlayMusicFile("tune.ogg", 1);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(MusicPlaying(), 1);
    EXPECT_EQ(NullAudio::CurrentMusicPath(), "tune.ogg");
    EXPECT_EQ(Platform::MusicVolume(-1), 128);  // starts at full volume
    const unsigned calls = Platform::MusicVolumeCalls();
    SetMusicVolume(1.0f);  // the cache already says 1.0
    SetMusicVolume(0.7f);
    SetMusicVolume(0.7f);
    EXPECT_EQ(Platform::MusicVolumeCalls(), calls + 1);
    EXPECT_EQ(Platform::MusicVolume(-1), 89);
    PauseMusic(0);  // zero does nothing
    EXPECT_FALSE(Platform::MusicPaused());
    PauseMusic(1);
    EXPECT_TRUE(Platform::MusicPaused());
    StopMusic();
    EXPECT_EQ(MusicPlaying(), 0);
    EXPECT_EQ(NullAudio::CurrentMusicPath(), "");
    SetMusicVolume(0.7f);  // the stop cleared the cache
    EXPECT_EQ(Platform::MusicVolumeCalls(), calls + 2);
    SetMusicVolume(-0.5f);  // would read as a query to the mixer
    EXPECT_EQ(Platform::MusicVolume(-1), 0);
    SetMusicVolume(2.0f);
    EXPECT_EQ(Platform::MusicVolume(-1), 128);
}

TEST_F(Audio, MissingOrUnreadableMusic) {
    ASSERT_TRUE(WriteFile(folder.File("junk.mp3"), {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'}));
    PlayMusicFile("tune.ogg", 1);
    PlayMusicFile("gone.ogg", 1);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(MusicPlaying(), 0);  // the old music was stopped first
    PlayMusicFile("", 1);
    EXPECT_EQ(ErrorCode(), 3);
    testing::internal::CaptureStdout();
    PlayMusicFile("junk.mp3", 1);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("PLAYMUSIC: ", 0), 0u) << out;
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(MusicPlaying(), 0);
    const unsigned calls = Platform::MusicVolumeCalls();
    SetMusicVolume(1.0f);  // the cache says 1.0 even so
    EXPECT_EQ(Platform::MusicVolumeCalls(), calls);
}

int resumeCalls = 0;
void OnResume() { ++resumeCalls; }
const CallbackRow CALLBACKS[] = {{OnResume, "KRT_ON_RESUME"}, {nullptr, nullptr}};

TEST_F(Audio, StartingMusicMakesAPausedApplicationActive) {
    SetCallbackTable(CALLBACKS);
    resumeCalls = 0;
    EnablePause(1);
    SetPaused(1);
    ASSERT_TRUE(IsPaused());
    PlayMusicFile("tune.ogg", 1);
    EXPECT_FALSE(IsPaused());
    EXPECT_EQ(resumeCalls, 1);
    PlayMusicFile("tune.ogg", 1);      // already active: no second resume
    EXPECT_EQ(resumeCalls, 1);
    SetPaused(1);
    PlayMusicFile("gone.ogg", 1);  // a missing file returns before that step
    EXPECT_TRUE(IsPaused());
    EXPECT_EQ(resumeCalls, 1);
}

}  // namespace
