// Shared set-up for the drawing tests (see draw_fixture.h).
#include "tests/draw/draw_fixture.h"

#include <cmath>

#include "game/shell/globals.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"

namespace {

void EnsureDeviceAndAtlas() {
    // The runtime owns the device through its global pointer (the shutdown of a fatal error deletes it).
    if (graphicsDevice) return;
    graphicsDevice = new ZiruZADavuzovi();
    DecodedImage image;
    image.width = image.height = static_cast<int>(ATLAS_SIDE);
    image.rgba.assign(static_cast<size_t>(image.width) * image.height * 4, 255);
    image.hasAlpha = true;
    ASSERT_EQ(UploadImageToSprite(image, TEST_SPRITE, false), 1);
}

}  // namespace

void DrawTest::SetUp() {
    EnsureDeviceAndAtlas();
    DimensionPlayTables();
    FillSyntheticAtlas();
    titleWave.DimArray(600);
    textWave.DimArray(600);
    for (int k = 0; k < 600; ++k) {
        titleWave(k) = Wave(k);
        textWave(k) = static_cast<float>(5 * std::sin((2 * k % 360) * M_PI / 180));
    }
    scalingOn = 0;
    scaleX = scaleY = 1;
    titleWavePhase = 0;
    lowQuality = 0;
    brightness = -1;
    SetBlendMode(-1);
}

void DrawTest::FillSyntheticAtlas() {
    glyphTable.DimArray(122, 48, 4);
    for (int i = 0; i < 122; ++i)
        for (int f = 0; f < 48; ++f) SetRect(i, f, 340 + 13 * f, 8 * i, 12, 7);
}

void DrawTest::SetRect(int item, int frame, int x, int y, int w, int h) {
    glyphTable(item, frame, 0) = x;
    glyphTable(item, frame, 1) = y;
    glyphTable(item, frame, 2) = w;
    glyphTable(item, frame, 3) = h;
}

void DrawTest::Begin() {
    BeginPolygonBatch(TEST_SPRITE, 1);
}

float DrawTest::Wave(int k) {
    return static_cast<float>(5 * std::sin((3 * k % 360) * M_PI / 180));
}

std::vector<Quad> DrawTest::Quads() {
    const std::vector<BatchVertex>& vs = LastBatchVertices();
    EXPECT_EQ(vs.size() % 6, 0u) << "every picture is six vertices";
    std::vector<Quad> quads;
    for (size_t q = 0; q + 6 <= vs.size(); q += 6) {
        Quad quad;
        for (int k = 0; k < 6; ++k) {
            const BatchVertex& b = vs[q + k];
            quad.p[k] = {b.x, b.y, b.s * ATLAS_SIDE, ATLAS_SIDE - b.t * ATLAS_SIDE, b.a};
        }
        // Which table entry starts at this texel (tests keep their rectangles apart).
        for (int i = 0; i < 122 && quad.item < 0; ++i)
            for (int f = 0; f < 48; ++f)
                if (glyphTable(i, f, 0) == quad.p[0].u && glyphTable(i, f, 1) == quad.p[0].v) {
                    quad.item = i;
                    quad.frame = f;
                    break;
                }
        quads.push_back(quad);
    }
    return quads;
}

std::string Describe(const std::vector<Quad>& quads) {
    std::string s;
    for (const Quad& q : quads) s += (q.item < 0 ? std::string("bg") : std::to_string(q.item) + "/" + std::to_string(q.frame)) + " ";
    return s;
}
