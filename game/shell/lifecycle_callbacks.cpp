// The three lifecycle callbacks: the game saves itself when the device pauses or quits it, and
// asks the frame loop to reload it on resume. Neither save may wait for a tap: a pause or a quit
// always goes through, and a failed save is only printed.
#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "game/shell/save_files.h"
#include "runtime/audio/music.h"

void KrtOnPause() {
    if (startupComplete != 1) return;
    tickDebt = 0;
    ticksThisFrame = 1;
    resetFrameClock = 1;
    SaveSettingsNoWait();
    SaveGame();
    lifecycleRequest = 3;
    if (platform == 0 || platform == 4) PauseMusic(1);
}

void KrtOnQuit() {
    if (startupComplete != 1) return;
    tickDebt = 0;
    ticksThisFrame = 1;
    resetFrameClock = 0;
    SaveSettingsNoWait();
    SaveGame();
    lifecycleRequest = 4;
}

void KrtOnResume() {
    if (startupComplete != 1) return;
    lifecycleRequest = 1;
}
