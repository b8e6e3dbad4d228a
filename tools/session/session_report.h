// The state report of a scripted session: counters, phases, the board's kinds and states, and
// fingerprints of the whole board and of the game's random generator.
#pragma once

#include <string>

// A text block describing the game state after `tick` logic ticks.
std::string SessionReport(long long tick);
// FNV-1a over bytes; used for the fingerprints.
unsigned long long Fingerprint(const void* data, size_t size, unsigned long long seed = 1469598103934665603ULL);
