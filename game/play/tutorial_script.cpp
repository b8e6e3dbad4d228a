// The tutorial's script and its scripted refills. The panels and their steps come with the
// tutorial's own issue; until then the tutorial plays as a free board.
#include "game/play/board_state.h"
#include "game/play/play.h"

void TutorialStep() {
    tutorialPanel = 0;
}

void TutorialRefillKind(float cell) {
    (void)cell;
    if (tutorialStep <= 19) eggCountdown = 9999;
}
