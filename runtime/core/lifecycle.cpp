// The frame loop's runtime side: ShowScreen, Hibernate, WaitInput, event pumping and handling,
// pause and resume through the callback table, and the end of the program.
#include "runtime/core/lifecycle.h"

#include <GLES/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/device_services.h"
#include "runtime/core/entry.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/input/input_state.h"
#include "runtime/platform/platform.h"

// Programs without a game (tools, tests) have no table; the weak reference is then null.
extern const CallbackRow CALLBACK_TABLE[] __attribute__((weak));

namespace {
bool paused = false;
bool callbacksEnabled = true;
bool escapeQuits = true;
bool ended = false;
bool quitCallbackDone = false;
const CallbackRow* callbackTable = nullptr;

float currentFrameTime = 0.0f;
float previousFrameTime = 0.0f;

[[noreturn]] void QuitWithoutError() {
    SetError(0);
    EndProgram();
}

// The quit keys: the device's own quit key and escape while escape quits; Alt+F4 always.
void CheckQuitKeys(bool includeAltF4) {
    if (escapeQuits) {
        if (KeyCodeDownNow(129)) QuitWithoutError();
        if (KeyCodeDownNow(1)) QuitWithoutError();
    }
    if (includeAltF4 && KeyCodeDownNow(56) && KeyCodeDownNow(62)) QuitWithoutError();
}

void RefreshPointers() {
    ResetKeyPollCount();
    RefreshInput();
    if (!inputState) return;
    for (size_t n = 0; n < inputState->pointers.size(); ++n) inputState->ReadPointer(true);
}

struct PointerSnapshot {
    float x, y;
    bool b1, b2;
    bool operator!=(const PointerSnapshot& o) const { return x != o.x || y != o.y || b1 != o.b1 || b2 != o.b2; }
};

PointerSnapshot ReadPointerSnapshot() {
    PointerSnapshot s{0, 0, false, false};
    if (!inputState || !graphicsDevice) return s;
    float b1 = 0, b2 = 0;
    MouseState(s.x, s.y, b1, b2);
    s.b1 = b1 != 0.0f;
    s.b2 = b2 != 0.0f;
    return s;
}
}  // namespace

void SetCallbackTable(const CallbackRow* table) { callbackTable = table; }

bool KeyCodeDownNow(int code) { return KeyCodeDown(PeekKeyState(), code); }

void ShowScreen() {
    previousFrameTime = currentFrameTime;
    currentFrameTime = ElapsedMs();
    while (paused) Hibernate();

    RefreshPointers();
    CheckQuitKeys(true);
    // A quit taken from the queue here would otherwise be lost: PresentFrame never sees it.
    if (!PumpEvents()) QuitWithoutError();

    if (!graphicsDevice) return;
    if (!graphicsDevice->PresentFrame()) QuitWithoutError();
    if (graphicsDevice->blendOn) SetBlendMode(0);
    graphicsDevice->globalAlpha = 1.0f;
    if (Platform::HasGL()) glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    graphicsDevice->Reset2DState();
}

void Hibernate() {
    const PointerSnapshot before = ReadPointerSnapshot();
    for (int passes = 0;;) {
        if (!PumpEvents()) QuitWithoutError();
        if (paused) {
            printf("pause loop in showscreen/hibernate\n");
            fflush(stdout);
            // Nothing sounds while paused, and a closed device has no mixing thread to wake.
            Platform::SuspendAudio(true);
            while (paused) {
                if (!PumpEvents()) QuitWithoutError();
                SleepMs(200);
            }
            Platform::SuspendAudio(false);
            printf("pause loop ended\n");
            fflush(stdout);
            return;
        }
        RefreshPointers();
        CheckQuitKeys(false);
        for (int code = 0; code < 255; ++code) {
            if (KeyDown(code)) return;
        }
        if (ReadPointerSnapshot() != before) return;
        ++passes;
        SleepMs(5);
        if (passes >= 15) return;
    }
}

void WaitInput() {
    // Each wait goes through Hibernate, so the loops sleep instead of spinning.
    while (AnyButtonDown()) Hibernate();
    while (!AnyButtonDown()) Hibernate();
    while (AnyButtonDown()) Hibernate();
}

void SetEscapeQuits(float flag) { escapeQuits = flag != 0.0f; }
bool EscapeQuits() { return escapeQuits; }

int PumpEvents() {
    for (int n = 0;; ++n) {
        Platform::Event event;
        if (!Platform::PollEvent(&event)) return 1;
        if (n >= 255) return 1;  // the 256th is dropped unhandled
        if (!HandleEvent(event)) return 0;
    }
}

int HandleEvent(const Platform::Event& event) {
    switch (event.type) {
        case Platform::EVENT_KEYDOWN: {
            int sym = event.keySym;
            // The desktop's own switch; it is no text and no pause.
            if (IsFullscreenKey(sym, event.modifiers)) {
                if (graphicsDevice) graphicsDevice->ToggleFullscreen();
                return 1;
            }
            if (sym == 211 || (sym >= 273 && sym <= 281) || sym == 14) return 1;
            if (sym == 8) {
                AppendTextInput(8);
            } else if ((event.unicode & 0xff00) == 0) {
                AppendTextInput(event.unicode & 0xff);
            }
            return 1;
        }
        case Platform::EVENT_ACTIVE:
            // Only the application being iconified or losing input focus pauses it; the mouse
            // leaving or entering the window (mouse focus alone) is no pause.
            if (!(event.state & (Platform::APP_INPUTFOCUS | Platform::APP_ACTIVE))) return 1;
            SetPaused(event.gain == 0 ? 1 : 0);
            return 1;
        case Platform::EVENT_QUIT:
            return 0;
        default:
            return 1;
    }
}

void SetPaused(int p) {
    bool want;
    if (callbacksEnabled) {
        want = p != 0;
    } else {
        want = false;
        p = 0;
    }
    if (want != paused) {
        if (p != 0) {
            paused = true;
            CALLBYNAME(KString("KRT_ON_PAUSE"));
        } else {
            paused = false;
            CALLBYNAME(KString("KRT_ON_RESUME"));
        }
    }
    paused = p != 0;
}

bool IsPaused() { return paused; }

void EnablePause(int flag) {
    if (flag != 0) {
        callbacksEnabled = true;
        return;
    }
    callbacksEnabled = false;
    if (paused) SetPaused(0);
}

bool PauseEnabled() { return callbacksEnabled; }

float CALLBYNAME(const KString& name) {
    const CallbackRow* table = callbackTable ? callbackTable : CALLBACK_TABLE;
    if (table) {
        for (const CallbackRow* row = table; row->name; ++row) {
            if (strcmp(row->name, name.c_str()) == 0) {
                if (row->routine) row->routine();
                return 1.0f;
            }
        }
    }
    if (name == "KRT_ON_QUIT" || name == "KRT_WIN32_MSG") return 0.0f;
    KString line = KString("CALLBYNAME \"") + name + "\" *** failed ***\n";
    printf("%s", line.c_str());
    return 0.0f;
}

namespace {
// The shutdown sequence proper; false when the program had already ended.
bool EndOnce() {
    if (ended) return false;
    ended = true;
    if (Settings().debugLines) {
        printf("-End On Line\n");
        printf("%d\n", ErrorCode());
        printf("%d\n", ErrorLine() - 1);
        printf("%d\n", CurrentLine());
        printf("%d\n", 0);
    }
    if (ErrorCode() != 0) printf("KRT Error: %x\n", ErrorCode());
    fflush(stdout);
    Shutdown();
    printf("PDL_Quit\n");
    fflush(stdout);
    PDL_Quit();
    printf("</PDL_Quit>\n");
    fflush(stdout);
    Platform::QuitSystem();
    fflush(stdout);
    printf("exit\n");
    fflush(stdout);
    return true;
}
}  // namespace

void EndProgram() {
    if (!EndOnce()) {
        // Entered again from inside the shutdown (a fault in the quit callback, or the exit
        // handler): the process is already on its way out.
        fflush(stdout);
        _Exit(0);
    }
    exit(0);
}

void EndProgramAtExit() { EndOnce(); }

bool ProgramEnded() { return ended; }

void Shutdown() {
    if (!quitCallbackDone) {
        quitCallbackDone = true;
        CALLBYNAME(KString("KRT_ON_QUIT"));
    }
    if (!graphicsDevice) return;
    printf("Shut down KRT\n");
    StopMusic();
    CloseAllFiles();
    Platform::GrabInput(false);
    delete inputState;
    inputState = nullptr;
    ShutdownAudio();
    delete graphicsDevice;
    graphicsDevice = nullptr;
    Platform::CloseWindow();
    ReleaseVirtualFileTables();
    printf("krt is shut down\n");
    fflush(stdout);
}

float CurrentFrameTime() { return currentFrameTime; }
float PreviousFrameTime() { return previousFrameTime; }
void SetCurrentFrameTime(float ms) { currentFrameTime = ms; }
