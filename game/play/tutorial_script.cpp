// The tutorial's script and its scripted refills. Its instruction panels come with the tutorial's
// own work; until then the tutorial plays as a free board that the leave area closes.
#include "game/play/board_state.h"
#include "game/play/play.h"

namespace {

bool FirstTickOfPressIn(float left, float right) {
    return touchPhase == 1 && pressTaken == 0 && touchY > 446 && touchY < 476 && touchX > left &&
           touchX < right;
}

// Closes the board at once; the exit sweep then returns to the menus.
void LeaveTutorial() {
    bonusTicks = 0;
    hudAlphaTarget = -0.01f;
    StartExitSweep();
}

}  // namespace

void TutorialStep() {
    tutorialPanel = 0;
    if (boardLock < 3 && FirstTickOfPressIn(218, 293)) LeaveTutorial();
}

void TutorialRefillKind(float cell) {
    (void)cell;
    if (tutorialStep <= 19) eggCountdown = 9999;
}
