// A simple player for scripted sessions. On the board it plays as a finger would (press, drag,
// release; or two taps): a hatched power-up when no power runs, else the swap or switch that
// connects the largest group (clears beside eggs, which hatch them, count for more), and any
// move the board allows rather than none. Around the board it
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
// Gestures the board player has started so far, and of them the taps on power-ups.
long long BotGestures();
long long BotPowersTapped();

// Whether the board, as it stands, takes a move: a swipe the game allows, a switch while
// switches are to be had, or a power-up to start.
bool BoardHasMove();

// Power-ups seen hatching and seen used (tapped), by kind 10..15, since the session began.
struct PowerCounts {
    long long hatched[6] = {}, used[6] = {};
};
// Call once per tick: notes the eggs that begin to hatch and the power-ups that are used.
void WatchPowers();
const PowerCounts& BotPowerCounts();

// A game the bot finished, as its results screen showed it.
struct BotGame {
    float mode, score, level, rank, newHighScore;
    long long tick;         // when the results opened
    float playTicks;        // the game's own length in board ticks
    float challenges;       // challenges complete when the results opened
    float challengesGained; // of them, completed during this game
    PowerCounts powers;     // hatched and used during this game
    int left;               // the bot left it through the pause menu: 1 a long game, 2 no move
};
const std::vector<BotGame>& BotGames();

// The bot plays only this mode (1..4) from the menus; 0 (the default) takes each in turn.
void BotPlayOnly(float mode);
// How long the bot lets an ARCADE game run before it leaves through the pause menu.
void BotSetLongestGame(long long ticks);

// Checks the board after a tick: kinds, states, cell positions, and that an animation that has
// started ends. Returns "" when sound, else what is wrong.
std::string CheckBoard(long long tick);
// Checks that the session is not stuck: no screen lasts longer than a minute of game time
// (3600 ticks) without a touch, and no menu screen longer than that at all.
std::string CheckProgress(long long tick, bool touched);
// Checks that a running game's board is not left waiting for ten seconds of game time while it
// takes a move.
std::string CheckMoveStall(long long tick);
