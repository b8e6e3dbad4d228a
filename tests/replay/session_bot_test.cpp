// The session bot's choice of move and the checks of long sessions (its way through the menus is
// played out by the bot_menus session).
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "game/state/globals.h"
#include "tools/session/session_bot.h"

namespace {

// A board of rows 1..6 repeated with no like neighbours anywhere, resting on its cells.
void QuietBoard() {
    DimensionPlayTables();
    for (int i = 0; i < 36; ++i) {
        Creature& c = creatures(i);
        c.column = i % 6;
        c.row = i / 6;
        c.x = c.column * 50;
        c.y = c.row * 50;
        c.state = 1;
        c.kind = static_cast<float>(1 + (i % 6 + 2 * (i / 6)) % 8);
    }
    phase = 7;
    runState = 2;
    boardPhase = 2;
    selectedCell = 0;
    swaps = 0;
    powerType = 0;
    bonusTicks = 0;
}

TEST(SessionBot, SwipesTheCreatureThatCompletesAGroupOfFour) {
    QuietBoard();
    // Three 8s in the top row at columns 0..2 and an 8 below column 3.
    creatures(0).kind = creatures(1).kind = creatures(2).kind = 8;
    creatures(3).kind = 4;
    creatures(9).kind = 8;
    BotTouch first = BoardBotStep();
    ASSERT_EQ(first.button, 1);
    BotTouch t = first, last = first;
    for (int i = 1; i < 40 && t.button == 1; ++i) {
        last = t;
        t = BoardBotStep();
    }
    // Press and release on the centres of two neighbouring cells.
    int fromC = (static_cast<int>(first.x) - 35) / 50, fromR = (static_cast<int>(first.y) - 35) / 50;
    int toC = (static_cast<int>(last.x) - 35) / 50, toR = (static_cast<int>(last.y) - 35) / 50;
    ASSERT_EQ(std::abs(fromC - toC) + std::abs(fromR - toR), 1);
    // The swap it drew makes a group of at least four 8s (counted by a flood fill here).
    int kinds[36];
    for (int i = 0; i < 36; ++i) kinds[i] = static_cast<int>(creatures(i).kind);
    std::swap(kinds[fromC + fromR * 6], kinds[toC + toR * 6]);
    int seen[36] = {}, stack[36], top = 0, size = 0;
    stack[top++] = 0;
    seen[0] = 1;
    while (top > 0) {
        int cell = stack[--top];
        ++size;
        int c = cell % 6, r = cell / 6;
        int next[4] = {c > 0 ? cell - 1 : -1, c < 5 ? cell + 1 : -1, r > 0 ? cell - 6 : -1, r < 5 ? cell + 6 : -1};
        for (int n : next) {
            if (n >= 0 && !seen[n] && kinds[n] == 8) {
                seen[n] = 1;
                stack[top++] = n;
            }
        }
    }
    EXPECT_GE(size, 4);
    EXPECT_EQ(BotGestures(), 1);
}

// Plays the bot's next gesture out; returns its frames.
std::vector<BotTouch> NextGesture() {
    while (BoardBotBusy()) BoardBotStep();   // what is left of the last one
    std::vector<BotTouch> frames{BoardBotStep()};
    while (BoardBotBusy()) frames.push_back(BoardBotStep());
    return frames;
}

bool TwoTapsOn(const std::vector<BotTouch>& frames, int cell) {
    int presses = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].x != 35 + 50 * (cell % 6) || frames[i].y != 35 + 50 * (cell / 6)) return false;
        if (frames[i].button && (i == 0 || !frames[i - 1].button)) ++presses;
    }
    return presses == 2;
}

TEST(SessionBot, StartsAHatchedPowerUpUnlessAPowerRuns) {
    QuietBoard();
    creatures(0).kind = creatures(1).kind = creatures(2).kind = 8;
    creatures(3).kind = 4;
    creatures(9).kind = 8;
    creatures(20).kind = 13;   // clock stopped, a minute
    powerType = 0;
    bonusTicks = 0;
    EXPECT_TRUE(TwoTapsOn(NextGesture(), 20));
    // With a power running, the group of four comes first; the power-up waits.
    powerType = 1;
    std::vector<BotTouch> swipe = NextGesture();
    EXPECT_FALSE(TwoTapsOn(swipe, 20));
    EXPECT_EQ(swipe.front().x, 185);   // column 3: the 4 above swapped with the 8 below it
    EXPECT_TRUE(swipe.front().y == 35 || swipe.front().y == 85);
    // During the level bonus period a power-up cannot start: the bot does not try.
    powerType = 0;
    bonusTicks = 100;
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(TwoTapsOn(NextGesture(), 20));
    bonusTicks = 0;
}

TEST(SessionBot, PlaysWhateverTheBoardAllowsRatherThanNothing) {
    QuietBoard();   // no swap lands beside a like creature, no switches, no power-up
    EXPECT_FALSE(BoardHasMove());
    EXPECT_EQ(BoardBotStep().button, 0);
    // One swipe that joins two creatures only: it is made.
    creatures(2).kind = 1;   // beside cell 1 (a 2), which may swap in beside cell 0 (a 1)
    EXPECT_TRUE(BoardHasMove());
    std::vector<BotTouch> swipe = NextGesture();
    ASSERT_EQ(swipe.front().button, 1);
    EXPECT_EQ(swipe.front().y, 35);
    // Only an egg's move: an egg swapped beside another is still a move the game takes.
    QuietBoard();
    creatures(0).kind = creatures(2).kind = 9;
    EXPECT_TRUE(BoardHasMove());
    EXPECT_EQ(NextGesture().front().button, 1);
    // A switch in the bank is a move even when it clears nothing.
    QuietBoard();
    swaps = 1;
    EXPECT_TRUE(BoardHasMove());
    EXPECT_EQ(NextGesture().front().button, 1);
    swaps = 0;
}

TEST(MoveStallCheck, ABoardLeftWaitingWithAMoveIsReported) {
    QuietBoard();
    screen = 7;
    overlayState = 0;
    // No move on the board: waiting is no stall.
    for (long long t = 1; t <= 1000; ++t) ASSERT_EQ(CheckMoveStall(t), "");
    creatures(2).kind = 1;
    for (long long t = 1001; t <= 1600; ++t) ASSERT_EQ(CheckMoveStall(t), "") << t;
    EXPECT_NE(CheckMoveStall(1601).find("had a move for 601 ticks"), std::string::npos);
    // A move under way (the board busy) starts the count again; so does a pause menu over it.
    boardPhase = 1;
    EXPECT_EQ(CheckMoveStall(1603), "");
    boardPhase = 2;
    EXPECT_EQ(CheckMoveStall(2200), "");
    EXPECT_NE(CheckMoveStall(2205), "");
    overlayState = 2;
    EXPECT_EQ(CheckMoveStall(2206), "");
    overlayState = 0;
    // A rejected touch's pause is no move: the count goes on through it.
    boardPhase = 5;
    EXPECT_EQ(CheckMoveStall(2500), "");
    EXPECT_NE(CheckMoveStall(2900), "");
    boardPhase = 2;
    // A power-up outside the bonus period is a move too.
    QuietBoard();
    screen = 7;
    boardPhase = 1;
    EXPECT_EQ(CheckMoveStall(2999), "");
    boardPhase = 2;
    creatures(30).kind = 10;
    EXPECT_EQ(CheckMoveStall(3000), "");
    EXPECT_NE(CheckMoveStall(3700), "");
}

TEST(SessionBot, LeavesTheBoardAloneWhileItIsBusy) {
    QuietBoard();
    boardPhase = 4;
    while (BoardBotBusy()) BoardBotStep();
    long long before = BotGestures();
    for (int i = 0; i < 100; ++i) EXPECT_EQ(BoardBotStep().button, 0);
    EXPECT_EQ(BotGestures(), before);
    // Idle, with a move, but the double-tap window of the last release still open: a press now
    // would be read as a second tap, so the bot waits.
    boardPhase = 2;
    swaps = 3;
    touchPhase = 2;
    touchPhaseTicks = 12;
    EXPECT_EQ(BoardBotStep().button, 0);
    touchPhase = touchPhaseTicks = 0;
    // A creature left selected is let go by a touch in the strip under the board, off its buttons.
    selectedCell = 8;
    BotTouch letGo = BoardBotStep();
    EXPECT_EQ(letGo.button, 1);
    EXPECT_GT(letGo.y, 409);
    EXPECT_LT(letGo.y, 429);
    EXPECT_EQ(BotGestures(), before) << "no move";
    while (BoardBotBusy()) BoardBotStep();
    selectedCell = 0;
    swaps = 0;
}

TEST(BoardCheck, ASoundBoardPasses) {
    QuietBoard();
    EXPECT_EQ(CheckBoard(1), "");
}

TEST(BoardCheck, FindsKindsStatesAndPositionsOutOfPlace) {
    QuietBoard();
    creatures(5).kind = 17;
    EXPECT_NE(CheckBoard(1).find("cell 5 has kind 17"), std::string::npos);
    QuietBoard();
    creatures(7).kind = 2.5f;
    EXPECT_NE(CheckBoard(1), "");
    QuietBoard();
    creatures(8).state = 11;
    EXPECT_NE(CheckBoard(1).find("state"), std::string::npos);
    QuietBoard();
    creatures(9).y += 3;
    EXPECT_NE(CheckBoard(1).find("rests at"), std::string::npos);
    QuietBoard();
    creatures(9).state = 2;   // falling: anywhere is fine
    creatures(9).y = -40;
    EXPECT_EQ(CheckBoard(1), "");
}

TEST(BoardCheck, ABoardThatNeverComesToRestIsReported) {
    QuietBoard();
    EXPECT_EQ(CheckBoard(100), "");
    boardPhase = 1;
    busyCount = 3;
    EXPECT_EQ(CheckBoard(2000), "");
    EXPECT_NE(CheckBoard(3101).find("has not come to rest"), std::string::npos);
    boardPhase = 2;
    EXPECT_EQ(CheckBoard(3102), "");
    // A session that numbers its ticks anew (or on from a saved one) starts counting at its own
    // first tick, even with the board in the middle of a fall.
    boardPhase = 1;
    EXPECT_EQ(CheckBoard(5), "");
    EXPECT_EQ(CheckBoard(3005), "");
    EXPECT_NE(CheckBoard(3006), "");
    boardPhase = 2;
}

}  // namespace

TEST(ProgressCheck, AScreenWithoutATouchForAMinuteOrAMenuThatNeverEndsIsReported) {
    screen = 5;
    EXPECT_EQ(CheckProgress(1, false), "");
    EXPECT_EQ(CheckProgress(3600, false), "");
    EXPECT_NE(CheckProgress(3602, false).find("no touch"), std::string::npos);
    screen = 7;
    EXPECT_EQ(CheckProgress(3603, true), "");
    EXPECT_EQ(CheckProgress(20000, true), "") << "a game may last while the player plays";
    EXPECT_NE(CheckProgress(23700, false).find("no touch"), std::string::npos);
    screen = 4;
    EXPECT_EQ(CheckProgress(23701, true), "");
    EXPECT_NE(CheckProgress(27400, true).find("has lasted"), std::string::npos) << "touched, but never left";
}
