// A minimal game side for the process tests: its own start-up hook, a plain frame loop,
// and the three lifecycle callbacks, each announcing itself on standard output.
// It reports each new press of the pointer; SQUIBLY_TEST_FAULT=array makes it read outside an
// array after a few frames, SQUIBLY_TEST_FAULT=return makes its main routine return.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/core/entry.h"
#include "runtime/core/karray.h"
#include "runtime/core/lifecycle.h"
#include "runtime/input/input_state.h"

namespace {
void Say(const char* line) {
    printf("%s\n", line);
    fflush(stdout);
}
void OnPause() { Say("test game: KRT_ON_PAUSE"); }
void OnQuit() { Say("test game: KRT_ON_QUIT"); }
void OnResume() { Say("test game: KRT_ON_RESUME"); }
}  // namespace

const CallbackRow CALLBACK_TABLE[] = {
    {OnPause, "KRT_ON_PAUSE"}, {OnQuit, "KRT_ON_QUIT"}, {OnResume, "KRT_ON_RESUME"}, {nullptr, nullptr}};

void GameStartupHook() {
    ProjectSettings& s = Settings();
    s.screenWidth = 768;
    s.screenHeight = 1024;
    s.displayMode = 0;
    s.debugLines = 0;
    s.framesPerSecond = 60;
    s.grabInput = 1;
    s.windowMode = 1;
    KString name("Squibly");
    ApplicationName().Swap(name);
}

void GameMain() {
    EnablePause(1);
    SetEscapeQuits(0);
    const char* fault = getenv("SQUIBLY_TEST_FAULT");
    Say("test game: running");
    float wasDown = 0;
    for (long frame = 1;; ++frame) {
        ShowScreen();
        float x, y, b1, b2;
        MouseState(x, y, b1, b2);
        if (b1 != 0 && wasDown == 0) {
            printf("test game: press at %d,%d\n", static_cast<int>(x), static_cast<int>(y));
            fflush(stdout);
        }
        wasDown = b1;
        if (frame == 30) Say("test game: 30 frames");
        if (frame == 10 && fault && strcmp(fault, "array") == 0) {
            KArray<float> table;
            table.DimArray(10, 5);
            table(12, 0) = 1;
        }
        if (frame == 10 && fault && strcmp(fault, "return") == 0) return;
    }
}
