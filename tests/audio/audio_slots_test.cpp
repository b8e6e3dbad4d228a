// Sound slots on either twin: handles, bad slots, failed loads, and the headers that never
// reach the mixer (on the real one each of these made its converter overrun and crash).
#include <algorithm>
#include <cmath>
#include <functional>

#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"
#include "tests/audio/audio_fixture.h"

TEST_F(Audio, HandlesAreSlotTimes256PlusChannelBadSlotsAreErrorsAndAFailedLoadEmptiesTheSlot) {
    LoadSound("BEEP.WAV", 5, 1);  // the name is found ignoring letter case
    EXPECT_EQ(PlaySound(5.9f, 0, 1), 1280);  // slot numbers are truncated
    for (int channel = 1; channel < 8; ++channel) EXPECT_EQ(PlaySound(5, 0, 1), 1280 + channel);
    EXPECT_EQ(PlaySound(5, 0, 1), -1);  // no free channel
    EXPECT_EQ(SoundPlaying(1281), 1);
    StopAllSounds();
    EXPECT_EQ(SoundPlaying(1281), 0);
    EXPECT_EQ(PlaySound(9, 0, 1), -1);  // never loaded: no error
    EXPECT_EQ(ErrorCode(), 0);
    const std::function<float()> bad[] = {
        [] { return PlaySound(4096, 0, 1); }, [] { return PlaySound(std::nanf(""), 0, 1); },
        [] { return SoundPlaying(-1); }, [] { return SoundPlaying(1e20f); },
        [] { return LoadSound("beep.wav", 4096, 1), 0.0f; }, [] { return LoadSound("beep.wav", -2, 1), 0.0f; },
    };
    for (size_t n = 0; n < std::size(bad); ++n) {
        ClearError();
        EXPECT_EQ(bad[n](), 0) << n;
        EXPECT_EQ(ErrorCode(), 7) << n;
    }
    LoadSound("beep.wav", 4095, 1);  // the last slot is fine
    EXPECT_EQ(PlaySound(4095, 0, 1), 4095 * 256);
    for (const char* name : {"nothere.wav", ""}) {
        LoadSound("beep.wav", 3, 1);
        testing::internal::CaptureStderr();
        LoadSound(name, 3, 1);  // replaces what was there, then fails
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a missing file is not reported (the Media folder is)";
        EXPECT_EQ(ErrorCode(), 0) << name;
        EXPECT_EQ(PlaySound(3, 0, 1), -1) << name;
    }
}

TEST_F(Audio, HeadersTheMixerCannotConvertLeaveTheSlotEmptyAndSaySo) {
    Bytes listPastEnd = WavWith(1, 1, 44100, 16);
    listPastEnd.insert(listPastEnd.begin() + 12, {'L', 'I', 'S', 'T', 0xFF, 0xFF, 0xFF, 0x7F});
    Bytes cut = WavWith(1, 1, 44100, 16);
    cut.resize(cut.size() - 10);
    Bytes dataFirst = WavWith(1, 1, 44100, 16);
    std::rotate(dataFirst.begin() + 12, dataFirst.begin() + 36, dataFirst.begin() + 44 + 64);
    const struct { const char* name; Bytes bytes; const char* reason; } files[] = {  // reason "": it plays
        {"none.wav", WavWith(1, 0, 44100, 16), "the header claims 0 channels"},
        {"six.wav", WavWith(1, 6, 44100, 16), "the header claims 6 channels"},
        {"slow.wav", WavWith(1, 1, 50, 16), "the header claims a sample rate of 50 Hz"},
        {"still.wav", WavWith(1, 1, 0, 16), "the header claims a sample rate of 0 Hz"},
        {"fast.wav", WavWith(1, 2, 4000000000u, 16), "the header claims a sample rate of 4000000000 Hz"},
        {"deep.wav", WavWith(1, 2, 44100, 24), "it has 24-bit samples (8 or 16 are read)"},
        {"adpcm.wav", WavWith(2, 1, 22050, 4), "its samples are not PCM (format 2)"},
        {"cut.wav", cut, "its data runs past the end of the file"},
        {"list.wav", listPastEnd, "a chunk runs past the end of the file"},
        {"order.wav", dataFirst, "no fmt chunk before the data"},
        {"voice.ogg", VorbisHead(0, 44100), "the header claims 0 channels"},
        {"text.wav", {'h', 'e', 'l', 'l', 'o'}, "not a WAV or Ogg Vorbis sound"},
        {"low.wav", WavWith(1, 1, 8000, 8), ""},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        ASSERT_TRUE(WriteRaw(f.name, f.bytes));
        LoadSound("beep.wav", 3, 1);
        testing::internal::CaptureStderr();
        LoadSound(f.name, 3, 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  *f.reason ? std::string("Sound file ") + f.name + " not loaded: " + f.reason + "\n" : "");
        EXPECT_EQ(ErrorCode(), 0);
        EXPECT_EQ(PlaySound(3, 0, 1) >= 768, !*f.reason);
        StopAllSounds();
    }
    // Music is checked by its kind (the name picks the decoder) before the mixer opens it.
    Bytes notVorbis = VorbisHead(2, 44100);
    notVorbis[29] = 'V';
    const struct { const char* name; Bytes bytes; const char* reason; } music[] = {
        {"slow.ogg", VorbisHead(2, 10), "the header claims a sample rate of 10 Hz"},
        {"notvorbis.ogg", notVorbis, "its first Ogg page holds no Vorbis header"},
        {"wave.ogg", WavWith(1, 2, 44100, 16), "not an Ogg stream"},
        {"junk.mp3", {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'}, "not an MP3 stream"},
        {"none.wav", WavWith(1, 0, 44100, 16), "the header claims 0 channels"},
        {"song.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6}, "not Ogg Vorbis, MP3 or WAV music"},
    };
    for (const auto& f : music) {
        ASSERT_TRUE(WriteRaw(f.name, f.bytes));
        testing::internal::CaptureStdout();
        PlayMusicFile(f.name, 1);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("PLAYMUSIC: ") + f.name + ": " + f.reason + "\n");
        EXPECT_EQ(MusicPlaying(), 0) << f.name;
    }
    LoadSound("beep.wav", 7, 1);
    EXPECT_EQ(PlaySound(7, 0, 1), 1792) << "the mixer is unharmed";
}
