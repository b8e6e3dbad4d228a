// Millisecond timers and the sleep every loop uses.
#include "runtime/core/lifecycle.h"
#include "runtime/platform/platform.h"

namespace {
bool started = false;
uint32_t timerZero = 0;
float timerOffset = 0.0f;
}  // namespace

float ElapsedMs() {
    if (!started) {
        started = true;
        timerZero = Platform::Ticks();
    }
    return static_cast<float>(Platform::Ticks() - timerZero);
}

float TimerMs() { return ElapsedMs() - timerOffset; }

void SetTimerOffset(float elapsed) { timerOffset = elapsed; }

// The platform resumes the sleep after interruptions (the headless twin advances its clock).
void SleepMs(unsigned ms) { Platform::Sleep(ms); }
