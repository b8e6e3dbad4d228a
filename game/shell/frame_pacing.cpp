// Frame pacing: how many fixed logic ticks the next frame runs, so that logic keeps 60 ticks a
// second (50 on a 50 Hz display) whatever the frame rate; and the display-rate classification.
#include <cmath>

#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "runtime/core/lifecycle.h"
#include "runtime/graphics/graphics_device.h"

void PaceFrame() {
    if (resetFrameClock == 0) {
        prevFrameClock = frameClock;
        frameClock = TimerMs();
    } else {
        resetFrameClock = 0;
        frameClock = TimerMs();
        prevFrameClock = frameClock;
    }
    frameElapsed = frameClock - prevFrameClock;
    tickDebt += tickMs - frameElapsed;

    if (frameWindowFull == 0) {
        frameWindowSum += frameElapsed;
    } else {
        frameWindowSum += frameElapsed - frameTimes(frameSampleIndex);
    }
    frameTimes(frameSampleIndex) = frameElapsed;
    frameSampleIndex += 1;
    if (frameSamplesTaken < frameSampleCount) {
        frameSamplesTaken += 1;
        if (frameSamplesTaken == frameSampleCount) frameWindowFull = 1;
    }

    ticksThisFrame = 0;
    if (tickDebt < -tickMs) {
        tickCatchUp = 1;
        float behind = -tickDebt;
        // The division is exact up to rounding: the remainder was taken off first.
        float whole = std::round((behind - std::fmod(behind, tickMs)) / tickMs);
        tickDebt += whole * tickMs;
        ticksThisFrame = whole + 1;
    } else {
        if (tickDebt > tickMs) tickDebt = 0;
        ticksThisFrame = 1;
    }

    if (frameSampleIndex == frameSampleCount) {
        frameSampleIndex = 0;
        DetectRefreshRate(0);
        if (tickCatchUp == 0) tickDebt = 0;
        tickCatchUp = 0;
    }
}

namespace {
int ClassifyWindow(float sumMs) {
    if (sumMs >= 1090 && sumMs <= 1240) return 50;
    if (sumMs >= 967 && sumMs <= 1033) return 60;
    if (sumMs < 909) return -1;
    return 0;
}
}  // namespace

void DetectRefreshRate(float onlyReset) {
    if (onlyReset == 1) {
        rateHistoryIndex = 0;
        return;
    }
    int rate = ClassifyWindow(frameWindowSum);
    rateHistory(rateHistoryIndex) = static_cast<float>(rate);
    rateHistoryIndex += 1;
    if (rateHistoryIndex >= rateHistoryLength) rateHistoryIndex = 0;

    for (int i = 1; i < rateHistoryLength; ++i) {
        if (rateHistory(i) != rateHistory(0)) {
            detectedRate = 0;
            return;
        }
    }
    switch (rate) {
        case 60:
            if (detectedRate != 60) {
                detectedRate = 60;
                tickMs = 1000.0f / 60.0f;
                rateLocked60 = 1;
                tickDebt = 0;
            }
            break;
        case 50:
            if (detectedRate != 50 && rateLocked60 != 1) {
                detectedRate = 50;
                tickDebt = 0;
                tickMs = 20;
            }
            break;
        case -1:
            if (detectedRate != -1) {
                detectedRate = -1;
                frameLimitSet = 1;
                tickMs = 1000.0f / 60.0f;
                tickDebt = 0;
                SetFrameRateLimit(60);
            }
            break;
        default:
            detectedRate = 0;
            break;
    }
}
