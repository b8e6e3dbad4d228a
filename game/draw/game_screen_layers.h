// The game screens (tutorial 3, game 7, in-game overlay 8, pause menu 9) drawn layer by layer
// over the background, and the three layers of the board itself.
#pragma once

// Whole screens in their layer order. Each draws everything after the background and the
// bubbles, which the screen dispatch draws first on every screen but the splash.
void DrawTutorialScreen();    // screen 3
void DrawGameScreen();        // screen 7
void DrawOverlayScreen();     // screen 8
void DrawPauseMenuScreen();   // screen 9

// The layers of the board.
void DrawCreatureLayer();     // every cell by its state and kind
void DrawSelectionMarker();   // around the selected cell while the board is idle
void DrawPausedOverlay();     // the bobbing word PAUSED of screen 8

// Layers around the board, drawn by the playing-field panel, the banners, the tutorial and
// the pause menu.
void DrawBonusSparkles();
void DrawClockBar();
void DrawInfoPanel();           // score, level, switches, power, notices and the control strip
void DrawEffectLayer();         // reward stars and burst pieces
void DrawCentreBanners();
void DrawClockGainIndicator();  // PUZZLE only
void DrawTutorialOverlay();
void DrawPauseMenu();
