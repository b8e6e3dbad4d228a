// SQUIBLY_TRACE_SCREENS=1 prints a line whenever the screen changes, and in the tutorial whenever
// its step or panel state changes, and when the player first acts (only then is a saved game
// resumed), so scripts driving the real game can tell that a click was taken.
#include <cstdio>
#include <cstdlib>

#include "game/shell/main_routine.h"
#include "game/state/globals.h"

void TraceScreenChange() {
    static const bool tracing = [] {
        const char* v = std::getenv("SQUIBLY_TRACE_SCREENS");
        return v && *v && *v != '0';
    }();
    static float shown = -1, shownStep = -1, shownPanel = -2, shownActed = 0;
    if (!tracing) return;
    if (screen != shown) {
        shown = screen;
        std::printf("screen %g phase %g\n", screen, phase);
    }
    if (userActed != shownActed) {
        shownActed = userActed;
        std::printf("player acted %g\n", userActed);
    }
    if (gameMode == 5 && (tutorialStep != shownStep || tutorialPanel != shownPanel)) {
        shownStep = tutorialStep;
        shownPanel = tutorialPanel;
        std::printf("tutorial step %g panel %g\n", tutorialStep, tutorialPanel);
    }
    std::fflush(stdout);
}
