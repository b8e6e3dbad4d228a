// The game's own MT19937 generator, its seeding and state text, and value wrapping.
#include <random>
#include <sstream>

#include "game/state/globals.h"

namespace {
// Default-constructed, the engine holds the standard seed 5489, so an unseeded game draws
// the standard sequence.
std::mt19937& Engine() {
    static std::mt19937 engine;
    return engine;
}
}  // namespace

void SeedGameRandom(float seed) {
    // Seeds arrive as whole numbers; negative ones keep their 32-bit pattern.
    Engine().seed(static_cast<uint32_t>(static_cast<int64_t>(seed)));
}

float GameRandom(float n) {
    if (!(n >= 1)) return 0;   // also rejects NaN without advancing
    uint64_t range = static_cast<uint64_t>(n) + 1;
    uint32_t v = Engine()();
    return static_cast<float>(v % range);
}

float WrapValue(float v, float lo, float hi) {
    float p = hi - lo;
    if (v >= lo && v < hi) return v;
    if (v >= hi && v < hi + p) return v - p;
    if (v >= lo - p && v < lo) return v + p;
    int64_t period = static_cast<int64_t>(p);
    if (period <= 0) return lo;
    int64_t r = static_cast<int64_t>(v - lo) % period;
    if (r < 0) r += period;   // far below lo still lands inside the range
    return lo + static_cast<float>(r);
}

std::string GameRandomState() {
    std::ostringstream out;
    out << Engine();
    return out.str();
}

bool SetGameRandomState(const std::string& state) {
    std::istringstream in(state);
    std::mt19937 candidate;
    in >> candidate;
    if (in.fail()) return false;
    Engine() = candidate;
    return true;
}
