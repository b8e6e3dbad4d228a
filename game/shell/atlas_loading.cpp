// Loads the main and tutorial atlases and fills the atlas table, moving the loading bar between.
#include <cstdio>

#include "game/draw/draw.h"

#include "game/state/globals.h"
#include "game/shell/resources.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/graphics/sprites.h"

void LoadAtlasPicture(const char* file, float sprite) {
    LoadSpriteImage(file, sprite);
    if (ErrorCode() == 0 || !MediaFolderFound()) return;   // a missing folder was reported already
    const char* why = FileExists(file) ? "not a picture the game can read" : "no such file";
    std::fprintf(stderr, "Can't load %s from %s: %s\n", file, mediaDir.c_str(), why);
}

void LoadAtlases() {
    SetCurrentDir(mediaDir);
    LoadAtlasPicture("textatlas1.png", 3);
    ShowLoadingProgress(13, loadingStepCount);
    LoadAtlasPicture("textatlastut.png", 4);
    ShowLoadingProgress(23, loadingStepCount);
    FillGlyphTable();
    ShowLoadingProgress(24, loadingStepCount);
}
