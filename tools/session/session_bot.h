// A simple player for scripted sessions. On the board it makes the swap or switch that connects
// the largest group, as a finger would (press, drag, release; or two taps). Around the board it
// walks the menus as a player would: PLAY, each scored mode in turn (ZEN once unlocked), the game
// to its end (or the pause menu's QUIT after a while), the results, now and then the high-score
// list, and back. Also the checks that a long session runs under.
#pragma once

#include <string>
#include <vector>

struct BotTouch {
    float x = 0, y = 0;   // design units
    int button = 0;
};

// The finger for the tick about to run (call once per tick, in order): menus and board.
BotTouch BotStep(long long tick);
// The board player alone: a move's next tick, or the finger up when there is nothing to do.
BotTouch BoardBotStep();
// True while a move's gesture is still being played out.
bool BoardBotBusy();
// Gestures the board player has started so far.
long long BotGestures();

// A game the bot finished, as its results screen showed it.
struct BotGame {
    float mode, score, level, rank, newHighScore;
    long long tick;   // when the results opened
};
const std::vector<BotGame>& BotGames();

// Checks the board after a tick: kinds, states, cell positions, and that an animation that has
// started ends. Returns "" when sound, else what is wrong.
std::string CheckBoard(long long tick);
// Checks that the session is not stuck: no screen lasts longer than a minute of game time
// (3600 ticks) without a touch, and no menu screen longer than that at all.
std::string CheckProgress(long long tick, bool touched);
