// The deal (no like neighbours, every field in place), the entry sweep's waves and landing, the
// cleared and tutorial boards, refills under the less-creatures power and the idle animation.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "board_checkers.h"
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "game/shell/globals.h"

TEST(Deal, ThousandsOfBoardsNeverHaveLikeNeighbours) {
    int kindSeen[9] = {};
    for (unsigned seed = 1; seed <= 5000; ++seed) {
        StartSeededGame(seed);
        Kinds k = CurrentKinds();
        ASSERT_FALSE(HasLikeNeighbours(k)) << "seed " << seed;
        ASSERT_EQ(busyCount, 36) << "seed " << seed;
        for (int i = 0; i < 36; ++i) {
            const Creature& c = creatures(i);
            ASSERT_GE(c.kind, 1);
            ASSERT_LE(c.kind, 8);
            kindSeen[static_cast<int>(c.kind)] += 1;
            ASSERT_EQ(c.column, i % 6);
            ASSERT_EQ(c.row, i / 6);
            ASSERT_EQ(c.x, (i % 6) * 50);
            ASSERT_EQ(c.y, (i / 6) * 50 - 320);
            ASSERT_EQ(c.state, 0);
            ASSERT_GE(c.idleWait, 60);
            ASSERT_LE(c.idleWait, 420);
        }
    }
    // Every kind turns up, none overwhelmingly: 180000 cells over 8 kinds.
    for (int kind = 1; kind <= 8; ++kind) {
        EXPECT_GT(kindSeen[kind], 18000) << "kind " << kind;
        EXPECT_LT(kindSeen[kind], 27000) << "kind " << kind;
    }
}

TEST(EntrySweep, WavesFollowTheOrdersAndEveryCreatureLandsInPlace) {
    for (int pattern = 1; pattern <= 4; ++pattern) {
        for (unsigned seed = 1; seed <= 200; ++seed) {
            StartSeededGame(seed);
            entryPattern = static_cast<float>(pattern);
            StartEntrySweep();
            std::set<int> cells;
            for (int i = 0; i < 36; ++i) cells.insert(static_cast<int>(sweepOrder(i)));
            ASSERT_EQ(cells.size(), 36u);
            // Delays rise wave by wave: base 3, 9, 15 ... plus 0..3.
            const int* waves = SweepPatternWaves(pattern);
            int entry = 0;
            for (int w = 0; waves[w] != 0; ++w) {
                for (int n = 0; n < waves[w]; ++n, ++entry) {
                    ASSERT_GE(sweepDelay(entry), 3 + 6 * w);
                    ASSERT_LE(sweepDelay(entry), 6 + 6 * w);
                }
            }
            ASSERT_EQ(entry, 36);
            Kinds dealt = CurrentKinds();
            int ticks = RunUntilIdle(400);
            ASSERT_GT(ticks, 60) << "pattern " << pattern << " seed " << seed;
            ASSERT_EQ(entryPattern, 0);
            EXPECT_EQ(CurrentKinds(), dealt);  // no group on a fresh board: nothing cleared
            for (int i = 0; i < 36; ++i) {
                const Creature& c = creatures(i);
                ASSERT_EQ(c.state, 1);
                ASSERT_EQ(c.y, (i / 6) * 50);
                ASSERT_EQ(c.x, (i % 6) * 50);
            }
        }
    }
}

TEST(EntrySweep, PatternOneDropsTheBottomLeftCornerFirst) {
    StartSeededGame(7);
    entryPattern = 1;
    StartEntrySweep();
    EXPECT_EQ(sweepOrder(0), 30);
    EXPECT_EQ(sweepOrder(35), 5);
    int ticks = 0;
    while (creatures(30).state == 0 && ticks < 20) {
        BoardTick();
        ++ticks;
    }
    EXPECT_GE(ticks, 3);
    EXPECT_LE(ticks, 6);
    EXPECT_EQ(creatures(5).state, 0);  // the opposite corner still waits
}

TEST(ClearBoard, EmptiesKindsAndLiftsCellsButKeepsIdleAndBusy) {
    StartSeededGame(3);
    busyCount = 5;
    creatures(7).idleWait = 123;
    ClearBoard();
    for (int i = 0; i < 36; ++i) {
        EXPECT_EQ(creatures(i).kind, 0);
        EXPECT_EQ(creatures(i).y, (i / 6) * 50 - 320);
        EXPECT_EQ(creatures(i).state, 0);
    }
    EXPECT_EQ(creatures(7).idleWait, 123);
    EXPECT_EQ(busyCount, 5);
}

TEST(TutorialDeal, TakesTheFixedKindsInCellOrder) {
    PrepareEmptyGame();
    for (int i = 0; i < 42; ++i) tutorialCreatures(i) = (i * 5) % 8 + 1;
    busyCount = 0;
    selectedCell = 4;
    DealTutorialBoard();
    for (int i = 0; i < 36; ++i) EXPECT_EQ(creatures(i).kind, (i * 5) % 8 + 1);
    EXPECT_EQ(busyCount, 36);
    EXPECT_EQ(selectedCell, 0);
}

TEST(Refill, LessCreaturesNeverDealsSevenOrEight) {
    PrepareEmptyGame();
    SeedGameRandom(11);
    creatureKinds = 6;
    std::set<float> seen;
    for (int n = 0; n < 3000; ++n) {
        columnRefills(0) = 0;
        CreateRefillCreature(0);
        seen.insert(creatures(0).kind);
        ASSERT_EQ(creatures(0).y, -50);
    }
    EXPECT_EQ(seen, (std::set<float>{1, 2, 3, 4, 5, 6}));
}

TEST(Idle, PoseStartsWhenTheWaitRunsOutAndEndsWithANewWait) {
    PrepareEmptyGame();
    SeedGameRandom(5);
    Creature c;
    c.kind = 3;
    c.idleWait = 2;
    IdleTick(c);
    EXPECT_EQ(c.idlePose, 0);
    IdleTick(c);  // reaches exactly 0
    EXPECT_GE(c.idlePose, 1);
    EXPECT_LE(c.idlePose, 4);
    EXPECT_GE(c.idleTicks, 60);
    EXPECT_LE(c.idleTicks, 180);
    int ticks = 0;
    while (c.idlePose != 0 && ticks < 500) {
        IdleTick(c);
        ++ticks;
    }
    EXPECT_GE(ticks, 60);
    EXPECT_LE(ticks, 181);
    EXPECT_GE(c.idleWait, 60);
    // An egg waits and plays no pose.
    Creature egg;
    egg.kind = 9;
    egg.idleWait = 1;
    IdleTick(egg);
    EXPECT_EQ(egg.idlePose, 0);
    EXPECT_GT(egg.idleTicks, 0);
}

TEST(EntrySweep, DiagonalPatternsSweepFromTheBottomCornersOneDiagonalPerWave) {
    for (int pattern = 1; pattern <= 2; ++pattern) {
        const int* order = SweepPatternOrder(pattern);
        const int* waves = SweepPatternWaves(pattern);
        int entry = 0;
        for (int w = 0; waves[w] != 0; ++w) {
            for (int n = 0; n < waves[w]; ++n, ++entry) {
                int column = order[entry] % 6, row = order[entry] / 6;
                int fromCorner = (pattern == 1 ? column : 5 - column) + (5 - row);
                EXPECT_EQ(fromCorner, w) << "pattern " << pattern << " entry " << entry;
            }
        }
    }
    // The other two start in the bottom row and end in the top row.
    for (int pattern = 3; pattern <= 4; ++pattern) {
        const int* order = SweepPatternOrder(pattern);
        EXPECT_EQ(order[0] / 6, 5);
        EXPECT_EQ(order[35] / 6, 0);
    }
}
