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
    // One library writes the position among the words after them; another (the browser
    // build's) writes the words starting at the current one and no position, which is then 0.
    // Without it the saved state would end in a word read as a position, and never resume.
    std::istringstream words(out.str());
    size_t count = 0;
    for (unsigned long long value = 0; words >> value;) ++count;
    if (count == std::mt19937::state_size) out << " 0";
    return out.str();
}

bool SetGameRandomState(const std::string& state) {
    // The standard's text form: the 624 state words, then the position within them. Anything
    // else (a word beyond 32 bits, a position past the words) is refused before the engine
    // sees it, as the engine would index past its state.
    std::istringstream in(state);
    unsigned long long value = 0;
    for (size_t i = 0; i <= std::mt19937::state_size; ++i) {
        if (!(in >> value)) return false;
        if (value > (i < std::mt19937::state_size ? 0xFFFFFFFFull : std::mt19937::state_size)) return false;
    }
    std::string rest;
    if (in >> rest) return false;
    std::istringstream words(state);
    std::mt19937 candidate;
    words >> candidate;
    if (words.fail()) return false;
    // A state whose next 624 outputs are all zero stays zero for ever: every draw would return
    // 0 and a loop waiting for another value would never end.
    std::mt19937 probe = candidate;
    bool live = false;
    for (size_t i = 0; i < std::mt19937::state_size && !live; ++i) live = probe() != 0;
    if (!live) return false;
    Engine() = candidate;
    return true;
}
