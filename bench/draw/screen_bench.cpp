// What each screen costs: the processor time to build its frame's batch, and what that frame asks
// of the rasteriser (vertices, draw calls, pixels covered with and without blending, and blended
// pixels whose vertices were all transparent), on the headless twin at the tablet's 768 x 1024.
// Each screen is reached as a player reaches it, through the flow driver of the shell tests;
// also the logic ticks per second of an idle main menu.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "game/play/screen_effects.h"
#include "game/shell/main_routine.h"
#include "game/shell/resources.h"
#include "game/state/globals.h"
#include "runtime/graphics/draw_stats.h"
#include "runtime/graphics/polygon_batch.h"
#include "tests/shell/flow_driver.h"

namespace {

using namespace Flow;

void FromMenu(int button, float shown) {
    StartFresh();
    UntilShown(1);
    TapMainMenu(button);
    UntilShown(shown);
}

void InGame() {
    StartFresh();
    StartGameFromMenu(1);
    BoardPlayer(true);
    Ticks(300);
    BoardPlayer(false);
}

struct Screen {
    const char* name;
    std::function<void()> enter;
};

const Screen SCREENS[] = {
    {"main_menu", [] { StartFresh(); UntilShown(1); }},
    {"game_mode", [] { FromMenu(0, 2); }},
    {"options", [] { FromMenu(2, 4); }},
    {"challenges", [] { FromMenu(3, 5); }},
    {"high_scores", [] { FromMenu(4, 10); }},
    {"tutorial", [] { FromMenu(1, 3); Ticks(240); }},
    {"arcade_game", [] { InGame(); }},
    {"overlay", [] { InGame(); Ticks(12); Tap(25, 455); Ticks(60); }},
    {"pause_menu", [] { InGame(); Ticks(12); Tap(75, 455); Ticks(60); }},
    {"results", [] {
         InGame();
         Ticks(12);
         Tap(75, 455);
         Tap(280, 305);
         Until([] { return screen == 6 && menuStage == 2; }, 1500);
     }},
};

void Publish(benchmark::State& state, const FrameDrawStats& s) {
    state.counters["vertices"] = s.vertices;
    state.counters["draws"] = s.drawCalls;
    state.counters["blended_px"] = s.blendedPixels;
    state.counters["opaque_px"] = s.opaquePixels;
    state.counters["invisible_px"] = s.invisiblePixels;
}

// One presented frame of the screen as it stands, with its figures.
FrameDrawStats OneFrame() {
    EnableDrawStats(true);
    Ticks(1);
    FrameDrawStats s = LastFrameDrawStats();
    EnableDrawStats(false);
    return s;
}

void BM_Screen(benchmark::State& state, const Screen& screenToShow) {
    screenToShow.enter();
    const FrameDrawStats s = OneFrame();
    for (auto _ : state) {
        DrawFrame();
        benchmark::DoNotOptimize(LastBatchVertices().data());
    }
    Publish(state, s);
    state.SetLabel("screen " + std::to_string(static_cast<int>(screen)));
}

void BM_LoadingScreen(benchmark::State& state) {
    StartFresh();
    EnableDrawStats(true);
    ShowLoadingProgress(40, 73);
    const FrameDrawStats s = LastFrameDrawStats();
    EnableDrawStats(false);
    for (auto _ : state) ShowLoadingProgress(40, 73);
    Publish(state, s);
}

void BM_LogicTicksIdleMainMenu(benchmark::State& state) {
    StartFresh();
    UntilShown(1);
    for (auto _ : state) {
        RunPhaseTick();
        AdvanceFrameCounters();
    }
    state.SetItemsProcessed(state.iterations());
}

const bool registered = [] {
    for (const Screen& s : SCREENS) benchmark::RegisterBenchmark((std::string("BM_Screen/") + s.name).c_str(), BM_Screen, s);
    benchmark::RegisterBenchmark("BM_LoadingScreen", BM_LoadingScreen);
    benchmark::RegisterBenchmark("BM_LogicTicksIdleMainMenu", BM_LogicTicksIdleMainMenu);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
