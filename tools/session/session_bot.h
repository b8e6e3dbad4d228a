// A simple player for scripted sessions: on a quiet board it makes the swap or switch that
// connects the largest group, as a finger would (press, drag, release; or two taps). Also the
// board checks that a long session runs under.
#pragma once

#include <string>

struct BotTouch {
    float x = 0, y = 0;   // design units
    int button = 0;
};

// The finger for the tick about to run (call once per tick, in order).
BotTouch BotStep(long long tick);
// Gestures the bot has started so far.
long long BotGestures();

// Checks the board after a tick: kinds, states, cell positions, and that an animation that has
// started ends. Returns "" when sound, else what is wrong.
std::string CheckBoard(long long tick);
