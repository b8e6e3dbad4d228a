// Rendering through the real display path (SDL window, EGL, OpenGL ES 1.1) with pixels read
// back before the swap. Runs under Xvfb; SQUIBLY_DISPLAY=1024x768 runs it in orientation 3.
#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/platform.h"

namespace {

struct Rgba { int r, g, b, a; };

// The back buffer read with glReadPixels (before any swap), addressed in device or virtual pixels.
class BackBuffer {
public:
    void Read(int deviceWidth, int deviceHeight, int orientation) {
        W = deviceWidth, H = deviceHeight, orient = orientation;
        pixels.assign(static_cast<size_t>(W) * H * 4, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }
    // Pixel at device column x, device row y counted from the top.
    Rgba Device(int x, int y) const {
        const uint8_t* p = pixels.data() + (static_cast<size_t>(H - 1 - y) * W + x) * 4;
        return {p[0], p[1], p[2], p[3]};
    }
    // Pixel at virtual-screen (x, y). The turn is written out here on its own, apart from
    // the runtime's mapping: orientation 3 shows the portrait screen on a landscape device
    // with the screen's top edge along the device's left edge.
    Rgba Virtual(int x, int y) const { return orient == 3 ? Device(y, H - 1 - x) : Device(x, y); }
    int W = 0, H = 0, orient = 0;
    std::vector<uint8_t> pixels;
};

bool Near(const Rgba& c, int r, int g, int b, int tolerance = 2) {
    auto close = [tolerance](int a, int e) { return a - e <= tolerance && e - a <= tolerance; };
    return close(c.r, r) && close(c.g, g) && close(c.b, b);
}

class DisplayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(Platform::InitSystem(0x21)) << Platform::LastError();
        graphicsDevice = new GraphicsDevice();
        ASSERT_EQ(graphicsDevice->SetScreen(0, 768, 1024, 0, 60, 0), 1);
        ASSERT_TRUE(Platform::HasGL()) << "no GL context: " << Platform::LastError();
        SetFrameRateLimit(-1);
    }
    void TearDown() override {
        delete graphicsDevice;
        graphicsDevice = nullptr;
        Platform::CloseWindow();
        Platform::QuitSystem();
    }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new DisplayEnvironment);

// Two triangles over the screen rectangle (x0, y0)-(x1, y1) showing texels (tx0, ty0)-(tx1, ty1).
void AddRect(float x0, float y0, float x1, float y1, float colour, float tx0 = 0, float ty0 = 0, float tx1 = 0, float ty1 = 0) {
    const float v[6][4] = {{x0, y0, tx0, ty0}, {x0, y1, tx0, ty1}, {x1, y1, tx1, ty1},
                           {x1, y1, tx1, ty1}, {x1, y0, tx1, ty0}, {x0, y0, tx0, ty0}};
    for (const auto& p : v) AddPolygonVertex(p[0], p[1], p[2], p[3], colour);
}
void FillRect(float x0, float y0, float x1, float y1, uint32_t colour) {
    BeginPolygonBatch(-1, 1);
    AddRect(x0, y0, x1, y1, float(colour));
    EndPolygonBatch();
}
void SpriteRect(int id, float x0, float y0, float x1, float y1, float tx1, float ty1) {  // texels from (0, 0)
    BeginPolygonBatch(float(id), 1);
    AddRect(x0, y0, x1, y1, 16777215.0f, 0, 0, tx1, ty1);
    EndPolygonBatch();
}

// An 8 x 6 picture whose every texel differs: red grows along x, green along y.
Rgba Texel(int x, int y) { return {20 + x * 30, 10 + y * 40, 200, 255}; }
DecodedImage Gradient() {
    DecodedImage img;
    img.width = 8, img.height = 6, img.hasAlpha = true;
    for (int i = 0; i < 48; ++i) img.rgba.insert(img.rgba.end(), {uint8_t(Texel(i % 8, i / 8).r), uint8_t(Texel(i % 8, i / 8).g), 200, 255});
    return img;
}

struct Probe { int x, y, r, g, b; };

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        graphicsDevice->Reset2DState();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override { graphicsDevice->PresentFrame(); }
    void Read() {
        glFinish();
        buffer.Read(graphicsDevice->deviceWidth, graphicsDevice->deviceHeight, graphicsDevice->Orientation);
    }
    // Virtual-screen pixels of the w x h area at (x0, y0) that differ from want(x, y).
    template <class F>
    long Mismatches(int x0, int y0, int w, int h, F want) const {
        long wrong = 0;
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) {
                const Rgba e = want(x, y);
                wrong += !Near(buffer.Virtual(x, y), e.r, e.g, e.b, 0);
            }
        }
        return wrong;
    }
    void ExpectPixels(std::initializer_list<Probe> probes, int tolerance = 0) const {
        for (const Probe& p : probes) {
            const Rgba got = buffer.Virtual(p.x, p.y);
            EXPECT_TRUE(Near(got, p.r, p.g, p.b, tolerance))
                << "at " << p.x << "," << p.y << " got " << got.r << " " << got.g << " " << got.b;
        }
    }
    BackBuffer buffer;
};

// Filled rectangles, and a sprite drawn over twice its width: its texels right way up, then the
// transparent padding, which the alpha test drops.
TEST_F(RenderTest, RectanglesAndTexelsLandWhereTheVirtualScreenPutsThem) {
    struct Box {
        int x0, y0, x1, y1;
        uint32_t colour;
        Rgba rgb;
    };
    const Box boxes[] = {
        {10, 20, 110, 70, 0x0000FF, {255, 0, 0, 0}},          // red, near the top-left
        {700, 900, 768, 1024, 0x00FF00, {0, 255, 0, 0}},      // green, in the bottom-right corner
        {0, 0, 5, 5, 0xFF0000, {0, 0, 255, 0}},               // blue, the very corner
        {300, 500, 301, 800, 0xFFFFFF, {255, 255, 255, 0}},   // a one-pixel column
    };
    for (const Box& b : boxes) FillRect(b.x0, b.y0, b.x1, b.y1, b.colour);
    ASSERT_EQ(UploadImageToSprite(Gradient(), 40, true), 1);
    SetTextureFiltering(0);
    const int S = 4;  // each texel becomes a 4 x 4 block
    SpriteRect(40, 400, 200, 400 + 16 * S, 200 + 6 * S, 16, 6);
    Read();
    EXPECT_EQ(Mismatches(0, 0, 768, 1024, [&](int x, int y) {
                  Rgba c{0, 0, 0, 0};
                  for (const Box& b : boxes) {
                      if (x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1) c = b.rgb;
                  }
                  if (x >= 400 && x < 400 + 8 * S && y >= 200 && y < 200 + 6 * S) c = Texel((x - 400) / S, (y - 200) / S);
                  return c;
              }),
              0);
    // Physically: in orientation 3 the screen's top-left corner is the device's bottom-left.
    const bool turned = std::getenv("SQUIBLY_DISPLAY") && std::strcmp(std::getenv("SQUIBLY_DISPLAY"), "1024x768") == 0;
    ASSERT_EQ(graphicsDevice->Orientation, turned ? 3 : 0);
    EXPECT_TRUE(Near(buffer.Device(0, turned ? 767 : 0), 0, 0, 255, 0));
    EXPECT_TRUE(Near(buffer.Device(turned ? 1023 : 767, turned ? 0 : 1023), 0, 255, 0, 0));
}

TEST_F(RenderTest, AnOpaqueFrontIsDrawnUnblendedTheRestBlendsOverItAndTheKeyColourIsDropped) {
    FillRect(0, 0, 768, 1024, 0xFF0000);  // blue, which the opaque front must hide
    BeginPolygonBatch(-1, 1);
    SetBlendMode(-0.3f);                  // the front's vertices carry a faint alpha...
    AddRect(0, 0, 200, 100, 0x0000FF);
    MarkOpaqueVertices();
    SetBlendMode(-0.5f);
    AddRect(100, 0, 300, 100, 0xFFFFFF);
    EndPolygonBatch();                    // with blending on
    // A grey at 70 % drawn opaque over black looks like white at alpha 0.7 blended over it.
    SetBlendMode(0);
    FillRect(0, 200, 300, 300, 0x000000);
    SetBlendMode(-1);
    BeginPolygonBatch(-1, 1);
    AddRect(0, 200, 100, 300, 178 * 65793.0f);
    MarkOpaqueVertices();
    SetBlendMode(-0.7f);
    AddRect(100, 200, 200, 300, 0xFFFFFF);
    EndPolygonBatch();
    SetBlendMode(-1);
    FillRect(400, 200, 450, 250, 0x8000FF);  // the key colour: the alpha test drops it
    Read();
    ExpectPixels({{50, 50, 255, 0, 0}, {420, 220, 0, 0, 255}});  // ...but it hides the blue entirely
    ExpectPixels({{150, 50, 255, 127, 127}, {250, 50, 127, 127, 255}}, 2);
    const Rgba opaque = buffer.Virtual(50, 250), blended = buffer.Virtual(150, 250);
    EXPECT_TRUE(Near(opaque, blended.r, blended.g, blended.b, 1))
        << opaque.r << " " << opaque.g << " " << opaque.b << " against " << blended.r << " " << blended.g << " " << blended.b;
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "blending is on again after the front";
    EXPECT_EQ(graphicsDevice->GlStateCache.Word(GL_BLEND), 1u);
}

}  // namespace
