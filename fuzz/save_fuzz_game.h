// What the save fuzzers and their seed maker share: the real game started on the headless twin
// in a folder of its own, played for a while by a finger that swipes over the board.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/shell/main_routine.h"
#include "game/state/globals.h"
#include "runtime/core/entry.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/lifecycle.h"
#include "runtime/platform/null_platform.h"

namespace save_fuzz {

inline std::string& Folder() {
    static std::string folder;
    return folder;
}

inline std::string PathOf(const char* name) { return Folder() + "/" + name; }

inline void RemoveFolder() {
    for (const char* name : {"squibly.ach", "squibly.dat", "squibly.rat", "squibly.sav", "squibly.tes", "badsquib.dat"})
        unlink(PathOf(name).c_str());
    rmdir(Folder().c_str());
}

// The runtime once per process, as main starts it, and an empty game folder in memory.
inline void StartRuntime() {
    setenv("SQUIBLY_SEED", "7", 1);
    setenv("SQUIBLY_START_MODE", "arcade", 1);
    NullPlatform::SetDisplaySize(768, 1024);
    SetCallbackTable(CALLBACK_TABLE);
    GameStartupHook();
    RuntimeInit(0, 0, ApplicationName().c_str());
    ClearErrorState();
    struct stat info;
    std::string pattern = (stat("/dev/shm", &info) == 0 ? "/dev/shm" : "/tmp") + std::string("/squibly-fuzz-XXXXXX");
    Folder() = mkdtemp(pattern.data());
    // The game folder goes with the process (the quit callback, after it, finds nowhere to save).
    atexit(RemoveFolder);
}

inline void WriteFile(const char* name, const uint8_t* data, size_t size) {
    FILE* f = fopen(PathOf(name).c_str(), "wb");
    if (!f) abort();
    if (size > 0 && fwrite(data, 1, size, f) != size) abort();
    fclose(f);
}

inline void RemoveSaveFiles() {
    for (const char* name : {"squibly.ach", "squibly.dat", "squibly.rat", "squibly.sav", "squibly.tes", "badsquib.dat"})
        unlink(PathOf(name).c_str());
}

// The whole start-up, in the game folder, as the game starts beside its files.
inline void Start() {
    NullPlatform::SetPointer(0, 0, 0);
    tickInputHook = nullptr;
    lifecycleRequest = 0;
    quitRequested = 0;
    SetCurrentDir(Folder().c_str());
    GameStartup();
}

inline void SwipingFinger() {
    long long t = logicTickCount % 30;
    int cell = static_cast<int>(logicTickCount / 30 % 30);
    float x = 35 + 50 * (cell % 6), y = 35 + 50 * (cell / 6 % 6);
    if (t >= 5 && t < 10) x += cell % 2 ? 50 : -50;
    NullPlatform::SetPointer(static_cast<int>(x * scaleX + offsetX), static_cast<int>(y * scaleY + offsetY),
                             t < 10 ? 1u : 0u);
}

// Frames of the real loop; false once the game asked to quit.
inline bool Play(int frames) {
    tickInputHook = SwipingFinger;
    for (int i = 0; i < frames; ++i)
        if (!RunFrame()) return false;
    return true;
}

}  // namespace save_fuzz
