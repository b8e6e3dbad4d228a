// The vertex colour that stands in for a fade over black on layers drawn without blending.
#include "game/draw/draw.h"

float DimmedWhite(float level) {
    int g = static_cast<int>(level * 255);
    if (g < 0) g = 0;
    if (g > 255) g = 255;
    return static_cast<float>(g * 65793);   // g + 256 g + 65536 g
}
