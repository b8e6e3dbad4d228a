// The SDL 1.2 twin of the platform edge, display side: the emulated device display, the
// window with its OpenGL ES 1.1 context through EGL, buffer swaps, caption and input grab.
#include <EGL/egl.h>
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "runtime/platform/platform.h"

namespace Platform {
namespace {
EGLDisplay eglDisplay = EGL_NO_DISPLAY;
EGLSurface eglSurface = EGL_NO_SURFACE;
EGLContext eglContext = EGL_NO_CONTEXT;
bool glReady = false;
bool windowOpen = false;
bool desktopKnown = false;
DisplayInfo desktop;
char failure[256] = "";

// Watching for the window being destroyed from outside (SDL reports only the unmap).
Display* watchDisplay = nullptr;
Window watchWindow = 0;
uint32_t lastWatch = 0;
bool badWindow = false;

int NoteBadWindow(Display*, XErrorEvent*) {
    badWindow = true;
    return 0;
}

bool connectionLost = false;

// The X connection is gone (the server ended or the client was killed off it). Xlib would exit
// with status 1 once this returns; ending here instead runs the program's normal shutdown
// through its exit handler and keeps the exit status 0. That shutdown leaves the dead
// connection alone; should anything still touch it, a second exit would be undefined, so the
// process ends at once.
int ConnectionLost(Display*) {
    if (connectionLost) {
        fflush(stdout);
        _exit(0);
    }
    connectionLost = true;
    printf("X connection lost\n");
    fflush(stdout);
    exit(0);
}

bool Fail(const char* what) {
    snprintf(failure, sizeof failure, "%s", what);
    SDL_SetError("%s", what);
    return false;
}

// "WxH" with sensible sizes, else false.
bool ParseSize(const char* text, int& w, int& h) {
    if (!text || !*text) return false;
    char tail = 0;
    if (sscanf(text, "%dx%d%c", &w, &h, &tail) != 2) return false;
    return w >= 64 && h >= 64 && w <= 8192 && h <= 8192;
}

EGLConfig ChooseConfig(Display* x11, Window window) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES_BIT,
                             EGL_DEPTH_SIZE, 16, EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(eglDisplay, wanted, nullptr, 0, &count) || count < 1) return nullptr;
    EGLConfig* configs = new EGLConfig[count];
    eglChooseConfig(eglDisplay, wanted, configs, count, &count);
    EGLConfig chosen = configs[0];
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x11, window, &attributes)) {
        VisualID visual = XVisualIDFromVisual(attributes.visual);
        for (EGLint i = 0; i < count; ++i) {
            EGLint id = 0;
            if (eglGetConfigAttrib(eglDisplay, configs[i], EGL_NATIVE_VISUAL_ID, &id) &&
                static_cast<VisualID>(id) == visual) {
                chosen = configs[i];
                break;
            }
        }
    }
    delete[] configs;
    return chosen;
}
}  // namespace

// The handheld's display, played by a window: 768x1024 portrait when the desktop holds it,
// else the largest 3:4 portrait size that fits; SQUIBLY_DISPLAY=WxH chooses another device.
DisplayInfo DesktopInfo() {
    if (!desktopKnown) {
        DisplayInfo info;
        int screenW = 0, screenH = 0;
        if (SDL_WasInit(SDL_INIT_VIDEO)) {
            const SDL_VideoInfo* video = SDL_GetVideoInfo();
            if (video) {
                screenW = video->current_w;
                screenH = video->current_h;
                info.bitsPerPixel = video->vfmt ? video->vfmt->BitsPerPixel : 0;
            }
        }
        int w = 0, h = 0;
        if (ParseSize(getenv("SQUIBLY_DISPLAY"), w, h)) {
            info.width = w;
            info.height = h;
        } else if (screenW >= 768 && screenH >= 1024) {
            info.width = 768;
            info.height = 1024;
        } else if (screenW > 0 && screenH > 0) {
            int unit = screenW / 3 < screenH / 4 ? screenW / 3 : screenH / 4;
            info.width = unit * 3;
            info.height = unit * 4;
        }
        if (info.width <= 0 || info.height <= 0) return DisplayInfo();  // no video yet: ask again later
        desktop = info;
        desktopKnown = true;
    }
    return desktop;
}

bool OpenWindow() {
    if (windowOpen) return true;
    DisplayInfo display = DesktopInfo();
    if (display.width <= 0) {
        if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;  // SDL's own reason stays in SDL_GetError
        return Fail("no video display");
    }
    SDL_Surface* surface = SDL_SetVideoMode(display.width, display.height, 0, SDL_SWSURFACE);
    if (!surface) return false;  // SDL's own message stays in SDL_GetError

    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (SDL_GetWMInfo(&wm) != 1) return Fail("no X11 window information");
    Display* x11 = wm.info.x11.display;
    Window window = wm.info.x11.window;
    XSetIOErrorHandler(ConnectionLost);
    watchDisplay = x11;
    watchWindow = window;

    eglDisplay = eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(x11));
    if (eglDisplay == EGL_NO_DISPLAY || !eglInitialize(eglDisplay, nullptr, nullptr)) return Fail("EGL unavailable");
    eglBindAPI(EGL_OPENGL_ES_API);
    EGLConfig config = ChooseConfig(x11, window);
    if (!config) return Fail("no EGL configuration for OpenGL ES 1.1");
    eglSurface = eglCreateWindowSurface(eglDisplay, config, static_cast<EGLNativeWindowType>(window), nullptr);
    if (eglSurface == EGL_NO_SURFACE) return Fail("EGL window surface failed");
    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
    eglContext = eglCreateContext(eglDisplay, config, EGL_NO_CONTEXT, contextAttributes);
    if (eglContext == EGL_NO_CONTEXT) return Fail("OpenGL ES 1.1 context failed");
    if (!eglMakeCurrent(eglDisplay, eglSurface, eglSurface, eglContext)) return Fail("EGL make-current failed");
    glReady = true;
    windowOpen = true;
    return true;
}

void CloseWindow() {
    if (eglDisplay != EGL_NO_DISPLAY && !connectionLost) {
        eglMakeCurrent(eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (eglContext != EGL_NO_CONTEXT) eglDestroyContext(eglDisplay, eglContext);
        if (eglSurface != EGL_NO_SURFACE) eglDestroySurface(eglDisplay, eglSurface);
        eglTerminate(eglDisplay);
    }
    eglDisplay = EGL_NO_DISPLAY;
    eglSurface = EGL_NO_SURFACE;
    eglContext = EGL_NO_CONTEXT;
    glReady = false;
    windowOpen = false;
    watchDisplay = nullptr;
}

bool DisplayConnectionLost() { return connectionLost; }

// Checked at most twice a second, and only when the event queue is empty.
bool WindowDestroyed() {
    if (!windowOpen || !watchDisplay) return false;
    uint32_t now = Ticks();
    if (now - lastWatch < 500) return false;
    lastWatch = now;
    XSync(watchDisplay, False);
    badWindow = false;
    XErrorHandler previous = XSetErrorHandler(NoteBadWindow);
    XWindowAttributes attributes;
    Status ok = XGetWindowAttributes(watchDisplay, watchWindow, &attributes);
    XSync(watchDisplay, False);
    bool destroyed = ok == 0 || badWindow;
    // Once the window is gone, SDL's own clean-up still addresses it; those errors are expected.
    if (!destroyed) XSetErrorHandler(previous);
    return destroyed;
}

bool WindowOpen() { return windowOpen; }

bool HasGL() { return glReady; }

void SwapBuffers() {
    if (glReady) eglSwapBuffers(eglDisplay, eglSurface);
}

void SetCaption(const char* caption) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_WM_SetCaption(caption ? caption : "", "");
}

// Grabbing would trap the player's desktop pointer inside the window; the handheld had no
// pointer to trap, so the request is accepted and the pointer stays free.
void GrabInput(bool) {}

void* GetGLProc(const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

}  // namespace Platform
