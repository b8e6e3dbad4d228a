// The entry sweep that drops a new board in wave by wave, and the exit sweep that lifts it out at
// game over; both use the same four orders of cells.
#include "game/play/board_state.h"
#include "game/play/play.h"

namespace {

const int ORDERS[4][36] = {
    {30, 31, 24, 32, 25, 18, 33, 26, 19, 12, 34, 27, 20, 13, 6, 35, 28, 21,
     14, 7, 0, 29, 22, 15, 8, 1, 23, 16, 9, 2, 17, 10, 3, 11, 4, 5},
    {35, 34, 29, 33, 28, 23, 32, 27, 22, 17, 31, 26, 21, 16, 11, 30, 25, 20,
     15, 10, 5, 24, 19, 14, 9, 4, 18, 13, 8, 3, 12, 7, 2, 6, 1, 0},
    {32, 33, 31, 26, 27, 34, 30, 25, 20, 21, 28, 35, 24, 19, 14, 15, 22, 29,
     18, 13, 8, 9, 16, 23, 12, 7, 2, 3, 10, 17, 6, 1, 4, 11, 0, 5},
    {30, 35, 34, 29, 31, 24, 33, 28, 23, 32, 25, 18, 27, 22, 17, 26, 19, 12,
     21, 16, 11, 20, 13, 6, 15, 10, 5, 14, 7, 0, 9, 4, 8, 1, 2, 3},
};

const int DIAGONAL_WAVES[] = {1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 0};
const int SPREAD_WAVES[] = {2, 4, 6, 6, 6, 6, 4, 2, 0};

int PatternIndex(float pattern) {
    int p = static_cast<int>(pattern);
    return p >= 1 && p <= 4 ? p - 1 : 0;
}

// Every creature that has left counts -2000, so 36 gone creatures bring busyCount below this.
const float BOARD_EMPTIED = -71000;

// Number of entries in each wave of a pattern, 0-terminated.
const int* SweepPatternWaves(int pattern) {
    return PatternIndex(static_cast<float>(pattern)) < 2 ? DIAGONAL_WAVES : SPREAD_WAVES;
}

}  // namespace

void StartEntrySweep() {
    int p = PatternIndex(entryPattern);
    const int* waves = SweepPatternWaves(p + 1);
    int entry = 0;
    float base = 3;
    for (int w = 0; waves[w] != 0; ++w) {
        for (int n = 0; n < waves[w]; ++n, ++entry) {
            sweepOrder(entry) = static_cast<float>(ORDERS[p][entry]);
            sweepDelay(entry) = GameRandom(3) + base;
        }
        base += 6;
    }
}

void StartExitSweep() {
    boardLock = 3;
    entryPattern = GameRandom(3) + 1;
    ClearSelection();
    boardPhase = 1;
    StartEntrySweep();
}

void ExitSweepTick() {
    for (int i = 0; i <= 35; ++i) {
        sweepDelay(i) -= 1;
        if (sweepDelay(i) == 0) {
            Creature& c = CellAt(static_cast<int>(sweepOrder(35 - i)));
            c.state = 9;
            c.timer = 0;
            busyCount += 1;
        }
    }
    // boardLock 4 marks a board already handed over, so the hand-over happens once.
    if (boardLock == 3 && busyCount < BOARD_EMPTIED && bannerTicks == 0 && hudAlpha >= -0.02f) {
        boardLock = 4;
        FinishGame();
    }
}
