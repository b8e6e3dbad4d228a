// Controls of the headless platform twin for tests and tools: the virtual clock, scripted events
// and pointer, the emulated display size, and what the runtime did with the window.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/platform/platform.h"

namespace NullPlatform {

// Puts the whole twin back to its start: clock 0, empty queue, pointer up at (0, 0), keys up,
// display 768x1024x32, no window, no counts.
void Reset();

// ---- Virtual clock --------------------------------------------------------------
uint32_t Now();
void AdvanceClock(uint32_t ms);
void SetClock(uint32_t ms);

// ---- Events and pointer -------------------------------------------------------------
// Queues an event as a device would deliver it; mouse events move pointer 0 when polled.
void QueueEvent(const Platform::Event& event);
void PushPointerMove(int x, int y);
void PushPointerButton(int x, int y, bool down, int button = 1);
void PushActive(bool gain, uint8_t state);
void PushQuit();
void PushKey(int keySym, bool down, uint16_t unicode = 0);
// Sets pointer 0 directly (position in window pixels, SDL button mask), without events. Window
// and device pixels are the same until the display goes fullscreen.
void SetPointer(int x, int y, uint32_t buttons);
int PendingEvents();
// Called whenever a poll finds the queue empty, so a test can deliver events over time (a
// player who taps a moment later); nullptr removes it.
void SetIdleHook(void (*hook)());

// ---- Display ----------------------------------------------------------------------------
// The emulated device display (what DesktopInfo reports). SQUIBLY_DISPLAY=WxH sets it too.
void SetDisplaySize(int width, int height, int bitsPerPixel = 32);
// The screen a fullscreen display is fitted into (1920x1080 unless set).
void SetScreenSize(int width, int height);
bool WindowOpen();
bool InputGrabbed();
// Buffer swaps since the window opened: one per presented frame.
uint64_t FramesPresented();

// ---- Counters of what the runtime asked for ---------------------------------------------
uint64_t SleepCalls();
uint64_t SleptMs();
uint64_t PollCalls();

}  // namespace NullPlatform
