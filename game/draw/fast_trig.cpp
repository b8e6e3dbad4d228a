// Sine and cosine from a quadratic approximation over 65536 steps per turn: cheap enough to
// turn every rotated picture of a frame, and good to about a thousandth.
#include "game/draw/draw.h"

#include <cmath>
#include <cstdint>

float FastSin(float degrees) {
    float steps = degrees * 182.04167f;
    // Only the low 16 bits matter; a wide integer keeps large angles defined (and NaN reads as 0).
    int64_t whole = std::fabs(steps) < 9.0e18f ? static_cast<int64_t>(steps) : 0;
    int32_t i = static_cast<int32_t>(whole & 0xFFFF);
    if (i < 32768) {
        float t = static_cast<float>(i);
        float v = t * (0.00012206791f - 3.7255155e-9f * t);
        return (0.775f + 0.225f * v) * v;
    }
    float t = static_cast<float>(32768 - i);  // zero or negative: the lower half-turn
    float v = t * (0.00012206791f + 3.7255155e-9f * t);
    return (0.775f - 0.225f * v) * v;
}

float FastCos(float degrees) {
    return FastSin(degrees + 90);
}
