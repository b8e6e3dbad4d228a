// Scripted touches on an idle board: swipes with the diagonal tie-break, swipes off the board or
// into a swap that connects nothing refused, and the second tap (twin switch or power-up).
#include <gtest/gtest.h>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/state/globals.h"

namespace {

void IdleBoard(const Kinds& k) {
    PrepareEmptyGame();
    PlaceBoard(k);
    touchPhase = touchPhaseTicks = pressTaken = 0;
}

// Presses at the cell centre, drags by (dx, dy) and releases there.
void Swipe(int cell, float dx, float dy) {
    TouchTick(CentreX(cell), CentreY(cell), true);
    TouchTick(CentreX(cell) + dx, CentreY(cell) + dy, true);
    TouchTick(CentreX(cell) + dx, CentreY(cell) + dy, false);
}

}  // namespace

TEST(Touch, SwipesPickTheNeighbourByTheLongerAxisOrAreRefused) {
    Kinds lonely = Checkerboard();
    lonely[14] = 5;
    lonely[15] = 6;
    struct Case { int cell; float dx, dy; int partner; };  // partner -1: refused
    // Exact diagonals: down-right and down-left go below, up-right right, up-left left.
    for (Case c : {Case{14, 40, 5, 15}, Case{14, -8, -45, 8}, Case{14, 30, 30, 20}, Case{14, 30, -30, 15},
                   Case{14, -30, -30, 13}, Case{14, -30, 30, 20}, Case{12, -40, 0, -1}, Case{3, 0, -40, -1},
                   Case{17, 40, 0, -1}, Case{33, 0, 40, -1}, Case{14, 40, 0, -1}}) {
        SCOPED_TRACE(testing::Message() << c.cell << " by " << c.dx << "," << c.dy);
        const Kinds k = c.cell == 14 && c.partner < 0 ? lonely : Checkerboard();  // 14 only refused there
        IdleBoard(k);
        Swipe(c.cell, c.dx, c.dy);
        EXPECT_EQ(boardPhase, c.partner < 0 ? 5 : 1);
        EXPECT_EQ(targetCell, c.partner < 0 ? 0 : c.partner + 1);
        if (c.partner < 0) {
            ASSERT_GE(RunUntilIdle(20), 0);
            EXPECT_EQ(CurrentKinds(), k);  // a refused swap leaves the board as it was
        }
    }
}

TEST(Touch, SecondTapSwitchesToTheTwinOrStartsAPowerUpWhenAllowed) {
    enum Result { SWITCH, POWER, REJECT };
    struct Case { const char* name; float kind, swaps, power, bonus; int secondAt; Result result; float after; };
    const Case cases[] = {
        {"pays one switch", 5, 2, 0, 0, 14, SWITCH, 6},
        {"twin downwards", 2, 1, 0, 0, 14, SWITCH, 1},
        {"free with infinite switches", 1, 0, 3, 0, 14, SWITCH, 2},
        {"free in the bonus period", 1, 0, 0, 100, 14, SWITCH, 2},
        {"none left", 1, 0, 0, 0, 14, REJECT, 1},
        {"second press elsewhere", 1, 5, 0, 0, 15, REJECT, 1},
        {"an egg never switches", 9, 5, 0, 0, 14, REJECT, 9},
        {"a power-up starts its power", 12, 5, 0, 0, 14, POWER, 16},
        {"no power-up in the bonus period", 12, 5, 0, 100, 14, REJECT, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Kinds k = Checkerboard();
        k[14] = c.kind;
        IdleBoard(k);
        swaps = c.swaps;
        powerType = c.power;
        bonusTicks = c.bonus;
        TouchTick(CentreX(14), CentreY(14), true);
        TouchTick(CentreX(14), CentreY(14), false);
        TouchTick(CentreX(c.secondAt), CentreY(c.secondAt), true);
        bonusTicks = 0;
        EXPECT_EQ(boardPhase, c.result == REJECT ? 5 : 1);
        EXPECT_EQ(swaps, c.result == SWITCH && c.power == 0 && c.bonus == 0 ? c.swaps - 1 : c.swaps);
        EXPECT_EQ(powerType, c.result == POWER ? 2 : c.power);
        EXPECT_EQ(creatures(14).kind, c.result == POWER ? 16 : c.kind);
        ASSERT_GE(RunUntilIdle(3000), 0);  // a removal's refills may start a long cascade
        if (c.result != POWER) {
            EXPECT_EQ(creatures(14).kind, c.after);
        }
        EXPECT_EQ(flipsMade, c.result == SWITCH ? 1 : 0);
        for (float v : CurrentKinds()) EXPECT_NE(v, 16);
    }
}
