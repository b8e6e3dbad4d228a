// One frame of the main loop: lifecycle requests raised by the callbacks, the logic ticks that
// pacing asks for, the frame's single polygon batch, and the action deferred to after the frame.
#include "game/play/screen_effects.h"
#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "game/play/game_audio.h"
#include "game/shell/resources.h"
#include "game/shell/save_files.h"
#include "runtime/audio/music.h"
#include "runtime/core/files.h"
#include "runtime/core/lifecycle.h"
#include "runtime/core/platform_info.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/input/input_state.h"

long long logicTickCount = 0;
void (*tickInputHook)() = nullptr;

namespace {
void ForgetFrameTime() {
    ticksThisFrame = 1;
    resetFrameClock = 1;
    tickDebt = 0;
}
}  // namespace

bool HandleLifecycleRequests() {
    if (quitRequested != 0) {
        // On the way out nothing may wait for a tap: a failed save is printed.
        SaveSettingsNoWait();
        DeleteFile(SaveFilePath(savedGameFile));
        return false;
    }
    while (lifecycleRequest != 0 && startupComplete == 1) {
        if (lifecycleRequest == 1) {
            musicActive = 0;
            LoadGame();
            if (musicActive == 1) {
                if (platform == 0) {
                    PauseMusic(0);
                } else {
                    PlayMusic(musicTrack, musicVolume);
                }
            }
            tickDebt = 0;
            lifecycleRequest = 0;
            resetFrameClock = 1;
            ticksThisFrame = 1;
        } else if (lifecycleRequest == 3) {
            ForgetFrameTime();
            Hibernate();
            ForgetFrameTime();
        } else if (lifecycleRequest == 4) {
            ForgetFrameTime();
            SaveSettingsNoWait();
            SaveGame();
            // The runtime ends the program after the quit callback; should it come back here,
            // the request is spent rather than saving again forever.
            lifecycleRequest = 0;
        } else {
            lifecycleRequest = 0;
        }
    }
    return true;
}

void RunLogicTicks() {
    while (ticksThisFrame > 0) {
        if (tickInputHook) tickInputHook();
        float x = 0, y = 0;
        MouseState(x, y, touchDown, touchDown2);
        if (scalingOn != 0) {
            touchX = (x - offsetX) / scaleX;
            touchY = (y - offsetY) / scaleY;
        } else {
            touchX = x;
            touchY = y;
        }
        tickWorkStarted += 1;
        RunPhaseTick();
        tickWorkFinished += 1;
        AdvanceFrameCounters();
        if (warmupTicks < 60) warmupTicks += 1;
        ticksThisFrame -= 1;
        logicTickCount += 1;
    }
}

void SetFrameView() {
    if (scalingOn != 0) {
        SetViewport(static_cast<int>(offsetX), static_cast<int>(offsetY), static_cast<int>(scaleX * 320),
                    static_cast<int>(scaleY * 480));
    } else {
        SetViewport(0, 0, 320, 480);
    }
    SetTextureFiltering(lowQuality == 1 ? 0 : 1);
}

void DrawFrame() {
    SetFrameView();
    SetAlphaTest(1);
    BeginPolygonBatch(gameMode == 5 ? 4 : 3, 1);
    SetBlendMode(-0.99f);
    DrawCurrentScreen();
    SetBlendMode(-0.99f);
    EndPolygonBatch();
}

void RunDeferredAction() {
    if (deferredAction == 1 || deferredAction == 2) {
        int action = deferredAction;
        deferredAction = 0;
        SaveSettings();
        SaveGame();
        if (action == 2 && !storeLink.Empty()) OpenUrl(storeLink);
    }
}
