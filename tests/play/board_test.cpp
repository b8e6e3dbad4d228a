// The board against independent checkers: the entry sweep, the group search on odd shapes,
// gravity and refills, eggs cleared in a group, and removals.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "board_checkers.h"
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "game/state/globals.h"

// (Which pattern a game draws is the game's choice: each one is run here.)
TEST(EntrySweep, EveryPatternLandsEachCreatureInPlaceAndClearsNothing) {
    for (int pattern = 1; pattern <= 4; ++pattern) {
        for (unsigned seed = 1; seed <= 25; ++seed) {
            StartSeededGame(seed);
            entryPattern = static_cast<float>(pattern);
            StartEntrySweep();
            Kinds dealt = CurrentKinds();
            ASSERT_GT(RunUntilIdle(400), 60) << "pattern " << pattern << " seed " << seed;
            ASSERT_EQ(CurrentKinds(), dealt);
            for (int i = 0; i < 36; ++i) ASSERT_TRUE(creatures(i).x == (i % 6) * 50 && creatures(i).y == (i / 6) * 50);
        }
    }
}

TEST(FindGroups, LabelsAndClearsExactlyWhatAFloodFillFinds) {
    std::mt19937 rng(2024);
    PrepareEmptyGame();
    for (int board = 0; board < 4000; ++board) {
        // Few kinds make large, oddly shaped groups; more kinds make many small ones.
        Kinds k{};
        for (float& v : k) v = static_cast<float>(rng() % (2 + board % 5) + 1);
        Search(k);
        ExpectSearchMatchesFill(k);
        int clearing = 0;
        for (int i = 0; i < 36; ++i) clearing += creatures(i).state == 7;
        ASSERT_EQ(busyCount, clearing);
    }
}

TEST(Collapse, TwoGroupsAreOneChainStepAndSurvivorsFallInOrder) {
    PrepareEmptyGame();
    SeedGameRandom(3);
    Kinds k = Checkerboard();
    for (int row = 2; row <= 5; ++row) k[row * 6] = 7;  // column 0, rows 2..5
    for (int cell : {2, 3, 4, 5, 11}) k[cell] = 6;       // a group of five in the top row
    Search(k);
    ASSERT_EQ(groupsCleared, 2);
    EXPECT_EQ(largestGroup, 5);
    for (int t = 0; t < 10; ++t) AnimateCreatures();
    ASSERT_EQ(boardPhase, 4);
    BoardStep();
    EXPECT_EQ(chainLength, 1);
    EXPECT_EQ(multiGroupCount, 2);
    EXPECT_EQ(creaturesConnected, 9);
    EXPECT_EQ(levelProgress, 9);
    // The two survivors of column 0 fall four rows, keeping their order; each emptied cell gets
    // one new creature at the top of its column.
    EXPECT_EQ(creatures(24).kind, k[0]);
    EXPECT_EQ(creatures(30).kind, k[6]);
    const float refills[6] = {4, 0, 1, 1, 1, 2};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(columnRefills(c), refills[c]) << "column " << c;
    EXPECT_LT(creatures(0).y, creatures(6).y);  // the new ones stacked above the board
    EXPECT_LT(creatures(18).y, 0);
    ASSERT_GE(RunUntilIdle(400), 0);
    for (int i = 0; i < 36; ++i) EXPECT_EQ(creatures(i).y, (i / 6) * 50) << "cell " << i;
}

// (Which eggs hatch round a clear, in what order and once each: the rules flow tests.) Four eggs
// in a row clear as a group beside a clearing ordinary group. A cleared egg must not also hatch,
// or it would hold a busy count that never ends and lock the board.
TEST(Eggs, EggsThatClearAsAGroupDoNotAlsoHatch) {
    PrepareEmptyGame();
    SeedGameRandom(8);
    Kinds k = Checkerboard();
    for (int cell : {24, 25, 26, 27}) k[cell] = 9;
    for (int cell : {30, 31, 32, 33}) k[cell] = 6;
    Search(k);
    EXPECT_EQ(groupsCleared, 2);
    EXPECT_EQ(busyCount, 8);
    EXPECT_GE(RunUntilIdle(600), 0);
}

TEST(Removal, UsedPowerUpAndLessCreaturesTakeTheirCellsAndRefillWithTheSixKindsLeft) {
    PrepareEmptyGame();
    SeedGameRandom(9);
    Kinds k = Checkerboard();
    k[14] = 16;
    k[0] = 7;
    k[35] = 8;
    PlaceBoard(k);
    powerType = 1;
    creatureKinds = 6;
    MarkRemovals();
    EXPECT_EQ(busyCount, 3);
    for (int t = 0; t < 20 && boardPhase != 6; ++t) BoardTick();
    ASSERT_EQ(boardPhase, 6);
    BoardStep();  // the removal
    for (int c : {0, 2, 5}) EXPECT_EQ(columnRefills(c), 1) << "column " << c;
    EXPECT_EQ(creaturesConnected, 0);  // removals are not connections
    EXPECT_EQ(levelProgress, 0);
    ASSERT_GE(RunUntilIdle(600), 0);
    for (float v : CurrentKinds()) EXPECT_TRUE(v != 16 && v != 7 && v != 8) << v;
    std::set<float> seen;
    for (int n = 0; n < 3000; ++n) {
        columnRefills(0) = 0;
        CreateRefillCreature(0);
        seen.insert(creatures(0).kind);
    }
    EXPECT_EQ(seen, (std::set<float>{1, 2, 3, 4, 5, 6}));
}
