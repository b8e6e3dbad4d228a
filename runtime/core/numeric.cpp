// Random integers from the runtime's generator, modulo for integers and floats, degree trigonometry.
#include "runtime/core/numeric.h"

#include <cmath>

namespace {
IsaacState randomState;
const double DEGREES_TO_RADIANS = 0.017453292519943295;
}  // namespace

IsaacState& RuntimeRandomState() { return randomState; }

void SeedRandom(uint32_t seed) { IsaacSeed(randomState, seed); }

int RandomInt(int n) {
    if (n < 1) return 0;
    IsaacGenerate(randomState);
    return static_cast<int>(randomState.results[0] % (static_cast<uint32_t>(n) + 1u));
}

int IntMod(int a, int b) {
    if (b == 0 || b == -1) return 0;
    return a % b;
}

float FloatMod(float x, float y) {
    if (y == 0.0f) return 0.0f;
    return static_cast<float>(std::fmod(static_cast<double>(x), static_cast<double>(y)));
}

float SinDeg(float degrees) { return static_cast<float>(std::sin(degrees * DEGREES_TO_RADIANS)); }
float CosDeg(float degrees) { return static_cast<float>(std::cos(degrees * DEGREES_TO_RADIANS)); }
float TanDeg(float degrees) { return static_cast<float>(std::tan(degrees * DEGREES_TO_RADIANS)); }
