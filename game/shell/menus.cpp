// The menu screens. The main menu's entry reset is in place; the menus' logic and drawing come
// with the menu screens themselves and do nothing yet.
#include "game/state/globals.h"
#include "game/shell/menus.h"

void ResetMainMenu() {
    mainMenuFade = 0;
    mainMenuDelay = 0;
    mainMenuChoice = 0;
    mainMenuZoom = 0;
    mainMenuLatch = 0;
    mainMenuTop = 144;
    mainMenuStage = 1;
    mainMenuAlpha = 0.001f;
}

void MainMenuTick() {}
void GameModeTick() {}
void OptionsTick() {}
void ResultsTick() {}
void ChallengesTick() {}
void HighScoresTick() {}
void PauseMenuTick() {}
void OverlayTick() {}

void DrawMainMenu() {}
void DrawGameModeScreen() {}
void DrawOptionsScreen() {}
void DrawChallengesScreen() {}
void DrawResultsScreen() {}
void DrawHighScoreScreen() {}
