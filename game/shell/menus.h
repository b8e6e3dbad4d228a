// The menu screens' logic and drawing: main menu, game mode selection with the rating prompt,
// options, results, challenges, high scores and the pause menu.
#pragma once

void ResetMainMenu();
void MainMenuTick();
void GameModeTick();
void OptionsTick();
void ResultsTick();
void ChallengesTick();
void HighScoresTick();
void PauseMenuTick();
void OverlayTick();

void DrawMainMenu();
void DrawGameModeScreen();
void DrawOptionsScreen();
void DrawChallengesScreen();
void DrawResultsScreen();
void DrawHighScoreScreen();
