// Drives the real game on the headless twin the way a player would: a finger held, moved and
// lifted tick by tick through the real frame loop, and what the last frame showed read back.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace Flow {

// Starts the whole game once per process (start-up with the build's media, a fixed seed, the
// save files in a scratch folder), then puts it back on a freshly entered main menu with the
// defaults of a first start.
void StartFresh();

// Runs logic ticks with the finger as it is.
void Ticks(int n);
// The finger, in design units.
void Down(float x, float y);
void Up();
// While on, the session bot's board player moves the finger (on the board only).
void BoardPlayer(bool on);
// Down for `hold` ticks, then up for one.
void Tap(float x, float y, int hold = 3);
// Runs ticks until `done` holds (checked after each frame); false when it did not within `limit`.
bool Until(const std::function<bool()>& done, int limit);
// Ticks until the menu screen in `screen` is fully shown (and the main menu's buttons settled).
bool UntilShown(float screen, int limit = 600);

// Whether a row of small-font text of the last frame holds `text`.
bool Shows(const std::string& text);
// Quads of the last frame drawn from an atlas item (any frame).
int QuadsOf(int item);

// Sound plays since the last ClearSounds whose file ends with `file`.
int Played(const std::string& file);
void ClearSounds();

// Main menu taps and the in-game buttons, by what they are.
void TapMainMenu(int button);   // 0 PLAY .. 4 HIGH SCORES
void TapModeTile(float mode);   // 1 ARCADE, 2 PUZZLE, 3 TIME TRIAL, 4 ZEN
void TapBackBar();

// From the main menu: PLAY, the mode's tile, then ticks until the game runs (runState 2).
bool StartGameFromMenu(float mode);
// From a running game: the pause button, QUIT (GAME OVER at once), the game-over sequence to the
// results (showing `results`, when given), a tap, back to the main menu.
bool QuitGameToMenu(const std::string& results = "");

}  // namespace Flow
