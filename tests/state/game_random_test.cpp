// The game's own generator against published MT19937 outputs, its saved state, and entering a
// result in the high-score tables with its place (the defaults a first start holds are shown and
// saved in the menu and save flows).
#include <gtest/gtest.h>

#include <cstdint>

#include "game/state/globals.h"
#include "game/state/high_scores.h"

namespace {
const float BIG = 1000000000.0f;   // exactly representable; results are v mod 1000000001
float Mod(uint32_t v) { return static_cast<float>(v % 1000000001u); }
// First output of the standard MT19937 for seed 5489.
const float FIRST = Mod(3499211612u);

// Runs first in this process: the unseeded generator must already be the standard one.
TEST(GameRandom, FollowsTheStandardSequenceAndStaysInsideZeroToN) {
    for (uint32_t v : {3499211612u, 581869302u, 3890346734u}) EXPECT_EQ(GameRandom(BIG), Mod(v));
    SeedGameRandom(5489);
    for (float n : {0.0f, -3.0f, 0.5f}) EXPECT_EQ(GameRandom(n), 0.0f) << n;  // no range: no draw
    EXPECT_EQ(GameRandom(BIG), FIRST);
    for (int i = 1; i < 9999; ++i) GameRandom(BIG);
    EXPECT_EQ(GameRandom(BIG), Mod(4123659995u));   // the 10000th output
    bool seen[9] = {};
    for (int i = 0; i < 2000; ++i) {
        float r = GameRandom(8);
        ASSERT_TRUE(r >= 0 && r <= 8 && r == static_cast<float>(static_cast<int>(r))) << r;
        seen[static_cast<int>(r)] = true;
    }
    for (bool s : seen) EXPECT_TRUE(s);
}

TEST(GameRandom, SavedStateResumesTheSequenceAndCorruptStateIsRejected) {
    SeedGameRandom(1234);
    for (int i = 0; i < 700; ++i) GameRandom(100);   // past one full twist of the 624 words
    std::string saved = GameRandomState();
    float expected[20];
    for (float& e : expected) e = GameRandom(BIG);
    SeedGameRandom(1);
    ASSERT_TRUE(SetGameRandomState(saved));
    for (float e : expected) EXPECT_EQ(GameRandom(BIG), e);

    std::string words = saved.substr(0, saved.rfind(' ') + 1);
    EXPECT_TRUE(SetGameRandomState(words + "3"));  // any position inside the words
    // Texts no engine may take: not numbers, empty, every word zero (the engine would draw 0 for
    // ever), a position past the 624 words, a word wider than 32 bits, trailing words.
    std::string zeros;
    for (int i = 0; i < 624; ++i) zeros += "0 ";
    SeedGameRandom(5489);
    for (const std::string& bad : {std::string("12 34 not a state"), std::string(), zeros + "624", words + "625",
                                   "4294967296 " + saved.substr(saved.find(' ') + 1), saved + " 7"})
        EXPECT_FALSE(SetGameRandomState(bad)) << bad.substr(0, 40);
    EXPECT_EQ(GameRandom(BIG), FIRST);  // the rejected texts left the generator alone
}

// Entering a result in its table.
TEST(HighScores, AResultGoesBelowEveryEqualOrBetterEntryAndReturnsItsPlace) {
    struct Case {
        float mode, score, level, rank;
        float table[6];   // the mode's table afterwards
    } cases[] = {
        {1, 60000, 7, 3, {72000, 60000, 60000, 48000, 36000, 24000}},   // equal to slot 1: placed below it
        {4, 100, 2, 0, {120000, 100000, 80000, 60000, 40000, 20000}},   // not in the table at all
        {3, 5000, 3, 6, {24000, 20000, 16000, 12000, 8000, 5000}},      // only the overflow place
        {2, 40000, 9, 1, {40000, 39000, 32500, 26000, 19500, 13000}},   // a new best
        {0, 99999, 9, 0, {}},                                           // no scored mode
    };
    for (const Case& c : cases) {
        SetDefaultHighScores();
        score = c.score;
        level = c.level;
        EXPECT_EQ(InsertHighScore(c.mode), c.rank) << c.mode << " " << c.score;
        int t = HighScoreTableOfMode(c.mode);
        if (t < 0) continue;
        for (int s = 0; s < 6; ++s) EXPECT_EQ(highScores(t, s, 0), c.table[s]) << c.mode << " slot " << s;
        if (c.rank > 0) {
            EXPECT_EQ(highScores(t, static_cast<int>(c.rank) - 1, 1), c.level);
        }
    }
    EXPECT_EQ(HighScoreTableOfMode(3), 0);   // TIME TRIAL heads the list
    EXPECT_EQ(HighScoreTableOfMode(5), -1);  // the tutorial has none
}

}  // namespace
