// Offscreen surfaces: a sprite's texture as the colour buffer of an OES framebuffer object,
// so drawing can be redirected into a picture and the picture drawn later as a sprite.
#include "runtime/graphics/offscreen.h"

#include <GLES/gl.h>
#include <GLES/glext.h>

#include <cstdio>

#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/platform.h"

bool framebuffersSupported = false;

namespace {
OffscreenSurface surfaces[OFFSCREEN_SURFACES];

PFNGLGENFRAMEBUFFERSOESPROC genFramebuffers = nullptr;
PFNGLBINDFRAMEBUFFEROESPROC bindFramebuffer = nullptr;
PFNGLFRAMEBUFFERTEXTURE2DOESPROC framebufferTexture2D = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSOESPROC checkFramebufferStatus = nullptr;
PFNGLDELETEFRAMEBUFFERSOESPROC deleteFramebuffers = nullptr;
PFNGLGENRENDERBUFFERSOESPROC genRenderbuffers = nullptr;
PFNGLBINDRENDERBUFFEROESPROC bindRenderbuffer = nullptr;
PFNGLRENDERBUFFERSTORAGEOESPROC renderbufferStorage = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFEROESPROC framebufferRenderbuffer = nullptr;
PFNGLDELETERENDERBUFFERSOESPROC deleteRenderbuffers = nullptr;

// Framebuffer names on the headless twin, so the surface bookkeeping runs the same there.
uint32_t nextHeadlessName = 1;
uint32_t headlessBinding = 0;

template <class F>
bool Load(F& fn, const char* name) {
    fn = reinterpret_cast<F>(Platform::GetGLProc(name));
    return fn != nullptr;
}

bool HaveGL() { return Platform::HasGL() && genFramebuffers != nullptr; }

int CurrentBinding() {
    if (!HaveGL()) return static_cast<int>(headlessBinding);
    GLint binding = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &binding);
    return binding;
}

void Bind(uint32_t framebuffer) {
    if (HaveGL()) {
        bindFramebuffer(GL_FRAMEBUFFER_OES, framebuffer);
    } else {
        headlessBinding = framebuffer;
    }
}

uint32_t NewName(bool renderbuffer) {
    if (Platform::HasGL() && !genFramebuffers) return 0;  // the extension is missing
    if (!HaveGL()) return nextHeadlessName++;
    GLuint name = 0;
    if (renderbuffer) {
        genRenderbuffers(1, &name);
    } else {
        genFramebuffers(1, &name);
    }
    return name;
}

void DeleteNames(OffscreenSurface& s) {
    if (HaveGL()) {
        if (s.framebuffer) deleteFramebuffers(1, &s.framebuffer);
        if (s.depthBuffer) deleteRenderbuffers(1, &s.depthBuffer);
    }
    s = OffscreenSurface();
}

bool BuildFramebuffer(OffscreenSurface& s, uint32_t texture, int width, int height, bool withDepth) {
    if (s.previousBinding >= 0) Bind(static_cast<uint32_t>(s.previousBinding));
    DeleteNames(s);
    if (width < 1 || height < 1) {
        std::printf("can't create FBO for neg dims %dx%d\n", width, height);
        return false;
    }
    s.framebuffer = NewName(false);
    if (s.framebuffer == 0) {
        std::puts("glGenFramebuffersExt failed");
        return false;
    }
    s.previousBinding = CurrentBinding();
    Bind(s.framebuffer);
    const bool gl = HaveGL();
    if (withDepth) {
        s.depthBuffer = NewName(true);
        if (s.depthBuffer == 0) {
            std::puts("glGenRenderbuffersExt failed");
            Bind(static_cast<uint32_t>(s.previousBinding));
            DeleteNames(s);
            return false;
        }
        if (gl) {
            for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
            }
            bindRenderbuffer(GL_RENDERBUFFER_OES, s.depthBuffer);
            renderbufferStorage(GL_RENDERBUFFER_OES, GL_DEPTH_COMPONENT24_OES, width, height);
            if (glGetError() == GL_INVALID_ENUM) {
                std::puts("depth 24 failed, try 32");
                renderbufferStorage(GL_RENDERBUFFER_OES, GL_DEPTH_COMPONENT32_OES, width, height);
                if (glGetError() == GL_INVALID_ENUM) {
                    std::puts("depth 32 failed, try 16");
                    renderbufferStorage(GL_RENDERBUFFER_OES, GL_DEPTH_COMPONENT16_OES, width, height);
                }
            }
            framebufferRenderbuffer(GL_FRAMEBUFFER_OES, GL_DEPTH_ATTACHMENT_OES, GL_RENDERBUFFER_OES,
                                    s.depthBuffer);
        }
    }
    GLenum status = GL_FRAMEBUFFER_COMPLETE_OES;
    if (gl) {
        framebufferTexture2D(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, texture, 0);
        status = checkFramebufferStatus(GL_FRAMEBUFFER_OES);
    }
    Bind(static_cast<uint32_t>(s.previousBinding));
    if (status != GL_FRAMEBUFFER_COMPLETE_OES) {
        std::printf("glBindRenderbufferExt failed %x\n", status);
        DeleteNames(s);
        return false;
    }
    s.previousBinding = -1;
    s.surfaceWidth = width;
    s.surfaceHeight = height;
    return true;
}

int PowerOfTwoAtLeast(int side) {
    int padded = 1;
    while (padded < side && padded < (1 << 14)) padded *= 2;
    return padded < 2 ? 2 : padded;
}
}  // namespace

bool InitFramebuffers() {
    headlessBinding = 0;
    if (!Platform::HasGL()) {
        framebuffersSupported = true;
        return true;
    }
    bool ok = Load(genFramebuffers, "glGenFramebuffersOES");
    ok = Load(bindFramebuffer, "glBindFramebufferOES") && ok;
    ok = Load(framebufferTexture2D, "glFramebufferTexture2DOES") && ok;
    ok = Load(checkFramebufferStatus, "glCheckFramebufferStatusOES") && ok;
    ok = Load(deleteFramebuffers, "glDeleteFramebuffersOES") && ok;
    ok = Load(genRenderbuffers, "glGenRenderbuffersOES") && ok;
    ok = Load(bindRenderbuffer, "glBindRenderbufferOES") && ok;
    ok = Load(renderbufferStorage, "glRenderbufferStorageOES") && ok;
    ok = Load(framebufferRenderbuffer, "glFramebufferRenderbufferOES") && ok;
    ok = Load(deleteRenderbuffers, "glDeleteRenderbuffersOES") && ok;
    if (!ok) genFramebuffers = nullptr;
    framebuffersSupported = ok;
    return ok;
}

const OffscreenSurface* GetOffscreenSurface(int surface) {
    return surface >= 0 && surface < OFFSCREEN_SURFACES ? &surfaces[surface] : nullptr;
}

void CreateOffscreenSurface(int surface, int spriteId, int width, int height) {
    GraphicsDevice* device = graphicsDevice;
    if (!device || surface < 0 || surface >= OFFSCREEN_SURFACES) return;
    if (spriteId < 0 || spriteId >= SPRITE_SLOTS) return;
    // An unusable size still goes through the framebuffer step, which reports it.
    if (width < 1 || height < 1 || width > (1 << 14) || height > (1 << 14)) {
        BuildFramebuffer(surfaces[surface], 0, width, height, true);
        return;
    }
    if (device->renderTarget == surface) EndRenderTarget();
    const int pw = PowerOfTwoAtLeast(width), ph = PowerOfTwoAtLeast(height);
    DecodedImage blank;
    blank.width = pw;
    blank.height = ph;
    blank.rgba.assign(static_cast<size_t>(pw) * ph * 4, 0);
    device->DeleteSprite(spriteId);
    device->UploadImageToSprite(blank, spriteId, false);
    SpriteRecord& s = device->Sprite(spriteId);
    if (s.texture == 0) {
        BuildFramebuffer(surfaces[surface], 0, 0, 0, true);
        return;
    }
    // Textures are at least 16 texels a side, so a tiny surface keeps the texture's real size.
    s.imageWidth = static_cast<int16_t>(width);
    s.imageHeight = static_cast<int16_t>(height);
    s.uMax = static_cast<float>(width) / s.paddedWidth;
    s.vMax = static_cast<float>(height) / s.paddedHeight;
    if (BuildFramebuffer(surfaces[surface], s.texture, s.paddedWidth, s.paddedHeight, true)) {
        surfaces[surface].surfaceSprite = spriteId;
    }
}

void SetRenderTarget(int surface) {
    GraphicsDevice* device = graphicsDevice;
    if (!device) return;
    if (device->renderTarget >= 0) EndRenderTarget();
    device->renderTarget = surface;
    if (surface < 0 || surface >= OFFSCREEN_SURFACES) {
        device->renderTarget = -1;
        return;
    }
    OffscreenSurface& s = surfaces[surface];
    if (s.surfaceSprite < 0 || s.framebuffer == 0 || !framebuffersSupported) {
        // Without a framebuffer there is nowhere to draw to but the screen.
        device->renderTarget = -1;
        return;
    }
    const SpriteRecord& sprite = device->Sprite(s.surfaceSprite);
    const int w = sprite.imageWidth, h = sprite.imageHeight;
    if (s.previousBinding >= 0) {
        std::puts("Trying to rebind the same FBO again. Need to end first");
        device->renderTarget = -1;
        return;
    }
    s.previousBinding = CurrentBinding();
    Bind(s.framebuffer);
    device->SetViewport(0, 0, w, h);
    if (Platform::HasGL()) glViewport(0, 0, w, h);
    delete[] device->spritePixelCopies[s.surfaceSprite];
    device->spritePixelCopies[s.surfaceSprite] = nullptr;
}

void EndRenderTarget() {
    GraphicsDevice* device = graphicsDevice;
    if (!device || device->renderTarget < 0) return;
    const int target = device->renderTarget;
    if (target < OFFSCREEN_SURFACES) {
        OffscreenSurface& s = surfaces[target];
        if (s.previousBinding >= 0) {
            Bind(static_cast<uint32_t>(s.previousBinding));
            s.previousBinding = -1;
        }
    }
    device->renderTarget = -1;
    device->SetViewport(0, 0, 0, 0);
}

void ReleaseOffscreenSurfaces() {
    if (graphicsDevice && graphicsDevice->renderTarget >= 0) EndRenderTarget();
    for (OffscreenSurface& s : surfaces) {
        if (s.previousBinding >= 0) Bind(static_cast<uint32_t>(s.previousBinding));
        DeleteNames(s);
    }
}
