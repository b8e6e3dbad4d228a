// The graphics device: opening the display, the orientation decision, the 2D state,
// the viewport and projection, and presenting a frame with its event pump and pacing.
#include "runtime/graphics/graphics_device.h"

#include <GLES/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "runtime/core/lifecycle.h"
#include "runtime/graphics/draw_stats.h"
#include "runtime/graphics/offscreen.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/platform.h"

GraphicsDevice* graphicsDevice = nullptr;

namespace {
// Events handled in a row before the pacing check gets its turn.
const int EVENTS_PER_PACING_CHECK = 256;
}  // namespace

GraphicsDevice::GraphicsDevice()
    : sprites(SPRITE_SLOTS), spritePixelCopies(SPRITE_SLOTS, nullptr) {}

GraphicsDevice::~GraphicsDevice() {
    // Sprite and surface code reach the device through the global pointer.
    GraphicsDevice* previous = graphicsDevice;
    graphicsDevice = this;
    ReleaseOffscreenSurfaces();
    for (int id = 0; id < SPRITE_SLOTS - 1; ++id) {
        if (sprites[id].texture != 0 || sprites[id].texture2 != 0 || spritePixelCopies[id] != nullptr) {
            DeleteSprite(id);
        }
    }
    for (uint8_t*& copy : spritePixelCopies) {
        delete[] copy;
        copy = nullptr;
    }
    graphicsDevice = previous == this ? nullptr : previous;
}

void GraphicsDevice::SetWindowMode(int mode) { windowMode = mode; }

void GraphicsDevice::VirtualScreenSize(int& w, int& h) const {
    if (Orientation == 1 || Orientation == 3) {
        w = deviceHeight;
        h = deviceWidth;
    } else {
        w = deviceWidth;
        h = deviceHeight;
    }
}

void GraphicsDevice::TargetSize(int& w, int& h) const {
    if (renderTarget >= 0 && renderTarget < OFFSCREEN_SURFACES) {
        const OffscreenSurface* surface = GetOffscreenSurface(renderTarget);
        if (surface && surface->surfaceSprite >= 0) {
            const SpriteRecord& s = sprites[surface->surfaceSprite];
            w = s.imageWidth;
            h = s.imageHeight;
            return;
        }
    }
    VirtualScreenSize(w, h);
}

void GraphicsDevice::ScreenToDevice(int& x, int& y) const {
    ScreenToDevicePoint(Orientation, deviceWidth, deviceHeight, x, y);
}

void GraphicsDevice::DeviceToScreen(int& x, int& y) const {
    DeviceToScreenPoint(Orientation, deviceWidth, deviceHeight, x, y);
}

SpriteRecord& GraphicsDevice::Sprite(int id) { return sprites[id]; }

void GraphicsDevice::ApplyCurrentColour() {
    if (Platform::HasGL()) glColor4f(1.0f, 1.0f, 1.0f, globalAlpha);
}

void GraphicsDevice::ClearBuffers(bool colour, bool depth) {
    if (!Platform::HasGL() || !(colour || depth)) return;
    glClear((colour ? GL_COLOR_BUFFER_BIT : 0) | (depth ? GL_DEPTH_BUFFER_BIT : 0));
}

int GraphicsDevice::SetScreen(intptr_t, int width, int height, int, int fps, int) {
    frameMillis = FrameMillisFor(static_cast<float>(fps));

    std::puts("SDL_init video");
    const Platform::DisplayInfo info = Platform::DesktopInfo();
    deskWidth = info.width;
    deskHeight = info.height;
    deviceLandscape = deskWidth > deskHeight ? 1 : 0;
    std::printf("SDL_GetVideoInfo = %dx%d @ %d bpp\n", deskWidth, deskHeight, info.bitsPerPixel);

    const int wantLandscape = width > height ? 1 : 0;
    std::printf("   want landscape %d,%d: %d\n   device landscape: %d\n", width, height, wantLandscape,
                deviceLandscape);
    Orientation = deviceLandscape != wantLandscape ? 1 : 0;

    std::printf("Setting video mode: %dx%dx%d fl=%x\n", 0, 0, 0, 2);
    if (!Platform::OpenWindow()) {
        std::printf("SetVideoMode failed: %s\n", Platform::LastError());
    }
    std::printf("SDL_SetVideoMode seems to be %d\n", 1);

    if (Orientation == 1 || Orientation == 3) {
        std::swap(deskWidth, deskHeight);
        std::printf("swap deskx, desky to %d,%d - landscape mode %d\n", deskWidth, deskHeight,
                    deviceLandscape);
    }
    std::printf("Voza::SetScreen( %d,%d)\n", deskWidth, deskHeight);

    const int larger = std::max(deskWidth, deskHeight);
    const int smaller = std::min(deskWidth, deskHeight);
    deviceWidth = deviceLandscape ? larger : smaller;
    deviceHeight = deviceLandscape ? smaller : larger;

    Orientation = deviceLandscape != wantLandscape ? (deviceLandscape ? 3 : 1) : 0;

    Platform::Sleep(200);
    clearEachFrame = 1;
    if (Platform::HasGL()) glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    ClearBuffers(true, false);
    // A quit handled by these first frames must not be lost: the runtime ends the program on it.
    for (int i = 0; i < 2; ++i) {
        clearDepthOnce = 1;
        if (!PresentFrame()) quitDuringSetUp = true;
    }
    Reset2DState();

    std::puts("get accurate timer - 1st call");
    nextFrameTime = ElapsedMs();
    std::puts("flip - 1st call");
    if (!PresentFrame()) quitDuringSetUp = true;

    const char* extensions = nullptr;
    if (Platform::HasGL()) extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions && (std::strstr(extensions, "_texture_format_BGRA8888") || std::strstr(extensions, "GL_EXT_bgra"))) {
        bgraSupported = 1;
    }
    bgraSupported = 1;
    std::puts("BGRA ext supported");

    GLint limit = 0;
    if (Platform::HasGL()) glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    maxTextureSize = limit;
    std::printf("Texture size limit: %d\n", static_cast<int>(limit));

    std::puts("init fbo");
    InitFramebuffers();
    std::puts("2D VP");
    Reset2DState();
    std::puts("DIVE init [OK]");
    return 1;
}

void GraphicsDevice::Reset2DState() {
    SetViewport(0, 0, 0, 0);
    GlStateCache.Invalidate();
    const bool gl = Platform::HasGL();

    GlStateCache.Disable(GL_DEPTH_TEST);
    GlStateCache.Disable(GL_CULL_FACE);
    if (gl) glFrontFace(GL_CCW);
    GlStateCache.Enable(GL_ALPHA_TEST);
    if (gl) glAlphaFunc(GL_GREATER, 0.05f);
    alphaTestRef = 0.05f;
    if (gl) glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    GlStateCache.Disable(GL_FOG);
    GlStateCache.Disable(GL_LINE_SMOOTH);
    GlStateCache.Disable(GL_POINT_SMOOTH);
    GlStateCache.Disable(GL_STENCIL_TEST);
    GlStateCache.Disable(GL_NORMALIZE);
    GlStateCache.Disable(GL_LIGHTING);
    if (gl) glShadeModel(GL_FLAT);
    GlStateCache.Disable(GL_COLOR_MATERIAL);
    GlStateCache.Disable(GL_DITHER);
    if (gl) glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);

    smoothFiltering = 1;
    BindSprite(-1);

    GlStateCache.Disable(GL_BLEND);
    blendOn = false;
    globalAlpha = 1.0f;
    if (gl) glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void GraphicsDevice::BindSprite(int id) {
    const bool gl = Platform::HasGL();
    if (id < 0) {
        if (gl) glDisable(GL_TEXTURE_2D);
        GlStateCache.Enable(GL_COLOR_MATERIAL);
        return;
    }
    const GLuint name = id < SPRITE_SLOTS ? sprites[id].texture : 0;
    if (!gl) return;
    glBindTexture(GL_TEXTURE_2D, name);
    glEnable(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

void GraphicsDevice::SetViewport(int x, int y, int w, int h) {
    const OffscreenSurface* surface =
        renderTarget >= 0 && renderTarget < OFFSCREEN_SURFACES ? GetOffscreenSurface(renderTarget) : nullptr;
    const bool toSurface = surface && surface->surfaceSprite >= 0 && surface->previousBinding >= 0;
    if (w <= 0 || h <= 0) {
        x = 0;
        y = 0;
        TargetSize(w, h);
    }
    const bool gl = Platform::HasGL();
    if (toSurface) {
        const int imageHeight = sprites[surface->surfaceSprite].imageHeight;
        if (gl) {
            glViewport(x, imageHeight - h - y, w, h);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
        }
    } else {
        float rotation[16];
        RotationMatrix(Orientation, rotation);
        const DeviceRect r = ScreenRectToDevice(Orientation, deviceWidth, deviceHeight, x, y, w, h);
        if (gl) {
            // The device display may be shown scaled inside a larger window (fullscreen).
            const Platform::Presentation shown = Platform::CurrentPresentation();
            const Platform::PixelRect v = Platform::DisplayRectToWindow(shown, r.x, r.y, r.width, r.height);
            glMatrixMode(GL_PROJECTION);
            glLoadMatrixf(rotation);
            glViewport(v.x, shown.windowHeight - v.height - v.y, v.width, v.height);
        }
    }
    if (gl) {
        glOrthof(0.0f, static_cast<float>(w), static_cast<float>(h), 0.0f, -1.0f, 1.0f);
    }
    viewX = x;
    viewY = y;
    viewWidth = w;
    viewHeight = h;
    if (gl) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
}

bool GraphicsDevice::ToggleFullscreen() {
    const bool on = Platform::SetFullscreen(!Platform::Fullscreen());
    const Platform::Presentation shown = Platform::CurrentPresentation();
    std::printf("%s %dx%d\n", on ? "fullscreen" : "windowed", shown.windowWidth, shown.windowHeight);
    std::fflush(stdout);
    // The window changed size: what lies beside the picture starts black, and this frame's
    // viewport follows the new placement.
    ClearBuffers(true, true);
    SetViewport(viewX, viewY, viewWidth, viewHeight);
    return on;
}

int GraphicsDevice::PresentFrame() {
    if (renderTarget >= 0) EndRenderTarget();
    Platform::SwapBuffers();
    EndFrameDrawStats();

    if (clearEachFrame) {
        ClearBuffers(true, clearDepthOnce != 0);
    } else if (clearDepthOnce) {
        ClearBuffers(false, true);
    }
    clearDepthOnce = 0;

    int inRow = 0;
    for (;;) {
        Platform::Event event;
        if (inRow < EVENTS_PER_PACING_CHECK && Platform::PollEvent(&event)) {
            ++inRow;
            if (HandleEvent(event) == 0) return 0;
            continue;
        }
        inRow = 0;
        const float remaining = nextFrameTime - ElapsedMs();
        if (remaining > 1.0f) {
            // Until the last millisecond before the frame's slot the wait blocks, and any event
            // that arrives meanwhile wakes it to be handled at once.
            Platform::WaitEvent(remaining - 1.0f);
            continue;
        }
        const float now = ElapsedMs();
        if (frameMillis > 0.0f) {
            nextFrameTime += frameMillis;
            if (nextFrameTime < now) nextFrameTime += frameMillis;
            if (nextFrameTime < now) nextFrameTime = now + frameMillis;
        }
        return 1;
    }
}
