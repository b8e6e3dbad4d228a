// The browser twin of the platform edge, display side: the page's canvas is the device's
// display (its CSS size times the device pixel ratio, chosen by the page), drawn through
// Emscripten's SDL with its emulation of fixed-function GL on WebGL.
#include <SDL/SDL.h>
#include <emscripten.h>

#include <cstdio>

#include "runtime/platform/platform.h"
#include "runtime/platform/web_browser.h"

extern "C" void* emscripten_GetProcAddress(const char* name);

namespace Platform {
namespace {
bool windowOpen = false;
DisplayInfo opened;
}  // namespace

DisplayInfo DesktopInfo() {
    DisplayInfo info;
    WebBrowser::CanvasSize(&info.width, &info.height);
    info.bitsPerPixel = 32;
    if (info.width <= 0 || info.height <= 0) return DisplayInfo();
    return info;
}

bool OpenWindow() {
    if (windowOpen) return true;
    DisplayInfo display = DesktopInfo();
    if (display.width <= 0) {
        SDL_SetError("the page has no canvas");
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (!SDL_SetVideoMode(display.width, display.height, 0, SDL_OPENGL)) return false;
    windowOpen = true;
    opened = display;
    return true;
}

void CloseWindow() { windowOpen = false; }

bool WindowOpen() { return windowOpen; }

bool HasGL() { return windowOpen; }

// The browser shows what was drawn when the program gives control back.
void SwapBuffers() {
    if (windowOpen) WebBrowser::PresentFrame();
}

void SetCaption(const char* caption) { WebBrowser::SetTitle(caption); }

// A page cannot confine a finger; the request is accepted, as on the desktop.
void GrabInput(bool) {}

void* GetGLProc(const char* name) { return emscripten_GetProcAddress(name); }

// The browser's own fullscreen belongs to the page; the canvas always is the whole display, so
// drawing and touch need no mapping here.
bool SetFullscreen(bool) { return false; }

bool Fullscreen() { return false; }

Presentation CurrentPresentation() { return WindowedPresentation(opened.width, opened.height); }

// The page's icon stands for the game.
void SetWindowIcon(const uint8_t*, int, int) {}

}  // namespace Platform
