// Scripted presses and drags on an idle board: selection, swipes and their diagonal tie-break,
// rejected touches, the second tap that switches a creature into its twin, and power-up taps.
#include <gtest/gtest.h>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/shell/globals.h"

namespace {

float CentreX(int cell) { return 35 + 50 * static_cast<float>(cell % 6); }
float CentreY(int cell) { return 35 + 50 * static_cast<float>(cell / 6); }

// A board where every swap connects: two kinds in columns stripes would make groups, so use the
// checkerboard, in which any swap of unlike neighbours puts each creature beside its own kind.
void IdleBoard() {
    PrepareEmptyGame();
    PlaceBoard(Checkerboard());
    touchPhase = touchPhaseTicks = pressTaken = 0;
    touchDown = 0;
}

void Press(float x, float y) { TouchTick(x, y, true); }
void Release(float x, float y) { TouchTick(x, y, false); }

// Presses at the cell centre, drags by (dx, dy) and releases there.
void Swipe(int cell, float dx, float dy) {
    Press(CentreX(cell), CentreY(cell));
    Press(CentreX(cell) + dx, CentreY(cell) + dy);
    Release(CentreX(cell) + dx, CentreY(cell) + dy);
}

}  // namespace

TEST(Touch, PressSelectsTheCellUnderTheFinger) {
    IdleBoard();
    Press(CentreX(14), CentreY(14));
    EXPECT_EQ(selectedCell, 15);
    EXPECT_EQ(selectedColumn, 2);
    EXPECT_EQ(selectedRow, 2);
    EXPECT_EQ(selectedX, 110);
    EXPECT_EQ(selectedY, 110);
    EXPECT_EQ(selectionFrame, 1);
    EXPECT_EQ(touchPhase, 1);
}

TEST(Touch, PressNearACellBorderOrOffTheBoardSelectsNothing) {
    for (auto [x, y] : {std::pair<float, float>{62, 35}, {35, 62}, {58, 35}, {5, 35}, {35, 320}, {320, 100}}) {
        IdleBoard();
        Press(x, y);
        Press(x, y);
        EXPECT_EQ(selectedCell, 0) << x << "," << y;
    }
    // A press that lands on a border does not select later while held on a good spot.
    IdleBoard();
    Press(62, 35);
    Press(CentreX(1), CentreY(1));
    EXPECT_EQ(selectedCell, 0);
}

TEST(Touch, SwipesPickTheNeighbourByTheLongerAxis) {
    struct Case {
        float dx, dy;
        int partner;
    };
    const int from = 14;
    for (Case c : {Case{40, 5, 15}, Case{-40, -10, 13}, Case{3, 30, 20}, Case{-8, -45, 8}}) {
        IdleBoard();
        Swipe(from, c.dx, c.dy);
        EXPECT_EQ(targetCell, c.partner + 1) << c.dx << "," << c.dy;
        EXPECT_EQ(creatures(from).state, 5);
        EXPECT_EQ(creatures(c.partner).state, 5);
        EXPECT_EQ(busyCount, 1);
        EXPECT_EQ(boardPhase, 1);
    }
}

TEST(Touch, ExactDiagonalsBreakTheTieDownwardVerticalUpwardHorizontal) {
    struct Case {
        float dx, dy;
        int partner;
    };
    const int from = 14;
    // Down-right: below. Up-right: right. Up-left: left. Down-left: below.
    for (Case c : {Case{30, 30, 20}, Case{30, -30, 15}, Case{-30, -30, 13}, Case{-30, 30, 20}}) {
        IdleBoard();
        Swipe(from, c.dx, c.dy);
        EXPECT_EQ(targetCell, c.partner + 1) << c.dx << "," << c.dy;
    }
}

TEST(Touch, ASwapExchangesTheCreaturesAndStaysWithoutAClear) {
    IdleBoard();
    // Four kinds that never touch their like; the swap only brings two 7s together.
    Kinds before{};
    for (int i = 0; i < 36; ++i) before[i] = static_cast<float>((i % 6 + 2 * (i / 6)) % 4 + 1);
    before[14] = before[16] = 7;
    PlaceBoard(before);
    Swipe(14, 40, 0);
    EXPECT_GE(RunUntilIdle(200), 0);
    Kinds after = CurrentKinds();
    EXPECT_EQ(after[14], before[15]);
    EXPECT_EQ(after[15], before[14]);
    EXPECT_EQ(movesMade, 1);
    EXPECT_EQ(selectedCell, 0);
    EXPECT_EQ(creatures(14).x, 100);
    EXPECT_EQ(creatures(15).x, 150);
}

TEST(Touch, SwipesOffTheBoardAndIllegalSwapsAreRejected) {
    // Left from column 0 and up from row 0.
    for (auto [cell, dx, dy] : {std::tuple<int, float, float>{12, -40, 0}, {3, 0, -40}}) {
        IdleBoard();
        Swipe(cell, dx, dy);
        EXPECT_EQ(boardPhase, 5);
        EXPECT_EQ(boardPauseTicks, 10);
        EXPECT_EQ(selectedCell, 0);
        for (int t = 0; t < 10; ++t) BoardTick();
        EXPECT_EQ(boardPhase, 2);
    }
    // A swap that connects nothing.
    IdleBoard();
    Kinds k = Checkerboard();
    k[14] = 5;  // cells around differ from 5, and 15's kind has no like neighbour at 14's place
    k[15] = 6;
    PlaceBoard(k);
    Swipe(14, 40, 0);
    EXPECT_EQ(boardPhase, 5);
    EXPECT_EQ(CurrentKinds(), k);
}

TEST(Touch, ReleaseInsideTheSelectedCellKeepsTheSelectionAndASecondTapSwitches) {
    IdleBoard();
    swaps = 2;
    float kind = creatures(14).kind;
    Press(CentreX(14), CentreY(14));
    Release(CentreX(14) + 5, CentreY(14));
    EXPECT_EQ(selectedCell, 15);
    EXPECT_EQ(boardPhase, 2);
    for (int t = 0; t < 10; ++t) Release(CentreX(14), CentreY(14));
    Press(CentreX(14), CentreY(14));  // the second press inside the window
    EXPECT_EQ(creatures(14).state, 4);
    EXPECT_EQ(swaps, 1);
    EXPECT_EQ(busyCount, 1);
    EXPECT_GE(RunUntilIdle(200), 0);
    EXPECT_EQ(creatures(14).kind, kind == 1 ? 2 : 4);  // the twin
    EXPECT_EQ(flipsMade, 1);
    EXPECT_EQ(selectedCell, 0);
}

TEST(Touch, SecondTapIsFreeWithInfiniteSwitchesAndRejectedWithNoneLeft) {
    IdleBoard();
    swaps = 0;
    powerType = 3;
    Press(CentreX(0), CentreY(0));
    Release(CentreX(0), CentreY(0));
    Press(CentreX(0), CentreY(0));
    EXPECT_EQ(creatures(0).state, 4);
    EXPECT_EQ(swaps, 0);

    IdleBoard();
    swaps = 0;
    powerType = 0;
    Press(CentreX(0), CentreY(0));
    Release(CentreX(0), CentreY(0));
    Press(CentreX(0), CentreY(0));
    EXPECT_EQ(creatures(0).state, 1);
    EXPECT_EQ(boardPhase, 5);
    EXPECT_EQ(selectedCell, 0);
}

TEST(Touch, SecondPressElsewhereOrOnTheStripIsRejected) {
    IdleBoard();
    swaps = 5;
    Press(CentreX(7), CentreY(7));
    Release(CentreX(7), CentreY(7));
    Press(CentreX(9), CentreY(9));
    EXPECT_EQ(boardPhase, 5);
    EXPECT_EQ(selectedCell, 0);
    EXPECT_EQ(swaps, 5);

    IdleBoard();
    Press(CentreX(7), CentreY(7));
    Release(200, 440);  // released on the control strip
    EXPECT_EQ(boardPhase, 5);
    EXPECT_EQ(selectedCell, 0);
}

TEST(Touch, EggsCannotSwitchAndPowerUpsStartTheirPower) {
    IdleBoard();
    Kinds k = Checkerboard();
    k[14] = 9;
    k[20] = 12;
    PlaceBoard(k);
    swaps = 5;
    Press(CentreX(14), CentreY(14));
    Release(CentreX(14), CentreY(14));
    Press(CentreX(14), CentreY(14));
    EXPECT_EQ(boardPhase, 5);
    EXPECT_EQ(creatures(14).kind, 9);

    PlaceBoard(k);
    touchPhase = touchPhaseTicks = 0;
    Release(0, 0);
    Press(CentreX(20), CentreY(20));
    Release(CentreX(20), CentreY(20));
    Press(CentreX(20), CentreY(20));
    EXPECT_EQ(powerType, 2);
    EXPECT_EQ(creatures(20).kind, 16);
    EXPECT_EQ(creatures(20).state, 8);
    EXPECT_EQ(swaps, 5);
    EXPECT_GE(RunUntilIdle(400), 0);
    for (float v : CurrentKinds()) EXPECT_NE(v, 16);

    // During the level bonus period a power-up tap is rejected.
    PlaceBoard(k);
    powerType = 0;
    bonusTicks = 100;
    touchPhase = touchPhaseTicks = 0;
    Release(0, 0);
    Press(CentreX(20), CentreY(20));
    Release(CentreX(20), CentreY(20));
    Press(CentreX(20), CentreY(20));
    EXPECT_EQ(powerType, 0);
    EXPECT_EQ(creatures(20).kind, 12);
    bonusTicks = 0;
}
