// Starts the runtime once per test process on the headless twin, as main does for the game.
#pragma once

#include "runtime/core/entry.h"
#include "runtime/core/error_state.h"
#include "runtime/core/lifecycle.h"
#include "runtime/platform/null_platform.h"

inline void StartRuntimeOnce() {
    static bool started = false;
    if (started) return;
    started = true;
    NullPlatform::SetDisplaySize(768, 1024);
    SetCallbackTable(CALLBACK_TABLE);
    GameStartupHook();
    RuntimeInit(0, 0, ApplicationName().c_str());
    ClearErrorState();
}
