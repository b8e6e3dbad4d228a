// Building and ending a polygon batch of 300 atlas rectangles (six vertices each), as the
// game's screens do every frame. On the headless twin this is the runtime's own cost; with
// a GL context (batch_bench_gl under X) it includes handing the batch to the driver.
#include <benchmark/benchmark.h>

#include <GLES/gl.h>

#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/platform.h"

namespace {
const int RECTS = 300;
const int ATLAS = 1;

void OpenDevice() {
    if (graphicsDevice) return;
    Platform::InitSystem(0x21);
    graphicsDevice = new GraphicsDevice();
    graphicsDevice->SetScreen(0, 768, 1024, 0, 60, 0);
    DecodedImage atlas;
    atlas.width = atlas.height = 512;
    atlas.rgba.assign(512 * 512 * 4, 200);
    UploadImageToSprite(atlas, ATLAS, false);
}

void AddRects() {
    for (int i = 0; i < RECTS; ++i) {
        const float x = (i % 20) * 36.0f, y = (i / 20) * 36.0f;
        const float tx = (i % 16) * 32.0f, ty = (i / 16 % 16) * 32.0f;
        const float colour = (i % 7 == 0) ? 0x80C0FF : 16777215.0f;
        AddPolygonVertex(x, y, tx, ty, colour);
        AddPolygonVertex(x, y + 32, tx, ty + 32, colour);
        AddPolygonVertex(x + 32, y + 32, tx + 32, ty + 32, colour);
        AddPolygonVertex(x + 32, y + 32, tx + 32, ty + 32, colour);
        AddPolygonVertex(x + 32, y, tx + 32, ty, colour);
        AddPolygonVertex(x, y, tx, ty, colour);
    }
}

void BM_BatchOf300Rectangles(benchmark::State& state) {
    OpenDevice();
    SetBlendMode(-1);
    for (auto _ : state) {
        BeginPolygonBatch(ATLAS, 1);
        AddRects();
        EndPolygonBatch();
        if (Platform::HasGL()) glFlush();
        benchmark::DoNotOptimize(LastBatchVertices().data());
    }
    state.SetItemsProcessed(state.iterations() * RECTS);
    state.counters["per_rect"] = benchmark::Counter(static_cast<double>(RECTS),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BatchOf300Rectangles);

// With the driver's work finished inside the measurement (llvmpipe rasterises on the CPU).
void BM_BatchOf300RectanglesDrawn(benchmark::State& state) {
    OpenDevice();
    if (!Platform::HasGL()) {
        state.SkipWithError("no GL context (headless twin)");
        return;
    }
    SetBlendMode(-1);
    for (auto _ : state) {
        BeginPolygonBatch(ATLAS, 1);
        AddRects();
        EndPolygonBatch();
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * RECTS);
    state.counters["per_rect"] = benchmark::Counter(static_cast<double>(RECTS),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BatchOf300RectanglesDrawn);
}  // namespace

BENCHMARK_MAIN();
