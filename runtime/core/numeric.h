// Numeric operations for game code: the runtime's ISAAC random integers, modulo, trigonometry in degrees.
#pragma once

#include <cstdint>

// One ISAAC generator state (256-word results and memory, accumulators, result counter).
struct IsaacState {
    uint32_t results[256];
    uint32_t memory[256];
    uint32_t a, b, c;
    uint32_t counter;
};
// Fills 256 new results.
void IsaacGenerate(IsaacState& state);
// Clears the state and runs the initialisation with the seed added into the first mixing step,
// then one generation pass.
void IsaacSeed(IsaacState& state, uint32_t seed);
IsaacState& RuntimeRandomState();

void SeedRandom(uint32_t seed);
// 0 to n inclusive; 0 without advancing when n < 1.
int RandomInt(int n);
// Remainder of truncating division; 0 when b is 0 or -1.
int IntMod(int a, int b);
// fmod in double precision; 0 when y is 0.
float FloatMod(float x, float y);
float SinDeg(float degrees);
float CosDeg(float degrees);
float TanDeg(float degrees);
