// The display half of the headless twin: an emulated device display of a chosen size, a window
// that is only a flag, no GL context, and a count of presented frames.
#include <cstdio>
#include <cstdlib>

#include "runtime/platform/null_platform.h"
#include "runtime/platform/platform.h"

namespace {

struct DisplayState {
    int width = 768, height = 1024, bitsPerPixel = 32;
    bool sizeChosen = false;   // set by SetDisplaySize; else SQUIBLY_DISPLAY may choose
    int screenWidth = 1920, screenHeight = 1080;
    bool windowOpen = false;
    bool fullscreen = false;
    bool grabbed = false;
    uint64_t frames = 0;
};

DisplayState& State() {
    static DisplayState state;
    return state;
}

void ApplyEnvironmentSize() {
    DisplayState& s = State();
    if (s.sizeChosen) return;
    const char* text = std::getenv("SQUIBLY_DISPLAY");
    int w = 0, h = 0;
    if (text && std::sscanf(text, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= 16384 && h <= 16384) {
        s.width = w;
        s.height = h;
    }
}

}  // namespace

namespace Platform {

DisplayInfo DesktopInfo() {
    ApplyEnvironmentSize();
    DisplayInfo info;
    info.width = State().width;
    info.height = State().height;
    info.bitsPerPixel = State().bitsPerPixel;
    return info;
}

bool OpenWindow() {
    State().windowOpen = true;
    State().fullscreen = false;
    State().frames = 0;
    return true;
}

void CloseWindow() {
    State().windowOpen = false;
    State().fullscreen = false;
}

bool SetFullscreen(bool on) {
    DisplayState& s = State();
    if (s.windowOpen) s.fullscreen = on;
    return s.fullscreen;
}

bool Fullscreen() { return State().fullscreen; }

Presentation CurrentPresentation() {
    const DisplayInfo display = DesktopInfo();
    const DisplayState& s = State();
    if (s.fullscreen) return FittedPresentation(s.screenWidth, s.screenHeight, display.width, display.height);
    return WindowedPresentation(display.width, display.height);
}

void SetWindowIcon(const uint8_t*, int, int) {}

bool HasGL() { return false; }

void SwapBuffers() {
    if (State().windowOpen) State().frames += 1;
}

void SetCaption(const char*) {}

void GrabInput(bool on) { State().grabbed = on; }

void* GetGLProc(const char*) { return nullptr; }

}  // namespace Platform

namespace NullPlatform {

void ResetDisplay() { State() = DisplayState(); }

void SetDisplaySize(int width, int height, int bitsPerPixel) {
    DisplayState& s = State();
    s.width = width;
    s.height = height;
    s.bitsPerPixel = bitsPerPixel;
    s.sizeChosen = true;
}

void SetScreenSize(int width, int height) {
    State().screenWidth = width;
    State().screenHeight = height;
}

bool WindowOpen() { return State().windowOpen; }
bool InputGrabbed() { return State().grabbed; }
uint64_t FramesPresented() { return State().frames; }

}  // namespace NullPlatform
