// The browser twin of the platform edge, system side: start-up, the page's clock, sleeps that
// yield to the browser, events, keys and the pointer. Emscripten's SDL receives the page's
// mouse, touch, key and visibility events; they are taken into a queue of our own, because its
// SDL cannot peek at waiting events.
#include <SDL/SDL.h>
#include <emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <deque>

#include "runtime/platform/platform.h"
#include "runtime/platform/web_browser.h"

namespace Platform {
namespace {
const int KEY_COUNT = 512;

struct SystemState {
    std::deque<Event> queue;
    int pointerX = 0, pointerY = 0;
    uint32_t buttons = 0;
    uint32_t latched = 0;   // presses not yet seen by a PointerState read
    uint8_t keys[KEY_COUNT] = {};
    double start = 0;
} state;

uint32_t ButtonBit(int button) { return button >= 1 && button <= 5 ? 1u << (button - 1) : 0u; }

// The browser's SDL numbers special keys 1024 + USB scan code; the runtime's key map speaks
// SDL 1.2 symbols.
int ClassicKeySym(int sym) {
    if (sym < 1024) return sym;
    switch (sym - 1024) {
        case 79: return 275;   // right
        case 80: return 276;   // left
        case 81: return 274;   // down
        case 82: return 273;   // up
        case 73: return 277;   // insert
        case 74: return 278;   // home
        case 75: return 280;   // page up
        case 77: return 279;   // end
        case 78: return 281;   // page down
        case 224: return 306;  // left ctrl
        case 225: return 304;  // left shift
        case 226: return 308;  // left alt
        case 228: return 305;  // right ctrl
        case 229: return 303;  // right shift
        case 230: return 307;  // right alt
        default: break;
    }
    int scan = sym - 1024;
    if (scan >= 58 && scan <= 69) return 282 + (scan - 58);  // F1..F12
    return 0;
}

bool Translate(const SDL_Event& e, Event& out) {
    out = Event();
    switch (e.type) {
        case SDL_WINDOWEVENT:
            // The page hidden (another tab, a locked phone) is the handheld's app going to the
            // background; losing the keyboard focus alone is not.
            if (e.window.event == SDL_WINDOWEVENT_HIDDEN || e.window.event == SDL_WINDOWEVENT_SHOWN) {
                out.type = EVENT_ACTIVE;
                out.gain = e.window.event == SDL_WINDOWEVENT_SHOWN ? 1 : 0;
                out.state = APP_ACTIVE | APP_INPUTFOCUS;
                return true;
            }
            out.type = EVENT_OTHER;
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            out.type = e.type == SDL_KEYDOWN ? EVENT_KEYDOWN : EVENT_KEYUP;
            out.keySym = ClassicKeySym(e.key.keysym.sym);
            out.unicode = static_cast<uint16_t>(e.key.keysym.unicode);
            return true;
        case SDL_MOUSEMOTION:
            out.type = EVENT_MOUSEMOTION;
            out.x = e.motion.x;
            out.y = e.motion.y;
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            out.type = e.type == SDL_MOUSEBUTTONDOWN ? EVENT_MOUSEBUTTONDOWN : EVENT_MOUSEBUTTONUP;
            out.x = e.button.x;
            out.y = e.button.y;
            out.button = e.button.button;
            return true;
        case SDL_QUIT:
            out.type = EVENT_QUIT;
            return true;
        default:
            // Finger events repeat the mouse events the page's SDL already made of the first touch.
            return false;
    }
}

// What a queued event does to the device's own view of the pointer and keys, at the moment the
// event is taken from the page.
void Apply(const Event& e) {
    switch (e.type) {
        case EVENT_MOUSEMOTION:
            state.pointerX = e.x;
            state.pointerY = e.y;
            break;
        case EVENT_MOUSEBUTTONDOWN:
            state.pointerX = e.x;
            state.pointerY = e.y;
            state.buttons |= ButtonBit(e.button);
            state.latched |= ButtonBit(e.button);
            break;
        case EVENT_MOUSEBUTTONUP:
            state.pointerX = e.x;
            state.pointerY = e.y;
            state.buttons &= ~ButtonBit(e.button);
            break;
        case EVENT_KEYDOWN:
        case EVENT_KEYUP:
            if (e.keySym > 0 && e.keySym < KEY_COUNT) state.keys[e.keySym] = e.type == EVENT_KEYDOWN;
            break;
        default:
            break;
    }
}

void TakePageEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        Event event;
        if (!Translate(e, event)) continue;
        Apply(event);
        state.queue.push_back(event);
    }
}
}  // namespace

bool InitSystem(uint32_t flags) {
    state.start = emscripten_get_now();
    // The runtime finds its folder through the link a Linux process has; in the page the
    // program "lives" in the saved folder that the page mounted before start-up.
    char link[64];
    snprintf(link, sizeof link, "/proc/%d", static_cast<int>(getpid()));
    mkdir(link, 0755);
    strncat(link, "/exe", sizeof link - strlen(link) - 1);
    unlink(link);
    char program[256];
    snprintf(program, sizeof program, "%s/squibly", WebBrowser::ProgramFolder());
    symlink(program, link);
    bool ok = SDL_Init(flags) == 0;
    WebBrowser::WatchPage();
    return ok;
}

void QuitSystem() {
    CloseWindow();
    SDL_Quit();
}

const char* LastError() { return SDL_GetError(); }

uint32_t Ticks() { return static_cast<uint32_t>(emscripten_get_now() - state.start); }

// The browser must get control back while the program waits, so a sleep hands it over.
void Sleep(uint32_t ms) { WebBrowser::Sleep(ms); }

// The saved folder stores each complete state of itself once the program yields; a sync here
// would have Emscripten store the whole mount at once, the media link's files included.
int SyncToStorage(int) { return 0; }

void PumpEvents() { TakePageEvents(); }

// The page's events arrive while the browser has control, so the wait hands it over.
void WaitEvent(float ms) {
    if (ms >= 1.0f) WebBrowser::Sleep(static_cast<uint32_t>(ms));
}

bool PollEvent(Event* event) {
    if (state.queue.empty()) TakePageEvents();
    if (state.queue.empty()) return false;
    if (event) *event = state.queue.front();
    state.queue.pop_front();
    return true;
}

bool PeekKeyDown(Event* event) {
    TakePageEvents();
    for (const Event& e : state.queue) {
        if (e.type == EVENT_KEYDOWN) {
            if (event) *event = e;
            return true;
        }
    }
    return false;
}

bool PushEvent(const Event& event) {
    if (event.type == EVENT_NONE || event.type == EVENT_OTHER) return false;
    Apply(event);
    state.queue.push_back(event);
    return true;
}

uint8_t* KeyState(int* count) {
    if (count) *count = KEY_COUNT;
    return state.keys;
}

void EnableUnicode(bool on) { SDL_EnableUNICODE(on ? 1 : 0); }

uint32_t PointerState(int index, int* x, int* y) {
    TakePageEvents();
    if (index != 0) {
        if (x) *x = 0;
        if (y) *y = 0;
        return 0;
    }
    if (x) *x = state.pointerX;
    if (y) *y = state.pointerY;
    uint32_t mask = state.buttons | state.latched;
    state.latched = 0;
    return mask;
}

// The page offers no joysticks to the game.
int NumJoysticks() { return 0; }
void OpenJoysticks(int) {}
void CloseJoysticks() {}

}  // namespace Platform
