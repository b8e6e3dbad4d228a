// The board phase machine, run once per playing tick before the creatures animate.
#include "game/play/board_state.h"
#include "game/play/play.h"

namespace {

// Counts the waiting creatures' delays down; a delay reaching exactly 0 lets its creature fall.
void CountFallDelays(bool entrySweep) {
    for (int i = 0; i <= 35; ++i) {
        sweepDelay(i) -= 1;
        if (sweepDelay(i) == 0) {
            int cell = entrySweep ? static_cast<int>(sweepOrder(i)) : i;
            CellAt(cell).state = 2;
        }
    }
}

void SettlePhase() {
    if (entryPattern > 0 && boardLock >= 3) {
        ExitSweepTick();
        return;
    }
    bool entrySweep = entryPattern > 0;
    if (entrySweep) {
        CountFallDelays(true);
    } else if (entryPattern < 0) {
        CountFallDelays(false);
        if (busyCount == 0) {
            entryPattern = 0;
            ClearSelection();
            ResetLandingSound();
        }
    }
    if (busyCount != 0) return;
    if (entrySweep) {
        entryPattern = 0;
        ClearSelection();
        ResetLandingSound();
    }
    boardPhase = 3;
    ResetLandingSound();
    if (levelBreak == 1) EndLevelBreak();
}

}  // namespace

void BoardStep() {
    playTicks += 1;
    if (gameMode == 5) TutorialTick();
    int p = static_cast<int>(boardPhase);
    if (p >= 3 && p <= 6 && boardLock >= 3) {
        ExitSweepTick();
        return;
    }
    switch (p) {
        case 1:
            SettlePhase();
            break;
        case 2:
            if (gameMode == 5) {
                if (tutorialPanel == 0) HandleBoardTouch();
                TutorialStep();
            } else if (runState == 2) {
                HandleBoardTouch();
            }
            break;
        case 3:
            if (bonusTicks == 0) {
                FindGroups();
            } else {
                boardPhase = 2;
            }
            break;
        case 4:
            CollapseCleared();
            break;
        case 5:
            boardPauseTicks -= 1;
            if (boardPauseTicks <= 0) boardPhase = 2;
            break;
        case 6:
            RemoveMarked();
            break;
        default:
            break;
    }
}
