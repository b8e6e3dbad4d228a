// The frame loop's runtime side and the application lifecycle: showing a frame, waiting,
// event handling, pause and resume callbacks by name, timers, and the one way out (EndProgram).
#pragma once

#include "runtime/core/kstring.h"
#include "runtime/platform/platform.h"

// One row of the game's callback table; the table ends with a row whose name is null.
struct CallbackRow {
    void (*routine)();
    const char* name;
};
// Defined by the game. The runtime reaches it through SetCallbackTable (main does that);
// programs without a game (tools, tests) may leave it out.
extern const CallbackRow CALLBACK_TABLE[];
void SetCallbackTable(const CallbackRow* table);

// Presents the frame, keeps the frame rate, pumps events, refreshes the pointer and quit keys,
// and holds still while the application is paused.
void ShowScreen();
// Waits at most about 75 ms for any input change; also where a paused application waits.
void Hibernate();
// Waits until the pointer is released, pressed, and released again.
void WaitInput();
void SetEscapeQuits(float flag);
bool EscapeQuits();

// Milliseconds since the end of runtime start-up.
float TimerMs();
// Milliseconds since the first timer query.
float ElapsedMs();
// TimerMs counts from this elapsed time (set once at start-up).
void SetTimerOffset(float elapsed);
void SleepMs(unsigned ms);
// Frame times kept by ShowScreen (elapsed milliseconds).
float CurrentFrameTime();
float PreviousFrameTime();
void SetCurrentFrameTime(float ms);

void SetPaused(int p);
bool IsPaused();
void EnablePause(int flag);
bool PauseEnabled();
// Calls the callback of that name; 1.0 when found and called, else 0.0.
float CALLBYNAME(const KString& name);

// Ends the program (once): quit callback, release of the runtime, status 0.
[[noreturn]] void EndProgram();
// The exit handler form of EndProgram (returns when already ended).
void EndProgramAtExit();
bool ProgramEnded();
// Releases the runtime; the first call also runs the quit callback.
void Shutdown();

// Handles pending events; 0 when a quit event arrived, else 1.
int PumpEvents();
// The shared handling of one event; 0 for a quit event, else 1.
int HandleEvent(const Platform::Event& event);

// Tests a runtime key code (0 to 324) against a freshly peeked key state.
bool KeyCodeDownNow(int code);
