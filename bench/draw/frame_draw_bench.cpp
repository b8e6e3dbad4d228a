// Building the batch of one full game frame (background bands, bubbles, the dealt board, the
// selection, clock bar, information panel, a reward star and burst pieces, a banner) with the
// real atlas table. Reports vertices per frame beside the time.
#include <benchmark/benchmark.h>

#include "game/draw/draw.h"
#include "game/play/play.h"
#include "game/play/screen_effects.h"
#include "game/draw/game_screen_layers.h"
#include "game/state/globals.h"
#include "game/shell/menu_background.h"
#include "game/shell/resources.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/platform.h"

namespace {

const int ATLAS = 3;

void SetUpGame() {
    if (graphicsDevice) return;
    Platform::InitSystem(0x21);
    graphicsDevice = new GraphicsDevice();
    graphicsDevice->SetScreen(0, 768, 1024, 0, 60, 0);
    DecodedImage atlas;
    atlas.width = atlas.height = 1024;
    atlas.rgba.assign(1024 * 1024 * 4, 200);
    UploadImageToSprite(atlas, ATLAS, false);

    DimensionPlayTables();
    titleWave.DimArray(600);
    textWave.DimArray(600);
    dipTable.DimArray(90);
    BuildWaveTables();
    FillGlyphTable();
    SeedGameRandom(7);
    LayoutBubbles();
    for (int i = 0; i < BUBBLE_COUNT; ++i) bubbleY(i) -= 400;  // on screen
    scalingOn = 1;
    scaleX = scaleY = 2.1333f;
    gameMode = 1;
    StartNewGame();
    DealBoard();
    for (int i = 0; i <= 35; ++i) {  // settled on the board
        creatures(i).y = creatures(i).row * 50;
        creatures(i).state = 1;
    }
    runState = 2;
    hudAlpha = -1;
    controlsAlpha = -1;
    selectedCell = 8;
    selectedX = 60;
    selectedY = 60;
    busyCount = 0;
    score = 12345;
    popupValue(0) = 250;
    popupTimer(0) = 30;
    popupX(0) = 150;
    popupY(0) = 150;
    effectTimer(0) = 40;
    for (int s = 2; s < 10; ++s) {
        effectTimer(s) = 10;
        effectValue(s) = 64;
        effectX(s) = 20.0f * s;
        effectY(s) = 100;
    }
    bannerKind = 1;
    blinkCounter = 0;
}

void DrawWholeFrame() {
    BeginPolygonBatch(ATLAS, 1);
    SetBlendMode(-0.99f);
    DrawBackgroundLayer();
    DrawBubbleLayer();
    DrawGameScreen();
    SetBlendMode(-0.99f);
    EndPolygonBatch();
}

void BM_GameFrameBatch(benchmark::State& state) {
    SetUpGame();
    lowQuality = state.range(0);
    for (auto _ : state) {
        DrawWholeFrame();
        benchmark::DoNotOptimize(LastBatchVertices().data());
    }
    state.counters["vertices"] = static_cast<double>(LastBatchVertices().size());
    state.SetLabel(lowQuality != 0 ? "low quality" : "full quality");
}
BENCHMARK(BM_GameFrameBatch)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
