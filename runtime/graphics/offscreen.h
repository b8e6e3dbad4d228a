// Offscreen surfaces: drawing redirected into a sprite through OES framebuffer objects.
#pragma once

#include <cstdint>

const int OFFSCREEN_SURFACES = 32;

struct OffscreenSurface {
    uint32_t framebuffer = 0;
    uint32_t depthBuffer = 0;
    int previousBinding = -1;   // framebuffer bound before this one; -1 while not bound
    int surfaceWidth = 0, surfaceHeight = 0;
    int surfaceSprite = -1;
};

extern bool framebuffersSupported;

// Loads the framebuffer entry points; false when the extension is missing. Called by SetScreen.
bool InitFramebuffers();
void CreateOffscreenSurface(int surface, int spriteId, int width, int height);
void SetRenderTarget(int surface);
void EndRenderTarget();
// Ends any target and deletes every surface's framebuffer (device destruction).
void ReleaseOffscreenSurfaces();
const OffscreenSurface* GetOffscreenSurface(int surface);
