// The SDL 1.2 twin of the platform edge, system side: start-up, clock, sleep, events, keys,
// the mouse standing in for pointer 0 of the multi-touch query, and joysticks.
#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "runtime/platform/platform.h"

namespace Platform {
// True once the window was destroyed by another client (sdl_display.cpp).
bool WindowDestroyed();

namespace {
const int MAX_JOYSTICKS = 10;
SDL_Joystick* joysticks[MAX_JOYSTICKS] = {nullptr};
int joysticksOpen = 0;

// Pointer 0 as the mouse events left it. `latched` keeps a press (or wheel step) visible
// for one read even when its release arrived in the same pump.
struct PointerTrack {
    int x = 0, y = 0;
    uint32_t buttons = 0;
    uint32_t latched = 0;
} pointer;

uint32_t ButtonBit(uint8_t button) { return button >= 1 && button <= 5 ? 1u << (button - 1) : 0u; }

void Track(const SDL_Event& e) {
    switch (e.type) {
        case SDL_MOUSEMOTION:
            pointer.x = e.motion.x;
            pointer.y = e.motion.y;
            break;
        case SDL_MOUSEBUTTONDOWN:
            pointer.x = e.button.x;
            pointer.y = e.button.y;
            pointer.buttons |= ButtonBit(e.button.button);
            pointer.latched |= ButtonBit(e.button.button);
            break;
        case SDL_MOUSEBUTTONUP:
            pointer.x = e.button.x;
            pointer.y = e.button.y;
            pointer.buttons &= ~ButtonBit(e.button.button);
            break;
        default:
            break;
    }
}

Event Translate(const SDL_Event& e) {
    Event out;
    switch (e.type) {
        case SDL_ACTIVEEVENT:
            out.type = EVENT_ACTIVE;
            out.gain = e.active.gain;
            out.state = e.active.state;
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            out.type = e.type == SDL_KEYDOWN ? EVENT_KEYDOWN : EVENT_KEYUP;
            out.keySym = e.key.keysym.sym;
            out.unicode = e.key.keysym.unicode;
            out.modifiers = static_cast<uint16_t>(e.key.keysym.mod);
            break;
        case SDL_MOUSEMOTION:
            out.type = EVENT_MOUSEMOTION;
            out.x = e.motion.x;
            out.y = e.motion.y;
            WindowToDisplay(CurrentPresentation(), out.x, out.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            out.type = e.type == SDL_MOUSEBUTTONDOWN ? EVENT_MOUSEBUTTONDOWN : EVENT_MOUSEBUTTONUP;
            out.x = e.button.x;
            out.y = e.button.y;
            WindowToDisplay(CurrentPresentation(), out.x, out.y);
            out.button = e.button.button;
            break;
        case SDL_QUIT:
            out.type = EVENT_QUIT;
            break;
        default:
            out.type = EVENT_OTHER;
            break;
    }
    return out;
}

// SIGINT and SIGTERM, counted by the handler and turned into quit events by PollEvent.
volatile sig_atomic_t quitSignals = 0;
sig_atomic_t quitSignalsReported = 0;

void OnQuitSignal(int) { quitSignals = quitSignals + 1; }

bool QuitSignalPending() { return quitSignals != quitSignalsReported; }

timespec StartTime() {
    static timespec start = [] {
        timespec t;
        clock_gettime(CLOCK_MONOTONIC, &t);
        return t;
    }();
    return start;
}
}  // namespace

bool InitSystem(uint32_t flags) {
    StartTime();
    // SDL would turn these signals into a quit event itself, but from inside its handler, which
    // may interrupt its own event queue; a count that PollEvent reads is safe whenever the signal
    // comes, and SDL leaves a handler alone that it finds installed.
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // Nothing here uses SDL's timers (the clock and the sleeps are our own), and its timer thread
    // would wake the process every millisecond, paused or not.
    flags &= ~static_cast<uint32_t>(SDL_INIT_TIMER);
    // The GL context is made on an X11 window; SDL's text-terminal drivers would start the
    // game inside the terminal instead of failing plainly when there is no display.
    setenv("SDL_VIDEODRIVER", "x11", 0);
    return SDL_Init(flags) == 0;
}

// The desktop display keeps this (sdl_display.cpp): the X connection died under the program.
bool DisplayConnectionLost();

void QuitSystem() {
    CloseJoysticks();
    CloseWindow();
    // Closing the video part talks to the X server; with the connection gone, the rest is
    // released and the process ends without it.
    if (DisplayConnectionLost()) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_TIMER | SDL_INIT_JOYSTICK);
        return;
    }
    SDL_Quit();
}

const char* LastError() { return SDL_GetError(); }

// A monotonic clock of our own: it starts with the process, before SDL does.
uint32_t Ticks() {
    timespec start = StartTime();
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    int64_t ms = (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000LL;
    return static_cast<uint32_t>(ms);
}

void Sleep(uint32_t ms) {
    timespec want{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    timespec left;
    while (nanosleep(&want, &left) != 0 && errno == EINTR) want = left;
}

int SyncToStorage(int fd) { return fsync(fd) == 0 ? 0 : errno; }

void PumpEvents() { SDL_PumpEvents(); }

void WaitEvent(float ms) {
    if (!(ms > 0.0f) || QuitSignalPending()) return;
    SDL_Event e;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0) return;
    const long long ns = static_cast<long long>(static_cast<double>(ms) * 1e6);
    timespec wait{static_cast<time_t>(ns / 1000000000LL), static_cast<long>(ns % 1000000000LL)};
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetWMInfo(&wm) == 1 && wm.subsystem == SDL_SYSWM_X11 && wm.info.x11.display) {
        Display* x11 = wm.info.x11.display;
        if (XEventsQueued(x11, QueuedAlready) > 0) return;
        XFlush(x11);
        // Input on the display's connection, a signal or the time, whichever comes first.
        pollfd watch{ConnectionNumber(x11), POLLIN, 0};
        ppoll(&watch, 1, &wait, nullptr);
        return;
    }
    nanosleep(&wait, nullptr);   // a signal cuts it short: the caller polls at once
}

bool PollEvent(Event* event) {
    if (QuitSignalPending()) {
        quitSignalsReported = quitSignals;
        if (event) {
            *event = Event();
            event->type = EVENT_QUIT;
        }
        return true;
    }
    SDL_Event e;
    if (!SDL_PollEvent(&e)) {
        // A window destroyed from outside can never be shown again: that is a quit.
        if (!WindowDestroyed()) return false;
        printf("window destroyed\n");
        fflush(stdout);
        if (event) {
            *event = Event();
            event->type = EVENT_QUIT;
        }
        return true;
    }
    Track(e);
    // SQUIBLY_TRACE_EVENTS=1 shows every activation change the desktop reports.
    static const bool trace = getenv("SQUIBLY_TRACE_EVENTS") != nullptr;
    if (trace && e.type == SDL_ACTIVEEVENT) {
        printf("event: active gain=%d state=%d\n", e.active.gain, e.active.state);
        fflush(stdout);
    }
    if (event) *event = Translate(e);
    return true;
}

bool PeekKeyDown(Event* event) {
    SDL_Event e;
    if (SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_KEYDOWNMASK) < 1) return false;
    if (event) *event = Translate(e);
    return true;
}

bool PushEvent(const Event& event) {
    SDL_Event e;
    memset(&e, 0, sizeof e);
    switch (event.type) {
        case EVENT_ACTIVE:
            e.type = SDL_ACTIVEEVENT;
            e.active.gain = event.gain;
            e.active.state = event.state;
            break;
        case EVENT_KEYDOWN:
        case EVENT_KEYUP:
            e.type = event.type == EVENT_KEYDOWN ? SDL_KEYDOWN : SDL_KEYUP;
            e.key.keysym.sym = static_cast<SDLKey>(event.keySym);
            e.key.keysym.unicode = event.unicode;
            e.key.keysym.mod = static_cast<SDLMod>(event.modifiers);
            break;
        case EVENT_MOUSEMOTION:
            e.type = SDL_MOUSEMOTION;
            e.motion.x = static_cast<Uint16>(event.x);
            e.motion.y = static_cast<Uint16>(event.y);
            break;
        case EVENT_MOUSEBUTTONDOWN:
        case EVENT_MOUSEBUTTONUP:
            e.type = event.type == EVENT_MOUSEBUTTONDOWN ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
            e.button.x = static_cast<Uint16>(event.x);
            e.button.y = static_cast<Uint16>(event.y);
            e.button.button = event.button;
            break;
        case EVENT_QUIT:
            e.type = SDL_QUIT;
            break;
        default:
            return false;
    }
    return SDL_PushEvent(&e) == 0;
}

uint8_t* KeyState(int* count) { return SDL_GetKeyState(count); }

void EnableUnicode(bool on) { SDL_EnableUNICODE(on ? 1 : 0); }

uint32_t PointerState(int index, int* x, int* y) {
    // Mouse events still queued are taken now; the event handling above drops them anyway.
    SDL_Event batch[64];
    int n;
    while ((n = SDL_PeepEvents(batch, 64, SDL_GETEVENT, SDL_MOUSEEVENTMASK)) > 0) {
        for (int i = 0; i < n; ++i) Track(batch[i]);
    }
    if (index != 0) {
        if (x) *x = 0;
        if (y) *y = 0;
        return 0;
    }
    // SDL reports window pixels; fullscreen, the display is a scaled picture inside the window.
    int px = pointer.x, py = pointer.y;
    WindowToDisplay(CurrentPresentation(), px, py);
    if (x) *x = px;
    if (y) *y = py;
    uint32_t mask = pointer.buttons | pointer.latched;
    pointer.latched = 0;
    return mask;
}

int NumJoysticks() { return SDL_WasInit(SDL_INIT_JOYSTICK) ? SDL_NumJoysticks() : 0; }

void OpenJoysticks(int count) {
    CloseJoysticks();
    if (count > MAX_JOYSTICKS) count = MAX_JOYSTICKS;
    for (int i = 0; i < count; ++i) joysticks[i] = SDL_JoystickOpen(i);
    joysticksOpen = count < 0 ? 0 : count;
}

void CloseJoysticks() {
    for (int i = 0; i < joysticksOpen; ++i) {
        if (joysticks[i] && SDL_WasInit(SDL_INIT_JOYSTICK)) SDL_JoystickClose(joysticks[i]);
        joysticks[i] = nullptr;
    }
    joysticksOpen = 0;
}

}  // namespace Platform
