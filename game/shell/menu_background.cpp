// The water background: fifteen horizontal bands whose texture windows sway with the title
// wave, so the water seems to ripple; then the rising bubbles, which drift along the same wave.
#include "game/shell/menu_background.h"

#include <cmath>

#include "game/draw/draw.h"
#include "game/state/globals.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/polygon_batch.h"

namespace {

const float WHITE = 16777215.0f;
const int BANDS = 15;
const float BAND_HEIGHT = 32;
const float DESIGN_WIDTH = 320;
const float SCROLL_PERIOD = 480;
// The picture sits 5 texels in from the atlas corner, so a band may sway 5 texels either way.
const float MARGIN = 5;
const int STATIC_BACKGROUND = 16;

void AddScaledVertex(float x, float y, float u, float v, float colour) {
    if (scalingOn != 0) {
        x *= scaleX;
        y *= scaleY;
    }
    AddPolygonVertex(x, y, u, v, colour);
}
}  // namespace

void DrawBackgroundLayer() {
    // As the first layer of a frame the water covers the whole design area with opaque texels,
    // so nothing beneath it can show: it is drawn without blending, its dimming given by the
    // vertex colour instead of by alpha over black.
    const bool opaque = LastBatchVertices().empty() && brightness < 0;
    SetBlendMode(brightness);
    if (lowQuality != 0) {
        DrawAtlasItem(STATIC_BACKGROUND, 0, 0);
        if (opaque && brightness == -1) MarkOpaqueVertices();
        return;
    }
    const float colour = opaque ? DimmedWhite(-brightness) : WHITE;
    if (opaque) SetBlendMode(-1);
    // Long stretches of the static picture leave the scroll far below zero; the wave repeats
    // every 120 entries, so folding it back changes nothing on screen.
    backdropScroll = std::fmod(backdropScroll, SCROLL_PERIOD);
    if (backdropScroll < 0) backdropScroll += SCROLL_PERIOD;
    if (!(backdropScroll >= 0 && backdropScroll < SCROLL_PERIOD)) backdropScroll = 0;  // a damaged value
    for (int k = 0; k < BANDS; ++k) {
        float y0 = BAND_HEIGHT * k, y1 = y0 + BAND_HEIGHT;
        float wTop = titleWave(static_cast<int>(backdropScroll));
        float wBottom = titleWave(static_cast<int>(backdropScroll + BAND_HEIGHT));
        float vTop = y0 + MARGIN - wTop, vBottom = y1 + MARGIN - wBottom;
        float uTopLeft = wTop + MARGIN, uBottomLeft = wBottom + MARGIN;
        float uTopRight = wTop + DESIGN_WIDTH + MARGIN, uBottomRight = wBottom + DESIGN_WIDTH + MARGIN;
        AddScaledVertex(0, y0, uTopLeft, vTop, colour);
        AddScaledVertex(0, y1, uBottomLeft, vBottom, colour);
        AddScaledVertex(DESIGN_WIDTH, y1, uBottomRight, vBottom, colour);
        AddScaledVertex(0, y0, uTopLeft, vTop, colour);
        AddScaledVertex(DESIGN_WIDTH, y0, uTopRight, vTop, colour);
        AddScaledVertex(DESIGN_WIDTH, y1, uBottomRight, vBottom, colour);
        backdropScroll += BAND_HEIGHT;
        if (backdropScroll >= SCROLL_PERIOD) backdropScroll -= SCROLL_PERIOD;
    }
    if (opaque) {
        MarkOpaqueVertices();
        SetBlendMode(brightness);   // what the layers above expect to find
    }
}

void DrawBubbleLayer() {
    if (lowQuality != 0) return;
    SetBlendMode(-1);
    for (int i = 0; i < BUBBLE_COUNT; ++i) {
        int item = i < 10 ? 57 : i < 15 ? 58 : 59;  // small, middle, large
        DrawAtlasItem(item, bubbleX(i) + titleWave(static_cast<int>(bubblePhase(i))), bubbleY(i));
    }
}
