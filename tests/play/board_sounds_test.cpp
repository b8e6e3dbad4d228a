// The board's sounds on the silent headless mixer: landings climb the bounce notes one step every
// third landing, clears play the match sound (its second slot while the first still plays), and
// nothing sounds while sound effects are off.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/shell/globals.h"
#include "runtime/audio/sound.h"
#include "runtime/platform/null_audio.h"

namespace {

// A PCM WAV of the given length in milliseconds (8 kHz, 8-bit mono).
void WriteWav(const std::string& path, int ms) {
    uint32_t data = static_cast<uint32_t>(8 * ms);
    std::vector<unsigned char> b;
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i))); };
    auto u16 = [&](uint16_t v) { b.push_back(v & 255); b.push_back(v >> 8); };
    auto tag = [&](const char* t) { b.insert(b.end(), t, t + 4); };
    tag("RIFF"); u32(36 + data); tag("WAVE");
    tag("fmt "); u32(16); u16(1); u16(1); u32(8000); u32(8000); u16(1); u16(8);
    tag("data"); u32(data);
    b.insert(b.end(), data, 128);
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
}

std::string Base(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class BoardSounds : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/squibly_play_sounds_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        OpenAudio();
        auto load = [&](const std::string& name, int slot, int ms) {
            std::string path = dir_ + "/" + name;
            WriteWav(path, ms);
            LoadSound(KString(path.c_str()), static_cast<float>(slot), 1);
        };
        for (int n = 1; n <= 12; ++n) load("bounce" + std::to_string(n) + ".wav", 10 + n, 0);
        load("match.wav", 1, 1000);
        load("match2.wav", 2, 0);
        load("error.wav", 3, 0);
        load("swap.wav", 4, 0);
        load("aqua2.wav", 5, 0);
        load("select2.wav", 6, 0);
        NullAudio::ClearPlays();
    }
    void TearDown() override {
        ShutdownAudio();
        std::string cmd = "rm -rf '" + dir_ + "'";
        if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << "could not remove " << dir_;
    }
    std::vector<std::string> Played() {
        std::vector<std::string> out;
        for (const auto& p : NullAudio::Plays()) out.push_back(Base(p.path));
        return out;
    }
    std::string dir_;
};

}  // namespace

TEST_F(BoardSounds, ThirtySixLandingsPlayEachBounceNoteOnceInOrder) {
    StartSeededGame(21);
    soundOn = 1;
    ASSERT_GE(RunUntilIdle(400), 0);
    std::vector<std::string> expected;
    for (int n = 1; n <= 12; ++n) expected.push_back("bounce" + std::to_string(n) + ".wav");
    EXPECT_EQ(Played(), expected);
    EXPECT_EQ(landingCount, 0);  // reset when the sweep ends
    EXPECT_EQ(bounceSound, 11);
}

TEST_F(BoardSounds, NothingSoundsWithSoundEffectsOff) {
    StartSeededGame(21);
    soundOn = 0;
    ASSERT_GE(RunUntilIdle(400), 0);
    EXPECT_TRUE(Played().empty());
}

TEST_F(BoardSounds, SelectSwapErrorAndMatchSounds) {
    PrepareEmptyGame();
    soundOn = 1;
    Kinds k = Checkerboard();
    k[30] = k[31] = k[32] = 5;
    k[27] = 5;  // above cell 33: swapping 27 down into 33 completes a row of four
    PlaceBoard(k);
    matchChannel = -1;
    TouchTick(35 + 150, 35 + 200, true);   // select cell 27
    TouchTick(35 + 150, 35 + 240, true);
    TouchTick(35 + 150, 35 + 240, false);  // swipe down
    ASSERT_EQ(targetCell, 34);
    for (int t = 0; t < 12 && groupsCleared == 0; ++t) BoardTick();
    ASSERT_GT(groupsCleared, 0);
    std::vector<std::string> played = Played();
    ASSERT_GE(played.size(), 3u);
    EXPECT_EQ(played[0], "select2.wav");
    EXPECT_EQ(played[1], "aqua2.wav");
    EXPECT_EQ(played[2], "match.wav");
    // The first match sound still plays (the virtual clock has not moved): the next clear uses
    // the second slot.
    PlaceBoard(k);
    k[33] = 5;
    PlaceBoard(k);
    boardPhase = 3;
    FindGroups();
    EXPECT_EQ(Played().back(), "match2.wav");
}
