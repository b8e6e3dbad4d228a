// The game's state as the web page shows it to tests and to its own timing: one JSON object,
// read between frames (the page calls squibly_state while the program waits for the browser).
// Linked into the browser build only.
#include <emscripten.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "game/shell/saved_game_fields.h"
#include "game/state/globals.h"
#include "runtime/core/lifecycle.h"
#include "runtime/graphics/sprites.h"

namespace {
const int LOADING_SPRITE = 2;

void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& out, const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    out += buffer;
}

void Field(std::string& out, const char* name, double value) { Append(out, "\"%s\":%.9g,", name, value); }

// Every element of a table of up to three dimensions, first index fastest.
void Table(std::string& out, const char* name, const KArray<float>& table) {
    Append(out, "\"%s\":[", name);
    const int a = table.ArraySize(0), b = table.ArraySize(1) > 0 ? table.ArraySize(1) : 1,
              c = table.ArraySize(2) > 0 ? table.ArraySize(2) : 1;
    bool first = true;
    for (int k = 0; a > 0 && k < c; ++k)
        for (int j = 0; j < b; ++j)
            for (int i = 0; i < a; ++i) {
                Append(out, first ? "%.9g" : ",%.9g", static_cast<double>(table(i, table.ArraySize(1) ? j : 0,
                                                                              table.ArraySize(2) ? k : 0)));
                first = false;
            }
    out += "],";
}
// The size of the saved game written now: its two nonces and every value take 8 bytes, a text
// its length (8 bytes) and its characters.
double SavedGameBytes() {
    SavedRecord record = CaptureSavedGame();
    if (record.values.empty()) return 0;
    double bytes = 8.0 * static_cast<double>(2 + record.values.size() + record.texts.size());
    for (const KString& text : record.texts) bytes += text.Length();
    return bytes;
}
}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE const char* squibly_state() {
    static std::string out;
    out = "{";
    const SpriteRecord* loading = GetSprite(LOADING_SPRITE);
    Field(out, "loadingPicture", loading && loading->texture != 0 ? 1 : 0);
    Field(out, "startupComplete", startupComplete);
    Field(out, "paused", IsPaused() ? 1 : 0);
    Field(out, "lifecycleRequest", lifecycleRequest);
    Field(out, "phase", phase);
    Field(out, "screen", screen);
    Field(out, "gameMode", gameMode);
    Field(out, "platform", platform);
    Field(out, "mainMenuStage", mainMenuStage);
    Field(out, "menuStage", menuStage);
    Field(out, "inputCooldown", inputCooldown);
    Field(out, "screenWidth", screenWidth);
    Field(out, "screenHeight", screenHeight);
    Field(out, "scale", scaleX);
    Field(out, "offsetX", offsetX);
    Field(out, "offsetY", offsetY);
    Field(out, "touchX", touchX);
    Field(out, "touchY", touchY);
    Field(out, "touchDown", touchDown);
    Field(out, "touchPhase", touchPhase);
    Field(out, "playTicks", playTicks);
    Field(out, "frameElapsed", frameElapsed);
    Field(out, "ticksThisFrame", ticksThisFrame);
    Field(out, "tickDebt", tickDebt);
    Field(out, "detectedRate", detectedRate);
    Field(out, "boardPhase", boardPhase);
    Field(out, "busyCount", busyCount);
    Field(out, "selectedCell", selectedCell);
    Field(out, "pressX", pressX);
    Field(out, "pressY", pressY);
    Field(out, "movesMade", movesMade);
    Field(out, "flipsMade", flipsMade);
    Field(out, "score", score);
    Field(out, "pendingScore", pendingScore);
    Field(out, "level", level);
    Field(out, "swaps", swaps);
    Field(out, "gameClock", gameClock);
    Field(out, "runState", runState);
    Field(out, "userActed", userActed);
    Field(out, "musicVolume", musicVolume);
    Field(out, "soundVolume", soundVolume);
    Field(out, "speechVolume", speechVolume);
    Field(out, "soundOn", soundOn);
    Field(out, "musicOn", musicOn);
    Field(out, "lowQuality", lowQuality);
    Field(out, "gamesPlayed", gamesPlayed);
    Field(out, "newHighScore", newHighScore);
    Field(out, "resultRank", resultRank);
    Field(out, "savedGameBytes", SavedGameBytes());
    Table(out, "highScores", highScores);
    Table(out, "challengeProgress", challengeProgress);
    out += "\"kinds\":[";
    const bool board = creatures.ArraySize(0) >= 36;
    for (int i = 0; i < 36; ++i) Append(out, i ? ",%g" : "%g", board ? creatures(i).kind : 0.0f);
    out += "],\"states\":[";
    for (int i = 0; i < 36; ++i) Append(out, i ? ",%g" : "%g", board ? creatures(i).state : 0.0f);
    out += "]}";
    return out.c_str();
}
