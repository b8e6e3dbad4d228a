// The four high-score tables: which table a game mode fills, the tables a fresh start holds, and
// entering a finished game's result. Shared by gameplay (the threshold at game start, the entry at
// game over) and the shell (the reset, the screens).
#pragma once

const int HIGH_SCORE_TABLES = 4;
const int HIGH_SCORE_SLOTS = 6;   // places 1 to 5 are shown; the sixth is an overflow place

// Table of a game mode: ARCADE 1, PUZZLE 2, TIME TRIAL 0, ZEN 3; -1 for any other mode.
int HighScoreTableOfMode(float mode);

// Writes the default tables (levels 0) into highScores, dimensioning it when it has no size.
void SetDefaultHighScores();
// The default score of one place (what a damaged place of a saved table falls back to).
float DefaultHighScore(int table, int slot);

// Enters (score, level) into the table of `mode`: returns the place 1 to 6, or 0 when the score
// beat no stored entry. Equal scores go below the stored one.
float InsertHighScore(float mode);
