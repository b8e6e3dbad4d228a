// The SDL 1.2 twin of the platform edge, display side: the emulated device display, the
// window with its OpenGL ES 1.1 context through EGL, buffer swaps, fullscreen, caption, icon
// and input grab.
#include <EGL/egl.h>
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define SQUIBLY_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SQUIBLY_LEAK_CHECKED 1
#endif
#endif
#ifdef SQUIBLY_LEAK_CHECKED
#include <dlfcn.h>
#include <link.h>
#endif

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
int screenWidth = 0, screenHeight = 0;  // the real screen, as SDL saw it before any window
bool fullscreen = false;
Presentation presentation;
EGLConfig eglConfig = nullptr;
char failure[256] = "";

// Watching for the window being destroyed from outside (SDL reports only the unmap).
Display* watchDisplay = nullptr;
Window watchWindow = 0;
uint32_t lastWatch = 0;
bool badWindow = false;

#ifdef SQUIBLY_LEAK_CHECKED
// The leak checker runs at exit, after eglTerminate has unloaded the GL driver: blocks the driver
// still held from its own globals would then be reported as leaked from an unnamed module, which
// no suppression can name. Kept mapped, they stay reachable. Sanitizer builds only.
void KeepGLDriverMapped() {
    std::vector<std::string> drivers;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* found) {
            if (info->dlpi_name && strstr(info->dlpi_name, "/dri/"))
                static_cast<std::vector<std::string>*>(found)->push_back(info->dlpi_name);
            return 0;
        },
        &drivers);
    // Outside the iteration, which holds the loader's lock.
    for (const std::string& driver : drivers) dlopen(driver.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}
#else
void KeepGLDriverMapped() {}
#endif

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
                screenWidth = screenW;
                screenHeight = screenH;
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
    eglConfig = config;
    eglSurface = eglCreateWindowSurface(eglDisplay, config, static_cast<EGLNativeWindowType>(window), nullptr);
    if (eglSurface == EGL_NO_SURFACE) return Fail("EGL window surface failed");
    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
    eglContext = eglCreateContext(eglDisplay, config, EGL_NO_CONTEXT, contextAttributes);
    if (eglContext == EGL_NO_CONTEXT) return Fail("OpenGL ES 1.1 context failed");
    if (!eglMakeCurrent(eglDisplay, eglSurface, eglSurface, eglContext)) return Fail("EGL make-current failed");
    KeepGLDriverMapped();
    glReady = true;
    windowOpen = true;
    fullscreen = false;
    presentation = WindowedPresentation(display.width, display.height);
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
    fullscreen = false;
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

namespace {
// SDL may hand back another drawing window after a mode switch; the GL surface follows it.
bool FollowWindow() {
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (SDL_GetWMInfo(&wm) != 1) return Fail("no X11 window information");
    Window window = wm.info.x11.window;
    if (window == watchWindow && eglSurface != EGL_NO_SURFACE) return true;
    eglMakeCurrent(eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (eglSurface != EGL_NO_SURFACE) eglDestroySurface(eglDisplay, eglSurface);
    eglSurface = eglCreateWindowSurface(eglDisplay, eglConfig, static_cast<EGLNativeWindowType>(window), nullptr);
    watchWindow = window;
    if (eglSurface == EGL_NO_SURFACE || !eglMakeCurrent(eglDisplay, eglSurface, eglSurface, eglContext)) {
        glReady = false;
        return Fail("EGL window surface lost in a mode switch");
    }
    return true;
}
}  // namespace

bool SetFullscreen(bool on) {
    if (!windowOpen || on == fullscreen) return fullscreen;
    if (on && (screenWidth <= 0 || screenHeight <= 0)) return false;
    SDL_Surface* surface = on ? SDL_SetVideoMode(screenWidth, screenHeight, 0, SDL_SWSURFACE | SDL_FULLSCREEN)
                              : SDL_SetVideoMode(desktop.width, desktop.height, 0, SDL_SWSURFACE);
    if (!surface && on) surface = SDL_SetVideoMode(desktop.width, desktop.height, 0, SDL_SWSURFACE);
    FollowWindow();
    fullscreen = surface && (surface->flags & SDL_FULLSCREEN);
    presentation = fullscreen ? FittedPresentation(surface->w, surface->h, desktop.width, desktop.height)
                              : WindowedPresentation(desktop.width, desktop.height);
    return fullscreen;
}

bool Fullscreen() { return fullscreen; }

Presentation CurrentPresentation() { return presentation; }

void SetWindowIcon(const uint8_t* rgba, int width, int height) {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !rgba || width <= 0 || height <= 0) return;
    // The classic icon hint, for window managers that read only that.
    SDL_Surface* icon = SDL_CreateRGBSurfaceFrom(const_cast<uint8_t*>(rgba), width, height, 32, width * 4,
                                                 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    if (icon) {
        SDL_WM_SetIcon(icon, nullptr);
        SDL_FreeSurface(icon);
    }
    // The picture today's desktops show in task bars and switchers.
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (SDL_GetWMInfo(&wm) != 1) return;
    std::vector<unsigned long> data;
    data.reserve(2 + static_cast<size_t>(width) * height);
    data.push_back(static_cast<unsigned long>(width));
    data.push_back(static_cast<unsigned long>(height));
    for (int i = 0; i < width * height; ++i) {
        const uint8_t* p = rgba + 4 * i;
        data.push_back(static_cast<unsigned long>(p[3]) << 24 | static_cast<unsigned long>(p[0]) << 16 |
                       static_cast<unsigned long>(p[1]) << 8 | p[2]);
    }
    Display* x11 = wm.info.x11.display;
    wm.info.x11.lock_func();
    XChangeProperty(x11, wm.info.x11.wmwindow, XInternAtom(x11, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(data.data()), static_cast<int>(data.size()));
    XFlush(x11);
    wm.info.x11.unlock_func();
}

}  // namespace Platform
