// What the player learns when a save fails: a line on standard output always, and the
// save-error screen where waiting for a tap is allowed.
#include <cstdio>

#include "game/shell/save_files.h"
#include "runtime/core/files.h"
#include "runtime/core/lifecycle.h"
#include "runtime/graphics/font.h"

namespace {
// While the screen waits, the pause and quit paths may save again and fail again; they print
// and go on instead of opening a second screen inside the first.
bool screenWaiting = false;
}  // namespace

void ShowSaveErrorScreen() {
    screenWaiting = true;
    ShowScreen();
    DrawFontText("OH NO! Can't save settings", 0, 50, 0);
    DrawFontText("If this problem persists or occurs every so often", 0, 70, 0);
    DrawFontText("Please contact developer for support", 0, 90, 0);
    DrawFontText("Tap the screen to continue", 0, 110, 0);
    ShowScreen();
    WaitInput();
    screenWaiting = false;
}

void ReportSaveFailure(const char* what, bool mayWait) {
    printf("can't save %s: %s\n", what, LastWriteFailure().c_str());
    fflush(stdout);
    if (mayWait && !screenWaiting) ShowSaveErrorScreen();
}
