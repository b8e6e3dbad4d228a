// The system half of the headless twin: a virtual millisecond clock, an event queue fed by
// tests and tools, pointer 0 and the key state kept from the events as they are polled.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "runtime/platform/null_platform.h"
#include "runtime/platform/platform.h"

namespace {

const int KEY_COUNT = 512;

struct SystemState {
    uint32_t clockMs = 0;
    std::deque<Platform::Event> queue;
    int pointerX = 0, pointerY = 0;
    uint32_t buttons = 0;
    uint32_t latched = 0;   // presses not yet seen by a PointerState read
    uint8_t keys[KEY_COUNT] = {};
    bool unicode = false;
    bool initialised = false;
    int joysticksOpen = 0;
    uint64_t sleepCalls = 0, sleptMs = 0, pollCalls = 0;
    void (*idleHook)() = nullptr;
};

SystemState& State() {
    static SystemState state;
    return state;
}

uint32_t ButtonBit(int button) {
    return button >= 1 && button <= 5 ? (1u << (button - 1)) : 0;
}

// What a delivered event does to the device's own view of the pointer and keys.
void Apply(const Platform::Event& e) {
    SystemState& s = State();
    switch (e.type) {
        case Platform::EVENT_MOUSEMOTION:
            s.pointerX = e.x;
            s.pointerY = e.y;
            break;
        case Platform::EVENT_MOUSEBUTTONDOWN:
            s.pointerX = e.x;
            s.pointerY = e.y;
            s.buttons |= ButtonBit(e.button);
            s.latched |= ButtonBit(e.button);
            break;
        case Platform::EVENT_MOUSEBUTTONUP:
            s.pointerX = e.x;
            s.pointerY = e.y;
            s.buttons &= ~ButtonBit(e.button);
            break;
        case Platform::EVENT_KEYDOWN:
        case Platform::EVENT_KEYUP:
            if (e.keySym >= 0 && e.keySym < KEY_COUNT) s.keys[e.keySym] = e.type == Platform::EVENT_KEYDOWN;
            break;
        default:
            break;
    }
}

}  // namespace

namespace Platform {

bool InitSystem(uint32_t) {
    State().initialised = true;
    return true;
}

void QuitSystem() { State().initialised = false; }

const char* LastError() { return ""; }

uint32_t Ticks() { return State().clockMs; }

void Sleep(uint32_t ms) {
    SystemState& s = State();
    s.sleepCalls += 1;
    s.sleptMs += ms;
    s.clockMs += ms;
}

// Save files of headless runs are real files, made durable as on the desktop.
int SyncToStorage(int fd) { return fsync(fd) == 0 ? 0 : errno; }

void PumpEvents() {}

// Nothing arrives while the virtual clock stands, so a wait with an empty queue lasts its whole
// time (whole milliseconds, the clock's unit).
void WaitEvent(float ms) {
    if (!State().queue.empty() || !(ms >= 1.0f)) return;
    Sleep(static_cast<uint32_t>(ms));
}

bool PollEvent(Event* event) {
    SystemState& s = State();
    s.pollCalls += 1;
    if (s.queue.empty() && s.idleHook) s.idleHook();
    if (s.queue.empty()) {
        // An idle poll costs a millisecond, so loops that wait for time by polling progress.
        s.clockMs += 1;
        return false;
    }
    Event e = s.queue.front();
    s.queue.pop_front();
    Apply(e);
    if (event) *event = e;
    return true;
}

bool PeekKeyDown(Event* event) {
    for (const Event& e : State().queue) {
        if (e.type == EVENT_KEYDOWN) {
            if (event) *event = e;
            return true;
        }
    }
    return false;
}

bool PushEvent(const Event& event) {
    State().queue.push_back(event);
    return true;
}

uint8_t* KeyState(int* count) {
    if (count) *count = KEY_COUNT;
    return State().keys;
}

void EnableUnicode(bool on) { State().unicode = on; }

uint32_t PointerState(int index, int* x, int* y) {
    SystemState& s = State();
    if (index != 0) {
        if (x) *x = 0;
        if (y) *y = 0;
        return 0;
    }
    int px = s.pointerX, py = s.pointerY;
    WindowToDisplay(CurrentPresentation(), px, py);
    if (x) *x = px;
    if (y) *y = py;
    uint32_t mask = s.buttons | s.latched;
    s.latched = 0;
    return mask;
}

int NumJoysticks() { return 0; }
void OpenJoysticks(int count) { State().joysticksOpen = count; }
void CloseJoysticks() { State().joysticksOpen = 0; }

}  // namespace Platform

namespace NullPlatform {

void ResetDisplay();   // null_display.cpp

void Reset() {
    State() = SystemState();
    ResetDisplay();
}

uint32_t Now() { return State().clockMs; }
void AdvanceClock(uint32_t ms) { State().clockMs += ms; }
void SetClock(uint32_t ms) { State().clockMs = ms; }

void QueueEvent(const Platform::Event& event) { State().queue.push_back(event); }

void PushPointerMove(int x, int y) {
    Platform::Event e;
    e.type = Platform::EVENT_MOUSEMOTION;
    e.x = x;
    e.y = y;
    QueueEvent(e);
}

void PushPointerButton(int x, int y, bool down, int button) {
    Platform::Event e;
    e.type = down ? Platform::EVENT_MOUSEBUTTONDOWN : Platform::EVENT_MOUSEBUTTONUP;
    e.x = x;
    e.y = y;
    e.button = static_cast<uint8_t>(button);
    QueueEvent(e);
}

void PushActive(bool gain, uint8_t state) {
    Platform::Event e;
    e.type = Platform::EVENT_ACTIVE;
    e.gain = gain ? 1 : 0;
    e.state = state;
    QueueEvent(e);
}

void PushQuit() {
    Platform::Event e;
    e.type = Platform::EVENT_QUIT;
    QueueEvent(e);
}

void PushKey(int keySym, bool down, uint16_t unicode) {
    Platform::Event e;
    e.type = down ? Platform::EVENT_KEYDOWN : Platform::EVENT_KEYUP;
    e.keySym = keySym;
    e.unicode = unicode;
    QueueEvent(e);
}

void SetPointer(int x, int y, uint32_t buttons) {
    SystemState& s = State();
    s.pointerX = x;
    s.pointerY = y;
    s.latched |= buttons & ~s.buttons;
    s.buttons = buttons;
}

int PendingEvents() { return static_cast<int>(State().queue.size()); }

void SetIdleHook(void (*hook)()) { State().idleHook = hook; }

uint64_t SleepCalls() { return State().sleepCalls; }
uint64_t SleptMs() { return State().sleptMs; }
uint64_t PollCalls() { return State().pollCalls; }

}  // namespace NullPlatform
