// Thousands of seeded boards played with random legal swipes through the touch path: every search
// matches a flood fill, legality matches the checker, cascades end, 36 creatures always, and a
// settled board holds no group of four.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/shell/globals.h"

namespace {

struct PlayStats {
    long boards = 0;
    long moves = 0;
    long searches = 0;
    long clears = 0;
    long longestSettle = 0;
    long eggsSeen = 0;
    long clearingMoves = 0;
};

float CentreX(int cell) { return 10 + 50 * static_cast<float>(cell % 6) + 25; }
float CentreY(int cell) { return 10 + 50 * static_cast<float>(cell / 6) + 25; }

bool NoGroupOfFour(const Kinds& k) {
    Components comps = FloodFill(k);
    for (int s : comps.size)
        if (s >= 4) return false;
    return true;
}

// Every cell always holds one creature of a valid kind; nothing counts below zero.
void ExpectBoardWhole() {
    for (int i = 0; i < 36; ++i) {
        float kind = creatures(i).kind;
        ASSERT_GE(kind, 1) << "cell " << i;
        ASSERT_LE(kind, 16) << "cell " << i;
    }
    ASSERT_GE(busyCount, 0);
}

// Ticks until idle, checking each search and each collapse on the way.
void SettleChecked(PlayStats& stats, int limit) {
    for (int t = 0; t < limit; ++t) {
        if (boardPhase == 2 && busyCount == 0) {
            stats.longestSettle = std::max<long>(stats.longestSettle, t);
            return;
        }
        if (boardPhase == 3 && bonusTicks == 0) {
            Kinds seen = CurrentKinds();
            BoardStep();
            ++stats.searches;
            ExpectSearchMatchesFill(seen);
            if (groupsCleared > 0) ++stats.clears;
            AnimateCreatures();
        } else if (boardPhase == 4) {
            int cleared = 0;
            for (int i = 0; i < 36; ++i) cleared += creatures(i).state == 7;
            BoardStep();
            int refills = 0;
            for (int c = 0; c < 6; ++c) refills += static_cast<int>(columnRefills(c));
            ASSERT_EQ(refills, cleared) << "every cleared creature is replaced by one new one";
            AnimateCreatures();
        } else {
            BoardTick();
        }
        ExpectBoardWhole();
        if (::testing::Test::HasFatalFailure()) return;
    }
    FAIL() << "the board did not settle within " << limit << " ticks";
}

}  // namespace

TEST(RandomPlay, LegalSwipesCascadeToQuietBoards) {
    PlayStats stats;
    std::mt19937 rng(77);
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        StartSeededGame(seed, static_cast<float>(1 + seed % 4));
        eggCountdown = 5 + seed % 20;  // eggs early, so hatching and power-ups take part
        SettleChecked(stats, 400);
        ASSERT_FALSE(HasFatalFailure()) << "seed " << seed;
        ++stats.boards;
        for (int move = 0; move < 10; ++move) {
            Kinds k = CurrentKinds();
            ASSERT_TRUE(NoGroupOfFour(k)) << "seed " << seed << " move " << move;
            for (int i = 0; i < 36; ++i) {
                ASSERT_EQ(creatures(i).state, 1);
                ASSERT_EQ(creatures(i).x, (i % 6) * 50);
                ASSERT_EQ(creatures(i).y, (i / 6) * 50);
                stats.eggsSeen += k[i] == 9;
            }
            // Legality of every neighbouring pair, both ways, against the checker.
            std::vector<std::pair<int, int>> legal, clearing;
            for (int a = 0; a < 36; ++a) {
                for (int b : {a + 1, a + 6}) {
                    if (b >= 36 || (b == a + 1 && a % 6 == 5)) continue;
                    bool expected = SwapConnects(k, a, b);
                    ASSERT_EQ(IsLegalSwap(b % 6, b / 6, b, k[a], a, a % 6, a / 6, k[b]), expected)
                        << "seed " << seed << " cells " << a << "," << b;
                    ASSERT_EQ(IsLegalSwap(a % 6, a / 6, a, k[b], b, b % 6, b / 6, k[a]), expected);
                    if (!expected) continue;
                    auto pair = rng() % 2 ? std::make_pair(a, b) : std::make_pair(b, a);
                    legal.push_back(pair);
                    Kinds after = k;
                    std::swap(after[a], after[b]);
                    if (!NoGroupOfFour(after)) clearing.push_back(pair);
                }
            }
            if (legal.empty()) break;
            // Mostly moves that clear, so that chains and cascades run often.
            const auto& pool = !clearing.empty() && rng() % 4 != 0 ? clearing : legal;
            auto [from, to] = pool[rng() % pool.size()];
            Kinds swapped = k;
            std::swap(swapped[from], swapped[to]);
            bool expectClear = !NoGroupOfFour(swapped);
            long clearsBefore = stats.clears;
            float moves = movesMade;
            // A press soon after the last release first reads as a second press; holding on selects.
            for (int t = 0; t < 4 && selectedCell != from + 1; ++t) TouchTick(CentreX(from), CentreY(from), true);
            ASSERT_EQ(selectedCell, from + 1);
            TouchTick(CentreX(to), CentreY(to), true);
            TouchTick(CentreX(to), CentreY(to), false);
            ASSERT_EQ(targetCell, to + 1) << "seed " << seed;
            ASSERT_EQ(creatures(from).state, 5);
            touchDown = 0;
            SettleChecked(stats, 3000);
            ASSERT_FALSE(HasFatalFailure()) << "seed " << seed << " move " << move;
            ASSERT_EQ(movesMade, moves + 1);
            // A swap clears exactly when the checker sees a group of four after it; one that does
            // not leaves the two creatures exchanged and nothing else changed.
            ASSERT_EQ(stats.clears > clearsBefore, expectClear) << "seed " << seed << " move " << move;
            if (!expectClear) {
                ASSERT_EQ(CurrentKinds(), swapped);
            }
            stats.clearingMoves += expectClear;
            ++stats.moves;
        }
    }
    RecordProperty("boards", static_cast<int>(stats.boards));
    RecordProperty("moves", static_cast<int>(stats.moves));
    std::printf("boards %ld, moves %ld, searches %ld, clearing searches %ld, longest settle %ld ticks, "
                "egg sightings %ld, clearing moves %ld\n",
                stats.boards, stats.moves, stats.searches, stats.clears, stats.longestSettle, stats.eggsSeen, stats.clearingMoves);
    // The play really clears groups and runs cascades (more clearing searches than clearing moves).
    EXPECT_GT(stats.clearingMoves, stats.moves / 10);
    EXPECT_GT(stats.clears, stats.clearingMoves);
}

namespace {

struct Outcome {
    Kinds kinds;
    float moves, combos, connected, progress, eggs;
    std::string random;
};

// Plays a fixed script of swipes (the first legal pair in a rotating scan) on a seeded board.
Outcome PlayScript(unsigned seed) {
    StartSeededGame(seed, 1);
    eggCountdown = 7;
    RunUntilIdle(400);
    for (int move = 0; move < 25; ++move) {
        Kinds k = CurrentKinds();
        // The first clearing swap in the scan, else the first legal one.
        int from = -1, to = -1;
        for (int pass = 0; pass < 2 && from < 0; ++pass) {
            for (int n = 0; n < 36 && from < 0; ++n) {
                int a = (n + move * 7) % 36;
                for (int b : {a + 1, a + 6}) {
                    if (b >= 36 || (b == a + 1 && a % 6 == 5) || !SwapConnects(k, a, b)) continue;
                    Kinds after = k;
                    std::swap(after[a], after[b]);
                    if (pass == 0 && NoGroupOfFour(after)) continue;
                    from = a;
                    to = b;
                    break;
                }
            }
        }
        if (from < 0) break;
        for (int t = 0; t < 4 && selectedCell != from + 1; ++t) TouchTick(35 + 50 * (from % 6), 35 + 50 * (from / 6), true);
        TouchTick(35 + 50 * (to % 6), 35 + 50 * (to / 6), true);
        TouchTick(35 + 50 * (to % 6), 35 + 50 * (to / 6), false);
        RunUntilIdle(3000);
    }
    float eggs = 0;
    for (int i = 0; i < 36; ++i) eggs += creatures(i).kind >= 9;
    return {CurrentKinds(), movesMade, comboCount, creaturesConnected, levelProgress, eggs, GameRandomState()};
}

}  // namespace

TEST(RandomPlay, TheSameSeedAndTouchesGiveTheSameGame) {
    float combos = 0;
    for (unsigned seed : {3u, 40u, 777u}) {
        Outcome a = PlayScript(seed);
        Outcome b = PlayScript(seed);
        EXPECT_EQ(a.kinds, b.kinds) << "seed " << seed;
        EXPECT_EQ(a.moves, b.moves);
        EXPECT_EQ(a.combos, b.combos);
        EXPECT_EQ(a.connected, b.connected);
        EXPECT_EQ(a.progress, b.progress);
        EXPECT_EQ(a.random, b.random);
        EXPECT_GT(a.moves, 10);
        combos += a.combos;
    }
    EXPECT_GT(combos, 0);
    EXPECT_NE(PlayScript(3).kinds, PlayScript(4).kinds);
}
