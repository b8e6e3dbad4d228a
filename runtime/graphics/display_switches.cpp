// The game's drawing switches: blend mode and global alpha, alpha test, filtering,
// frame-rate limit, screen size and viewport. They last until the frame ends.
#include <GLES/gl.h>

#include <cmath>

#include "runtime/graphics/graphics_device.h"
#include "runtime/platform/platform.h"

void SetBlendMode(float mode) {
    GraphicsDevice* device = graphicsDevice;
    if (!device) return;
    const bool gl = Platform::HasGL();
    if (mode == 0.0f || std::isnan(mode)) {
        device->GlStateCache.Disable(GL_BLEND);
        device->blendOn = false;
        device->globalAlpha = 1.0f;
    } else {
        device->GlStateCache.Enable(GL_BLEND);
        device->blendOn = true;
        if (gl) glBlendFunc(GL_SRC_ALPHA, mode > 0.0f ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        device->globalAlpha = std::fmin(std::fabs(mode), 1.0f);
    }
    device->ApplyCurrentColour();
}

void SetAlphaTest(float threshold) {
    GraphicsDevice* device = graphicsDevice;
    if (!device || std::isnan(threshold)) return;
    if (threshold < 1.0f) {
        device->GlStateCache.Enable(GL_ALPHA_TEST);
        if (Platform::HasGL()) glAlphaFunc(GL_GREATER, threshold);
        device->alphaTestRef = threshold;
    } else {
        device->GlStateCache.Disable(GL_ALPHA_TEST);
    }
}

void SetTextureFiltering(float on) {
    if (graphicsDevice) graphicsDevice->smoothFiltering = on != 0.0f ? 1 : 0;
}

void SetFrameRateLimit(float fps) {
    if (graphicsDevice) graphicsDevice->frameMillis = FrameMillisFor(fps);
}

void GetScreenSize(float& width, float& height) {
    int w = 0, h = 0;
    if (graphicsDevice) graphicsDevice->TargetSize(w, h);
    width = static_cast<float>(w);
    height = static_cast<float>(h);
}

void SetViewport(float x, float y, float width, float height) {
    if (graphicsDevice) {
        graphicsDevice->SetViewport(TruncToInt(x), TruncToInt(y), TruncToInt(width), TruncToInt(height));
    }
}
