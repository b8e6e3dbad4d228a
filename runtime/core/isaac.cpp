// The 32-bit ISAAC generator of Jenkins: generation pass and seeded initialisation.
#include "runtime/core/numeric.h"

#include <cstring>

namespace {
inline void Mix(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e, uint32_t& f, uint32_t& g,
                uint32_t& h) {
    a ^= b << 11; d += a; b += c;
    b ^= c >> 2;  e += b; c += d;
    c ^= d << 8;  f += c; d += e;
    d ^= e >> 16; g += d; e += f;
    e ^= f << 10; h += e; f += g;
    f ^= g >> 4;  a += f; g += h;
    g ^= h << 8;  b += g; h += a;
    h ^= a >> 9;  c += h; a += b;
}
}  // namespace

void IsaacGenerate(IsaacState& s) {
    uint32_t* m = s.memory;
    s.c += 1;
    s.b += s.c;
    for (int i = 0; i < 256; ++i) {
        uint32_t x = m[i];
        switch (i & 3) {
            case 0: s.a ^= s.a << 13; break;
            case 1: s.a ^= s.a >> 6; break;
            case 2: s.a ^= s.a << 2; break;
            case 3: s.a ^= s.a >> 16; break;
        }
        s.a = m[(i + 128) & 255] + s.a;
        uint32_t y = m[(x >> 2) & 255] + s.a + s.b;
        m[i] = y;
        s.b = m[(y >> 10) & 255] + x;
        s.results[i] = s.b;
    }
}

void IsaacSeed(IsaacState& s, uint32_t seed) {
    memset(&s, 0, sizeof s);
    // The seed takes the place of the first result word of the classic initialisation.
    s.results[0] = seed;
    uint32_t a, b, c, d, e, f, g, h;
    a = b = c = d = e = f = g = h = 0x9e3779b9u;
    for (int i = 0; i < 4; ++i) Mix(a, b, c, d, e, f, g, h);
    for (int pass = 0; pass < 2; ++pass) {
        const uint32_t* source = pass == 0 ? s.results : s.memory;
        for (int i = 0; i < 256; i += 8) {
            a += source[i]; b += source[i + 1]; c += source[i + 2]; d += source[i + 3];
            e += source[i + 4]; f += source[i + 5]; g += source[i + 6]; h += source[i + 7];
            Mix(a, b, c, d, e, f, g, h);
            s.memory[i] = a; s.memory[i + 1] = b; s.memory[i + 2] = c; s.memory[i + 3] = d;
            s.memory[i + 4] = e; s.memory[i + 5] = f; s.memory[i + 6] = g; s.memory[i + 7] = h;
        }
    }
    IsaacGenerate(s);
    s.counter = 256;
}
