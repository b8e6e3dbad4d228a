// The game's own generator against published MT19937 outputs, and WrapValue's ranges.
#include <gtest/gtest.h>

#include <cstdint>

#include "game/shell/globals.h"

namespace {
// First outputs of the standard MT19937 for seed 5489, and the 10000th (the C++ standard's check).
const uint32_t MT5489[] = {3499211612u, 581869302u, 3890346734u, 3586334585u, 545404204u};
const uint32_t MT5489_10000TH = 4123659995u;
const float BIG = 1000000000.0f;   // exactly representable; results are v mod 1000000001
}  // namespace

TEST(GameRandom, UnseededGivesTheStandardSequenceOfSeed5489) {
    for (uint32_t v : MT5489) {
        EXPECT_EQ(GameRandom(BIG), static_cast<float>(v % 1000000001u));
    }
}

TEST(GameRandom, SeedingRestartsTheStandardSequenceAndTheTenThousandthOutputMatches) {
    GameRandom(5);
    SeedGameRandom(5489);
    EXPECT_EQ(GameRandom(BIG), static_cast<float>(MT5489[0] % 1000000001u));
    for (int i = 1; i < 9999; ++i) GameRandom(BIG);
    EXPECT_EQ(GameRandom(BIG), static_cast<float>(MT5489_10000TH % 1000000001u));
}

TEST(GameRandom, NoRangeGivesZeroWithoutAdvancing) {
    SeedGameRandom(5489);
    EXPECT_EQ(GameRandom(0), 0.0f);
    EXPECT_EQ(GameRandom(-3), 0.0f);
    EXPECT_EQ(GameRandom(0.5f), 0.0f);
    // The generator did not move: the next real draw is still the first output.
    EXPECT_EQ(GameRandom(BIG), static_cast<float>(MT5489[0] % 1000000001u));
}

TEST(GameRandom, ResultsStayInsideZeroToNAndReachBothEnds) {
    SeedGameRandom(77);
    bool seen[9] = {};
    for (int i = 0; i < 2000; ++i) {
        float r = GameRandom(8);
        ASSERT_GE(r, 0.0f);
        ASSERT_LE(r, 8.0f);
        ASSERT_EQ(r, static_cast<float>(static_cast<int>(r)));
        seen[static_cast<int>(r)] = true;
    }
    for (bool s : seen) EXPECT_TRUE(s);
    int ones = 0;
    for (int i = 0; i < 1000; ++i) ones += GameRandom(1) == 1 ? 1 : 0;
    EXPECT_GT(ones, 400);
    EXPECT_LT(ones, 600);
}

TEST(GameRandom, SavedStateResumesTheSameSequence) {
    SeedGameRandom(1234);
    for (int i = 0; i < 700; ++i) GameRandom(100);   // past one full twist of the 624 words
    std::string saved = GameRandomState();
    float expected[20];
    for (float& e : expected) e = GameRandom(BIG);
    SeedGameRandom(1);
    ASSERT_TRUE(SetGameRandomState(saved));
    for (float e : expected) EXPECT_EQ(GameRandom(BIG), e);
}

TEST(GameRandom, CorruptStateIsRejectedAndLeavesTheGeneratorAlone) {
    SeedGameRandom(5489);
    EXPECT_FALSE(SetGameRandomState("12 34 not a state"));
    EXPECT_FALSE(SetGameRandomState(""));
    EXPECT_EQ(GameRandom(BIG), static_cast<float>(MT5489[0] % 1000000001u));
}

TEST(WrapValue, WrapsByOnePeriodAndByManyPeriods) {
    EXPECT_EQ(WrapValue(365, 0, 360), 5);
    EXPECT_EQ(WrapValue(-1, 0, 360), 359);
    EXPECT_EQ(WrapValue(1000, 0, 360), 280);
    EXPECT_EQ(WrapValue(0, 0, 360), 0);
    EXPECT_EQ(WrapValue(360, 0, 360), 0);
    EXPECT_EQ(WrapValue(12.5f, 0, 360), 12.5f);   // inside the range: untouched, fraction kept
    EXPECT_EQ(WrapValue(40000, 1, 32765), 7236);
}

TEST(WrapValue, FarBelowTheRangeStillLandsInsideIt) {
    EXPECT_EQ(WrapValue(-1000, 0, 360), 80);
    float w = WrapValue(-123456789, 1, 32765);
    EXPECT_GE(w, 1);
    EXPECT_LT(w, 32765);
    EXPECT_EQ(WrapValue(7, 3, 3), 3);   // an empty range cannot divide by zero
}
