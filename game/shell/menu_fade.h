// The fade every menu screen shares: entering from nothing, fading to fully shown, fading out
// again when the player leaves, and the tick's title wave.
#pragma once

enum class FadeArrival { NONE, SHOWN, GONE };

// A screen entered afresh (menuStage 0, or 4 after the last screen faded out) starts fading in.
// Returns true on that first tick.
bool EnterMenuScreen();
// Moves menuAlpha 0.04 toward its target and says when it has just arrived: SHOWN sets
// menuStage 2; GONE sets menuStage 4 and the caller moves on to the next screen.
FadeArrival FadeMenu();
// Starts the fade-out (menuStage 3): the screen ignores further taps.
void StartLeavingMenu();
// Menu screens draw only while they are visible and not yet gone.
bool MenuVisible();
// The titles' wave runs backwards, wrapping at 0 into 359.
void StepTitleWave();
// The bar along the bottom that leads back (y > 448, 39 < x < 277).
bool InBackBar();
// Settings are kept beside the other save files, not in the media folder.
void SaveSettingsNow();
