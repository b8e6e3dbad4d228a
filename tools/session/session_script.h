// Tick scripts for scripted sessions: pointer changes at given logic ticks and report points.
#pragma once

#include <string>
#include <vector>

struct ScriptTouch {
    long long tick = 0;   // the pointer holds this from this tick on
    float x = 0, y = 0;   // design units (320 x 480)
    int button = 0;       // 0 up, 1 down
};

struct SessionScript {
    std::vector<ScriptTouch> touches;   // in tick order
    std::vector<long long> reports;     // ticks after which the state is reported, ascending
    std::string mode;                   // "" = the menus
    std::string display;                // "" = the platform's choice, else "WxH"
    long long seed = -1;                // -1 = the clock seed
    long long lastTick = 0;             // the session runs this many ticks
    int challenges = -1;                // -1 = as the settings give; else this many challenges complete
    std::vector<long long> pauses;      // the window loses and regains focus after these ticks
    long long quitAt = -1;              // a quit event arrives after this tick (-1 = none)
};

// Parses the text of a script. Lines: "<tick> <x> <y> <button>", "report <tick>", "seed <n>",
// "mode <name>", "display <W>x<H>", "ticks <n>", "challenges <0..15>", "pause <tick>",
// "quit <tick>", blank lines and "#" comments. Returns false (with a message naming
// the line) on anything else.
bool ParseSessionScript(const std::string& text, SessionScript& out, std::string& error);

// The pointer the script asks for at a tick.
ScriptTouch TouchAt(const SessionScript& script, long long tick);
