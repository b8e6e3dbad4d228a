// Builds the state report of a scripted session from the game globals.
#include "tools/session/session_report.h"

#include <cstdarg>
#include <cstdio>

#include "game/state/globals.h"

unsigned long long Fingerprint(const void* data, size_t size, unsigned long long seed) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    unsigned long long h = seed;
    for (size_t i = 0; i < size; ++i) {
        h ^= bytes[i];
        h *= 1099511628211ULL;
    }
    return h;
}

namespace {
void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& out, const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    out += buffer;
}
}  // namespace

std::string SessionReport(long long tick) {
    std::string out;
    Append(out, "tick %lld\n", tick);
    Append(out, "  phase %g screen %g mode %g boardPhase %g busy %g lock %g runState %g\n", phase, screen,
           gameMode, boardPhase, busyCount, boardLock, runState);
    Append(out, "  score %g pending %g level %g progress %g target %g swaps %g clock %g\n", score, pendingScore,
           level, levelProgress, levelTarget, swaps, gameClock);
    Append(out, "  moves %g flips %g chain %g connected %g selected %g\n", movesMade, flipsMade, chainLength,
           creaturesConnected, selectedCell);
    Append(out, "  touch %g %g down %g touchPhase %g\n", touchX, touchY, touchDown, touchPhase);
    if (gameMode == 5) {
        Append(out, "  tutorial step %g panel %g alpha %g y %g eggs %g power %g bonus %g\n", tutorialStep,
               tutorialPanel, tutorialAlpha, tutorialY, eggsHatched, powerType, bonusTicks);
    }
    unsigned long long board = 1469598103934665603ULL;
    if (creatures.ArraySize(0) >= 36) {
        std::string kinds, states;
        for (int row = 0; row < 6; ++row) {
            kinds += "  kinds ";
            states += "  states";
            for (int column = 0; column < 6; ++column) {
                const Creature& c = creatures(column + row * 6);
                Append(kinds, "%3g", c.kind);
                Append(states, "%3g", c.state);
                board = Fingerprint(&c, sizeof c, board);
            }
            kinds += "\n";
            states += "\n";
        }
        out += kinds;
        out += states;
    }
    std::string random = GameRandomState();
    Append(out, "  board %016llx random %016llx\n", board, Fingerprint(random.data(), random.size()));
    return out;
}
