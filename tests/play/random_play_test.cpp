// Thousands of seeded boards played with random legal swipes through the touch path: no deal has
// like neighbours, the entry sweep (each pattern turns up among the seeds) changes nothing, every
// search matches a flood fill, legality matches the checker, cascades end, 36 creatures always, a
// settled board holds no group of four, every stage passes the saved-game check. (The same seed and
// touches giving the same game is the replays' to prove.)
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/state/globals.h"

namespace {

// Totals over all the games played.
struct Outcome {
    long moves = 0, clears = 0, clearingMoves = 0;
    long dealt[9] = {};  // the kinds of the deals
};

// Ticks until idle, checking each search and each collapse on the way, and that every cell
// always holds one creature of a valid kind.
void SettleChecked(Outcome& out, int limit) {
    for (int t = 0; t < limit; ++t) {
        if (boardPhase == 2 && busyCount == 0) return;
        Kinds seen = CurrentKinds();
        int cleared = 0;
        for (int i = 0; i < 36; ++i) cleared += creatures(i).state == 7;
        float phaseBefore = boardPhase;
        bool search = boardPhase == 3 && bonusTicks == 0;
        BoardStep();
        if (search) {
            ExpectSearchMatchesFill(seen);
            out.clears += groupsCleared > 0;
        } else if (phaseBefore == 4) {
            int refills = 0;
            for (int c = 0; c < 6; ++c) refills += static_cast<int>(columnRefills(c));
            ASSERT_EQ(refills, cleared) << "every cleared creature is replaced by one new one";
        }
        AnimateCreatures();
        for (int i = 0; i < 36; ++i) ASSERT_TRUE(creatures(i).kind >= 1 && creatures(i).kind <= 16) << "cell " << i;
        ASSERT_GE(busyCount, 0);
        ASSERT_TRUE(PlayStateIsSound());  // every stage of play would resume from a saved game
        if (::testing::Test::HasFatalFailure()) return;
    }
    FAIL() << "the board did not settle within " << limit << " ticks";
}

void PlaySeed(unsigned seed, int movesWanted, Outcome& out) {
    std::mt19937 rng(seed * 7919u);
    StartSeededGame(seed, static_cast<float>(1 + seed % 4));
    ASSERT_FALSE(HasLikeNeighbours(CurrentKinds()));
    for (float kind : CurrentKinds()) {
        ASSERT_TRUE(kind >= 1 && kind <= 8);
        out.dealt[static_cast<int>(kind)] += 1;
    }
    eggCountdown = 5 + seed % 20;  // eggs early, so hatching and power-ups take part
    const Kinds dealt = CurrentKinds();
    SettleChecked(out, 400);
    ASSERT_EQ(CurrentKinds(), dealt) << "the entry sweep lands every creature and clears nothing";
    for (int move = 0; move < movesWanted && !::testing::Test::HasFatalFailure(); ++move) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " move " + std::to_string(move));
        Kinds k = CurrentKinds();
        ASSERT_FALSE(HasGroupOfFour(k));
        for (int i = 0; i < 36; ++i) {
            ASSERT_EQ(creatures(i).state, 1);
            ASSERT_EQ(creatures(i).y, (i / 6) * 50);
        }
        // Legality of every neighbouring pair, both ways, against the checker.
        std::vector<std::pair<int, int>> legal, clearing;
        for (int a = 0; a < 36; ++a) {
            for (int b : {a + 1, a + 6}) {
                if (b >= 36 || (b == a + 1 && a % 6 == 5)) continue;
                bool expected = SwapConnects(k, a, b);
                ASSERT_EQ(IsLegalSwap(b % 6, b / 6, b, k[a], a, a % 6, a / 6, k[b]), expected) << a << "," << b;
                ASSERT_EQ(IsLegalSwap(a % 6, a / 6, a, k[b], b, b % 6, b / 6, k[a]), expected) << b << "," << a;
                if (!expected) continue;
                auto pair = rng() % 2 ? std::make_pair(a, b) : std::make_pair(b, a);
                legal.push_back(pair);
                Kinds after = k;
                std::swap(after[a], after[b]);
                if (HasGroupOfFour(after)) clearing.push_back(pair);
            }
        }
        if (legal.empty()) break;
        // Mostly moves that clear, so that chains and cascades run often.
        const auto& pool = !clearing.empty() && rng() % 4 != 0 ? clearing : legal;
        auto [from, to] = pool[rng() % pool.size()];
        Kinds swapped = k;
        std::swap(swapped[from], swapped[to]);
        bool expectClear = HasGroupOfFour(swapped);
        long clearsBefore = out.clears;
        float moves = movesMade;
        // A press soon after the last release first reads as a second press; holding on selects.
        for (int t = 0; t < 4 && selectedCell != from + 1; ++t) TouchTick(CentreX(from), CentreY(from), true);
        ASSERT_EQ(selectedCell, from + 1);
        TouchTick(CentreX(to), CentreY(to), true);
        TouchTick(CentreX(to), CentreY(to), false);
        ASSERT_EQ(targetCell, to + 1);
        SettleChecked(out, 3000);
        ASSERT_EQ(movesMade, moves + 1);
        // A swap clears exactly when the checker sees a group of four after it; one that does not
        // leaves the two creatures exchanged and nothing else changed.
        ASSERT_EQ(out.clears > clearsBefore, expectClear);
        if (!expectClear) {
            ASSERT_EQ(CurrentKinds(), swapped);
        }
        out.clearingMoves += expectClear;
    }
    out.moves += static_cast<long>(movesMade);
}

}  // namespace

TEST(RandomPlay, DealsHaveNoLikeNeighboursAndLegalSwipesCascadeToQuietBoards) {
    Outcome out;
    for (unsigned seed = 1; seed <= 1000 && !HasFatalFailure(); ++seed) PlaySeed(seed, 10, out);
    // 36000 dealt cells over 8 kinds: every kind turns up, none overwhelmingly.
    for (int kind = 1; kind <= 8; ++kind) EXPECT_TRUE(out.dealt[kind] > 3600 && out.dealt[kind] < 5400) << kind;
    // The play really clears groups and runs cascades (more clearing searches than clearing moves).
    EXPECT_GT(out.clearingMoves, out.moves / 10);
    EXPECT_GT(out.clears, out.clearingMoves);
}

// The plausibility check for a saved game's gameplay state: damaged values fail (live games of
// every stage pass it above).
TEST(PlayState, DamagedValuesAreRefused) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    PrepareEmptyGame();
    ClearBoard();
    EXPECT_TRUE(PlayStateIsSound());  // the menus' empty board
    std::vector<std::function<void()>> damage = {
        [] { selectedCell = 37; }, [] { targetCell = -1; }, [] { boardPhase = 7; }, [] { boardPhase = 1.5f; },
        [] { popupSlot = 10; }, [] { speechQueueEnd = 300; }, [] { noticeIndex = -1; },
        [] { creatures(5).kind = 17; }, [] { creatures(5).state = 11; }, [] { creatures(5).column = 6; },
        [] { creatures(7).state = 5; creatures(7).nextKind = 40; }, [nan] { creatures(9).y = nan; },
        [] { sweepOrder(3) = 36; }, [] { groupOfCell(2) = 40; }, [nan] { busyCount = nan; },
        [] { gameMode = 6; }, [] { creatureKinds = 9; },
    };
    for (size_t i = 0; i < damage.size(); ++i) {
        StartSeededGame(12);
        ASSERT_TRUE(PlayStateIsSound());
        damage[i]();
        EXPECT_FALSE(PlayStateIsSound()) << "damage " << i;
    }
}
