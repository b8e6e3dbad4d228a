// Logic ticks per second of a board kept busy with clears and cascades, and the batch-building
// cost of one whole game frame as the main loop draws it, both on the headless twin after the
// real start-up (media from the build folder when it is there).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "game/play/screen_effects.h"
#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "runtime/core/device_services.h"
#include "runtime/core/entry.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/lifecycle.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/platform/null_platform.h"

namespace {

void StartGameOnce() {
    static bool started = false;
    if (started) return;
    started = true;
    setenv("SQUIBLY_START_MODE", "zen", 1);   // no clock: the game never ends
    setenv("SQUIBLY_SEED", "2024", 1);
    NullPlatform::SetDisplaySize(768, 1024);
    SetCallbackTable(CALLBACK_TABLE);
    GameStartupHook();
    RuntimeInit(0, 0, ApplicationName().c_str());
    ClearErrorState();
    // A folder of its own beside the build's Media: a game saved in build/ would be resumed.
    std::string folder = "/tmp/squibly-bench-XXXXXX";
    if (mkdtemp(folder.data())) {
        symlink((std::string(SQUIBLY_GAME_DIR) + "/Media").c_str(), (folder + "/Media").c_str());
        SetCurrentDir(folder.c_str());
    } else {
        SetCurrentDir(SQUIBLY_GAME_DIR);
    }
    GameStartup();
    for (int i = 0; i < 240; ++i) RunFrame();   // dealt, swept in, running
}

// Whenever the board comes to rest, scramble its kinds (eggs and unused power-ups included, or
// they pile up) and send it to the group search, so every tick has clears, falls, landings or
// a cascade in flight.
void KeepBusy() {
    if (boardPhase != 2) return;
    for (int i = 0; i < 36; ++i) {
        creatures(i).kind = GameRandom(3) + 1;
    }
    boardPhase = 3;
}

void BM_LogicTicksBusyBoard(benchmark::State& state) {
    StartGameOnce();
    long long clears = 0;
    float lastScore = score;
    for (auto _ : state) {
        KeepBusy();
        PlayingTick();
        AdvanceFrameCounters();
        if (score != lastScore) {
            ++clears;
            lastScore = score;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["score_changes"] = static_cast<double>(clears);
    state.counters["score"] = score;
    state.counters["level"] = level;
}
BENCHMARK(BM_LogicTicksBusyBoard);

void DrawGameFrame(benchmark::State& state, float quality) {
    StartGameOnce();
    lowQuality = quality;
    KeepBusy();
    for (int i = 0; i < 30; ++i) PlayingTick();   // mid-cascade: falling and landing creatures
    size_t vertices = 0;
    for (auto _ : state) {
        DrawFrame();
        vertices = LastBatchVertices().size();
        benchmark::DoNotOptimize(vertices);
    }
    state.counters["vertices_per_frame"] = static_cast<double>(vertices);
    state.SetItemsProcessed(state.iterations());
    lowQuality = 0;
}

void BM_DrawGameFrame(benchmark::State& state) { DrawGameFrame(state, 0); }
void BM_DrawGameFrameLowQuality(benchmark::State& state) { DrawGameFrame(state, 1); }
BENCHMARK(BM_DrawGameFrame);
BENCHMARK(BM_DrawGameFrameLowQuality);

// A whole frame of the main loop: ticks, drawing, ShowScreen on the virtual clock, pacing.
void BM_RunFrame(benchmark::State& state) {
    StartGameOnce();
    for (auto _ : state) {
        KeepBusy();
        RunFrame();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RunFrame);

}  // namespace

BENCHMARK_MAIN();
