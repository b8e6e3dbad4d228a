// The group search against a flood fill, the clearing threshold, the gravity step with its refills
// and fall heights, and the eggs that hatch beside a clear.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "board_checkers.h"
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "game/shell/globals.h"

namespace {

Kinds RandomKinds(std::mt19937& rng, int kinds) {
    Kinds k{};
    for (float& v : k) v = static_cast<float>(rng() % kinds + 1);
    return k;
}

}  // namespace

TEST(FindGroups, LabelsAndClearsExactlyWhatAFloodFillFinds) {
    std::mt19937 rng(2024);
    PrepareEmptyGame();
    for (int board = 0; board < 6000; ++board) {
        // Few kinds make large, oddly shaped groups; more kinds make many small ones.
        Kinds k = RandomKinds(rng, 2 + board % 5);
        PlaceBoard(k);
        boardPhase = 3;
        busyCount = 0;
        FindGroups();
        ExpectSearchMatchesFill(k);
        ASSERT_EQ(busyCount, static_cast<float>([&] {
                      int n = 0;
                      for (int i = 0; i < 36; ++i) n += creatures(i).state == 7;
                      return n;
                  }()));
    }
}

TEST(FindGroups, ThreeStayFourClear) {
    PrepareEmptyGame();
    Kinds k = Checkerboard();
    k[30] = k[31] = k[32] = 5;
    PlaceBoard(k);
    boardPhase = 3;
    FindGroups();
    EXPECT_EQ(groupsCleared, 0);
    EXPECT_EQ(boardPhase, 2);
    EXPECT_EQ(groupOfCell(30), 1);  // labelled, but too small to clear
    k[33] = 5;
    PlaceBoard(k);
    boardPhase = 3;
    FindGroups();
    EXPECT_EQ(groupsCleared, 1);
    EXPECT_EQ(groupSizes(0), 4);
    for (int cell : {30, 31, 32, 33}) EXPECT_EQ(creatures(cell).state, 7);
}

TEST(FindGroups, TwoGroupsInOneSearchAreOneChainStep) {
    PrepareEmptyGame();
    Kinds k = Checkerboard();
    k[0] = k[1] = k[2] = k[3] = 5;
    k[30] = k[31] = k[32] = k[33] = k[34] = 6;
    PlaceBoard(k);
    boardPhase = 3;
    FindGroups();
    EXPECT_EQ(groupsCleared, 2);
    EXPECT_EQ(groupSizes(0), 4);
    EXPECT_EQ(groupSizes(1), 5);
    EXPECT_EQ(largestGroup, 5);
    for (int t = 0; t < 10; ++t) AnimateCreatures();
    EXPECT_EQ(boardPhase, 4);
    EXPECT_EQ(busyCount, 0);
    BoardStep();  // the collapse
    EXPECT_EQ(chainLength, 1);
    EXPECT_EQ(multiGroupCount, 2);
    EXPECT_EQ(multiAwardPending, 1);
    EXPECT_EQ(groupsToScore, 2);
    EXPECT_EQ(creaturesConnected, 9);
    EXPECT_EQ(levelProgress, 9);
}

TEST(Collapse, AColumnClearedFourDeepFallsTheRightDistances) {
    PrepareEmptyGame();
    SeedGameRandom(3);
    Kinds k = Checkerboard();
    for (int row = 2; row <= 5; ++row) k[row * 6] = 7;  // column 0, rows 2..5
    PlaceBoard(k);
    float top0 = k[0], top1 = k[6];
    boardPhase = 3;
    FindGroups();
    for (int t = 0; t < 10; ++t) AnimateCreatures();
    ASSERT_EQ(boardPhase, 4);
    BoardStep();
    // The two survivors of column 0 fall four rows, keeping their heights of 0 and 50.
    EXPECT_EQ(creatures(24).kind, top0);
    EXPECT_EQ(creatures(30).kind, top1);
    EXPECT_EQ(creatures(24).y, 0);
    EXPECT_EQ(creatures(30).y, 50);
    // The four new creatures are stacked above the board, the last made highest.
    EXPECT_EQ(creatures(0).y, -200);
    EXPECT_EQ(creatures(6).y, -150);
    EXPECT_EQ(creatures(12).y, -100);
    EXPECT_EQ(creatures(18).y, -50);
    EXPECT_EQ(columnRefills(0), 4);
    for (int c = 1; c < 6; ++c) EXPECT_EQ(columnRefills(c), 0);
    // Every cell of column 0 waits to fall, counted once each; the other columns are untouched.
    for (int row = 0; row < 6; ++row) EXPECT_EQ(creatures(row * 6).state, 0);
    EXPECT_EQ(busyCount, 6);
    EXPECT_EQ(creatures(1).state, 1);
    EXPECT_EQ(entryPattern, -1);
    // Lower cells fall first.
    EXPECT_LT(sweepDelay(30), sweepDelay(0));
    // Popup at the mean of the cleared creatures: column 0, rows 2..5.
    EXPECT_FLOAT_EQ(popupX(0), 25 + 10);
    EXPECT_FLOAT_EQ(popupY(0), (100 + 150 + 200 + 250) / 4.0f + 25);
    ASSERT_GE(RunUntilIdle(400), 0);
    for (int row = 0; row < 6; ++row) EXPECT_EQ(creatures(row * 6).y, row * 50);
}

TEST(Eggs, AClearHatchesTheEggsOnAllFourSidesOnce) {
    PrepareEmptyGame();
    SeedGameRandom(8);
    Kinds k = Checkerboard();
    // A group of five in a plus shape around cell 14; eggs touch its arms.
    for (int cell : {14, 13, 15, 8, 20}) k[cell] = 5;
    k[12] = 9;  // left of 13
    k[16] = 9;  // right of 15
    k[2] = 9;   // above 8
    k[26] = 9;  // below 20
    k[7] = 9;   // beside both 13 and 8: hatched once
    PlaceBoard(k);
    boardPhase = 3;
    FindGroups();
    int hatching = 0;
    for (int i = 0; i < 36; ++i) hatching += creatures(i).state == 6;
    EXPECT_EQ(hatching, 5);
    EXPECT_EQ(busyCount, 10);
    for (int t = 0; t < 10; ++t) AnimateCreatures();
    EXPECT_EQ(busyCount, 0);
    for (int cell : {12, 16, 2, 26, 7}) {
        EXPECT_GE(creatures(cell).kind, 10);
        EXPECT_LE(creatures(cell).kind, 15);
    }
    EXPECT_GE(RunUntilIdle(600), 0);
}

TEST(Eggs, ClearedEggsBesideAClearDoNotLockTheBoard) {
    // Four eggs in a row clear as a group; each touches a clearing ordinary group as well. A
    // cleared egg must not also hatch, or it would hold a busy count that never ends.
    PrepareEmptyGame();
    SeedGameRandom(4);
    Kinds k = Checkerboard();
    for (int cell : {24, 25, 26, 27}) k[cell] = 9;
    for (int cell : {30, 31, 32, 33}) k[cell] = 6;
    PlaceBoard(k);
    boardPhase = 3;
    FindGroups();
    EXPECT_EQ(groupsCleared, 2);
    for (int cell : {24, 25, 26, 27}) EXPECT_EQ(creatures(cell).state, 7);
    EXPECT_EQ(busyCount, 8);
    EXPECT_GE(RunUntilIdle(600), 0);
    EXPECT_EQ(busyCount, 0);
}

TEST(Removal, UsedPowerUpAndLessCreaturesTakeTheirCellsAndRefill) {
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
    EXPECT_EQ(creatures(14).state, 8);
    for (int t = 0; t < 20 && boardPhase != 6; ++t) BoardTick();
    ASSERT_EQ(boardPhase, 6);
    BoardStep();  // the removal
    EXPECT_EQ(columnRefills(0), 1);
    EXPECT_EQ(columnRefills(2), 1);
    EXPECT_EQ(columnRefills(5), 1);
    EXPECT_EQ(creaturesConnected, 0);  // removals are not connections
    EXPECT_EQ(levelProgress, 0);
    EXPECT_EQ(chainLength, 0);
    ASSERT_GE(RunUntilIdle(600), 0);
    for (float v : CurrentKinds()) {
        EXPECT_NE(v, 16);
        EXPECT_NE(v, 7);
        EXPECT_NE(v, 8);
    }
}
