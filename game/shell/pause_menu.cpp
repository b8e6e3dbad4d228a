// The two screens over a stopped game: the in-game overlay (the word PAUSED) and the pause menu
// with the volume sliders, BACK to the game and QUIT, which ends the game as its own game over
// would and goes on to the results.
#include "game/play/play.h"
#include "game/shell/menu_fade.h"
#include "game/shell/menus.h"
#include "game/shell/volume_sliders.h"
#include "game/state/globals.h"

namespace {
const float ANSWER_TOP = 288, ANSWER_BOTTOM = 322;
const float BACK_RIGHT = 80, QUIT_LEFT = 242;
const float DIMMED = -0.7f;
const float PAUSE_MENU_PHASE = 10;
const float GAME_OVER_PHASE = 12;

void BackToGame() {
    overlayState = 0;
    screen = keptScreen;
    phase = keptPhase;
    brightnessTarget = keptBrightness;
    userActed = 1;
}

void QuitGame() {
    EndGameNow();
    phase = GAME_OVER_PHASE;
    screen = keptScreen;
    overlayState = 0;
    brightnessTarget = DIMMED;
    userActed = 1;
    SaveSettingsNow();
}
}  // namespace

void OverlayTick() {
    StepTitleWave();
    overlayAlpha = -1;
}

void PauseMenuTick() {
    StepTitleWave();
    // The control strip may have closed the menu earlier in this tick.
    if (phase != PAUSE_MENU_PHASE || touchDown != 1) return;
    DragVolumeSliders();
    if (touchY < ANSWER_TOP || touchY > ANSWER_BOTTOM) return;
    if (touchX < BACK_RIGHT) {
        BackToGame();
    } else if (touchX > QUIT_LEFT) {
        QuitGame();
    }
}
