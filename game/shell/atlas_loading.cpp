// Loads the main and tutorial atlases and fills the atlas table, moving the loading bar between.
#include "game/draw/draw.h"

#include "game/state/globals.h"
#include "game/shell/resources.h"
#include "runtime/core/files.h"
#include "runtime/graphics/sprites.h"

void LoadAtlases() {
    SetCurrentDir(mediaDir);
    LoadSpriteImage("textatlas1.png", 3);
    ShowLoadingProgress(13, loadingStepCount);
    LoadSpriteImage("textatlastut.png", 4);
    ShowLoadingProgress(23, loadingStepCount);
    FillGlyphTable();
    ShowLoadingProgress(24, loadingStepCount);
}
