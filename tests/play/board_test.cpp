// The board against independent checkers: the group search on odd shapes, and removals. (Gravity,
// refills and eggs in a clear are the random play's and the replays' to check.)
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "board_checkers.h"
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "game/state/globals.h"

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
