#include "tests/draw/draw_fixture.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "game/state/globals.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"

namespace {
const float SIDE = 1024;
const int SPRITE = 3;

// A table's bounds error ends the program with exit code 0, which would pass a test silently:
// an exit while a test runs (outside a death test's child) is made a failure.
bool testRunning = false;
struct ExitWatch : testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { testRunning = true; }
    void OnTestEnd(const testing::TestInfo&) override { testRunning = false; }
};
const bool watching = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new ExitWatch);
    return std::atexit([] {
               if (!testRunning || testing::internal::InDeathTestChild()) return;
               std::fputs("the program ended inside a test\n", stderr);
               _exit(1);
           }) == 0;
}();
}  // namespace

void DrawTest::SetUp() {
    // The runtime owns the device through its global pointer (a fatal error's shutdown deletes it).
    if (!graphicsDevice) {
        graphicsDevice = new GraphicsDevice();
        DecodedImage image;
        image.width = image.height = static_cast<int>(SIDE), image.hasAlpha = true;
        image.rgba.assign(static_cast<size_t>(image.width) * image.height * 4, 255);
        ASSERT_EQ(UploadImageToSprite(image, SPRITE, false), 1);
    }
    DimensionPlayTables();
    glyphTable.DimArray(122, 48, 4);
    for (int i = 0; i < 122; ++i)
        for (int f = 0; f < 48; ++f) SetRect(i, f, 340 + 13 * f, 8 * i, 12, 7);
    titleWave.DimArray(600);
    textWave.DimArray(600);
    for (int k = 0; k < 600; ++k) {
        titleWave(k) = static_cast<float>(5 * std::sin((3 * k % 360) * M_PI / 180));
        textWave(k) = static_cast<float>(5 * std::sin((2 * k % 360) * M_PI / 180));
    }
    scalingOn = titleWavePhase = lowQuality = 0;
    scaleX = scaleY = 1;
    brightness = -1;
    SetBlendMode(-1);
}

void DrawTest::SetRect(int item, int frame, int x, int y, int w, int h) {
    const int r[4] = {x, y, w, h};
    for (int k = 0; k < 4; ++k) glyphTable(item, frame, k) = r[k];
}

void DrawTest::Begin() { BeginPolygonBatch(SPRITE, 1); }

std::vector<Quad> DrawTest::Quads() {
    const std::vector<BatchVertex>& vs = LastBatchVertices();
    EXPECT_EQ(vs.size() % 6, 0u) << "every picture is six vertices";
    std::vector<Quad> quads;
    for (size_t q = 0; q + 6 <= vs.size(); q += 6) {
        Quad quad;
        for (int k = 0; k < 6; ++k) {
            const BatchVertex& b = vs[q + k];
            quad.p[k] = {b.x, b.y, b.s * SIDE, SIDE - b.t * SIDE, b.a};
        }
        for (int i = 0; i < 122 && quad.item < 0; ++i)
            for (int f = 0; f < 48 && quad.item < 0; ++f)
                if (glyphTable(i, f, 0) == quad.p[0].u && glyphTable(i, f, 1) == quad.p[0].v) {
                    quad.item = i;
                    quad.frame = f;
                }
        quads.push_back(quad);
    }
    return quads;
}
