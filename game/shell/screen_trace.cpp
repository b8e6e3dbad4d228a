// SQUIBLY_TRACE_SCREENS=1 prints a line whenever the screen changes, so scripts driving the
// real game can tell that a click was taken.
#include <cstdio>
#include <cstdlib>

#include "game/shell/main_routine.h"
#include "game/state/globals.h"

void TraceScreenChange() {
    static const bool tracing = [] {
        const char* v = std::getenv("SQUIBLY_TRACE_SCREENS");
        return v && *v && *v != '0';
    }();
    static float shown = -1;
    if (!tracing || screen == shown) return;
    shown = screen;
    std::printf("screen %g phase %g\n", screen, phase);
    std::fflush(stdout);
}
