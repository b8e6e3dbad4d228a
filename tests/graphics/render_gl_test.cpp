// Rendering through the real display path (SDL window, EGL, OpenGL ES 1.1) with pixels read
// back before the swap. Runs under Xvfb; SQUIBLY_DISPLAY=1024x768 runs it in orientation 3.
#include <GLES/gl.h>
#include <GLES/glext.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "runtime/core/error_state.h"
#include "runtime/core/kstring.h"
#include "runtime/graphics/font.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/offscreen.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/platform.h"
#include "tests/graphics/gl_readback.h"
#include "tests/graphics/test_files.h"

namespace {

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
void Quad(int sprite, float x0, float y0, float x1, float y1, float colour, float tx0 = 0, float ty0 = 0,
          float tx1 = 0, float ty1 = 0) {
    BeginPolygonBatch(static_cast<float>(sprite), 1);
    const float v[6][4] = {{x0, y0, tx0, ty0}, {x0, y1, tx0, ty1}, {x1, y1, tx1, ty1},
                           {x1, y1, tx1, ty1}, {x1, y0, tx1, ty0}, {x0, y0, tx0, ty0}};
    for (const auto& p : v) AddPolygonVertex(p[0], p[1], p[2], p[3], colour);
    EndPolygonBatch();
}
void FillRect(float x0, float y0, float x1, float y1, uint32_t colour) {
    Quad(-1, x0, y0, x1, y1, static_cast<float>(colour));
}
void SpriteRect(int id, float x0, float y0, float x1, float y1, float tx0, float ty0, float tx1, float ty1) {
    Quad(id, x0, y0, x1, y1, 16777215.0f, tx0, ty0, tx1, ty1);
}

// An 8 x 6 picture whose every texel differs: red grows along x, green along y.
Rgba Texel(int x, int y) { return {20 + x * 30, 10 + y * 40, 200, 255}; }
DecodedImage Gradient() {
    DecodedImage img;
    img.width = 8, img.height = 6, img.hasAlpha = true;
    for (int i = 0; i < 48; ++i) img.rgba.insert(img.rgba.end(), {uint8_t(Texel(i % 8, i / 8).r), uint8_t(Texel(i % 8, i / 8).g), 200, 255});
    return img;
}

struct Probe {
    int x, y, r, g, b;
};

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

TEST_F(RenderTest, DisplayTakesTheOrientationOfTheEmulatedDevice) {
    const bool landscape = std::getenv("SQUIBLY_DISPLAY") && std::strcmp(std::getenv("SQUIBLY_DISPLAY"), "1024x768") == 0;
    EXPECT_EQ(graphicsDevice->Orientation, landscape ? 3 : 0);
    EXPECT_EQ(graphicsDevice->deviceWidth, landscape ? 1024 : 768);
    float w = 0, h = 0;
    GetScreenSize(w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(768.0f, 1024.0f));
}

TEST_F(RenderTest, RectanglesLandWhereTheVirtualScreenPutsThem) {
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
    Read();
    EXPECT_EQ(Mismatches(0, 0, 768, 1024, [&](int x, int y) {
                  Rgba c{0, 0, 0, 0};
                  for (const Box& b : boxes) {
                      if (x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1) c = b.rgb;
                  }
                  return c;
              }),
              0);
    // Physically: in orientation 3 the screen's top-left corner is the device's bottom-left.
    const bool turned = graphicsDevice->Orientation == 3;
    EXPECT_TRUE(Near(buffer.Device(0, turned ? 767 : 0), 0, 0, 255, 0));
    EXPECT_TRUE(Near(buffer.Device(turned ? 1023 : 767, turned ? 0 : 1023), 0, 255, 0, 0));
}

TEST_F(RenderTest, TexturedRectangleRightWayUpMirroredAndFlipped) {
    ASSERT_EQ(UploadImageToSprite(Gradient(), 40, true), 1);
    SetTextureFiltering(0);
    const int S = 4;  // each texel becomes a 4 x 4 block
    SpriteRect(40, 100, 200, 100 + 8 * S, 200 + 6 * S, 0, 0, 8, 6);
    SpriteRect(40, 300, 200, 300 + 8 * S, 200 + 6 * S, 8, 0, 0, 6);  // texel x swapped: mirrored
    SpriteRect(40, 500, 200, 500 + 8 * S, 200 + 6 * S, 0, 6, 8, 0);  // texel y swapped: upside down
    Read();
    EXPECT_EQ(Mismatches(100, 200, 8 * S, 6 * S, [&](int x, int y) { return Texel((x - 100) / S, (y - 200) / S); }), 0);
    EXPECT_EQ(Mismatches(300, 200, 8 * S, 6 * S, [&](int x, int y) { return Texel(7 - (x - 300) / S, (y - 200) / S); }), 0);
    EXPECT_EQ(Mismatches(500, 200, 8 * S, 6 * S, [&](int x, int y) { return Texel((x - 500) / S, 5 - (y - 200) / S); }), 0);
    // Outside the image the padding is transparent and the alpha test drops it.
    SpriteRect(40, 100, 400, 100 + 16 * S, 400 + 6 * S, 0, 0, 16, 6);
    Read();
    ExpectPixels({{100 + 12 * S, 402, 0, 0, 0}, {102, 402, 20, 10, 200}});
}

TEST_F(RenderTest, ColourKeyedTexelsLeaveTheBackgroundAlone) {
    // 4 x 2: yellow, key, key, cyan over key, white, red, key; named .png, read by its content.
    const std::vector<uint8_t> rgb = {255, 255, 0, 255, 0, 128, 255, 0, 128, 0, 255, 255,
                                      255, 0, 128, 255, 255, 255, 255, 0, 0, 255, 0, 128};
    const std::string path = TempFile(Bmp24(4, 2, rgb), ".png");
    ASSERT_FALSE(path.empty());
    LoadSpriteImage(KString(path.c_str()), 41);
    std::remove(path.c_str());
    ASSERT_EQ(ErrorCode(), 0);
    FillRect(0, 0, 768, 1024, 0x505050);
    SetTextureFiltering(0);
    SpriteRect(41, 50, 50, 90, 70, 0, 0, 4, 2);
    Read();
    const int G = 0x50;
    ExpectPixels({{55, 55, 255, 255, 0}, {65, 55, G, G, G}, {75, 55, G, G, G}, {85, 55, 0, 255, 255},
                  {55, 65, G, G, G}, {65, 65, 255, 255, 255}, {75, 65, 255, 0, 0}, {85, 65, G, G, G}});
}

TEST_F(RenderTest, BlendingAndGlobalAlpha) {
    FillRect(0, 0, 768, 1024, 0xFF0000);  // blue everywhere
    SetBlendMode(-0.5f);                  // normal blending at half alpha: byte 127
    FillRect(10, 10, 60, 60, 0xFFFFFF);
    SetBlendMode(1.0f);                   // additive at full alpha
    FillRect(100, 10, 150, 60, 0x0000FF);
    SetBlendMode(0.5f);                   // additive at half alpha
    FillRect(200, 10, 250, 60, 0x0000FF);
    SetBlendMode(0.0f);                   // blending off: alpha plays no part
    FillRect(300, 10, 350, 60, 0x00FF00);
    // A textured sprite under global alpha 0.5 mixes half and half with the background.
    ASSERT_EQ(UploadImageToSprite(Gradient(), 42, true), 1);
    SetTextureFiltering(0);
    SetBlendMode(-0.5f);
    SpriteRect(42, 400, 100, 480, 160, 0, 0, 8, 6);
    Read();
    ExpectPixels({{30, 30, 127, 127, 255}, {120, 30, 255, 0, 255}, {220, 30, 127, 0, 255}}, 2);
    ExpectPixels({{320, 30, 0, 255, 0}, {400, 30, 0, 0, 255}});
    ExpectPixels({{405, 105, 20 * 127 / 255, 10 * 127 / 255, (200 * 127 + 255 * 128) / 255}}, 3);
}

TEST_F(RenderTest, AnOpaqueFrontIsDrawnUnblendedAndTheRestOfTheBatchBlendsOverIt) {
    FillRect(0, 0, 768, 1024, 0xFF0000);  // blue, which the opaque front must hide
    auto add = [](float x0, float y0, float x1, float y1, float colour) {
        const float v[6][2] = {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
        for (const auto& p : v) AddPolygonVertex(p[0], p[1], 0, 0, colour);
    };
    BeginPolygonBatch(-1, 1);
    SetBlendMode(-0.3f);                  // the front's vertices carry a faint alpha...
    add(0, 0, 200, 100, 0x0000FF);
    MarkOpaqueVertices();
    SetBlendMode(-0.5f);
    add(100, 0, 300, 100, 0xFFFFFF);
    EndPolygonBatch();                    // with blending on
    // A grey at 70 % drawn opaque over black looks like white at alpha 0.7 blended over it.
    SetBlendMode(0);
    FillRect(0, 200, 300, 300, 0x000000);
    SetBlendMode(-1);
    BeginPolygonBatch(-1, 1);
    add(0, 200, 100, 300, 178 * 65793.0f);
    MarkOpaqueVertices();
    SetBlendMode(-0.7f);
    add(100, 200, 200, 300, 0xFFFFFF);
    EndPolygonBatch();
    Read();
    ExpectPixels({{50, 50, 255, 0, 0}});                   // ...but it hides the blue entirely
    ExpectPixels({{150, 50, 255, 127, 127}, {250, 50, 127, 127, 255}}, 2);
    const Rgba opaque = buffer.Virtual(50, 250), blended = buffer.Virtual(150, 250);
    EXPECT_TRUE(Near(opaque, blended.r, blended.g, blended.b, 1))
        << opaque.r << " " << opaque.g << " " << opaque.b << " against " << blended.r << " " << blended.g << " " << blended.b;
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "blending is on again after the front";
    EXPECT_EQ(graphicsDevice->GlStateCache.Word(GL_BLEND), 1u);
}

TEST_F(RenderTest, AlphaTestDropsKeyColouredAndFaintVertices) {
    FillRect(0, 0, 768, 1024, 0x00FF00);  // green
    SetBlendMode(-1.0f);
    FillRect(10, 10, 60, 60, 0x8000FF);   // the colour key: alpha 0, dropped by the default test
    SetBlendMode(-0.04f);                 // alpha byte 10 = 0.039: below the default 0.05
    FillRect(100, 10, 150, 60, 0x0000FF);
    SetAlphaTest(0.0f);                   // still on at 0: alpha 0 is dropped
    SetBlendMode(-1.0f);
    FillRect(200, 10, 250, 60, 0x8000FF);
    SetAlphaTest(1.0f);                   // off
    SetBlendMode(0.0f);
    FillRect(300, 10, 350, 60, 0x8000FF);
    Read();
    ExpectPixels({{30, 30, 0, 255, 0}, {120, 30, 0, 255, 0}, {220, 30, 0, 255, 0}, {320, 30, 255, 0, 128}});
}

TEST_F(RenderTest, ViewportClipsAndMovesTheOrigin) {
    SetViewport(100.0f, 150.0f, 50.0f, 40.0f);
    FillRect(-500, -500, 1000, 1000, 0x0000FF);
    FillRect(10, 10, 20, 20, 0x00FF00);
    Read();
    EXPECT_EQ(Mismatches(0, 0, 768, 1024, [](int x, int y) {
                  if (x >= 110 && x < 120 && y >= 160 && y < 170) return Rgba{0, 255, 0, 0};
                  if (x >= 100 && x < 150 && y >= 150 && y < 190) return Rgba{255, 0, 0, 0};
                  return Rgba{0, 0, 0, 0};
              }),
              0);
}

TEST_F(RenderTest, BuiltInFontPrintsTheGlyphsWithTheirShadow) {
    LoadFont(KString("/no/such/font.png"), 0);
    FillRect(0, 0, 768, 1024, 0x808080);
    DrawFontText(KString("HI"), 40.0f, 60.0f, 0.0f);
    Read();
    // Our H and I, written here again: ink is white, the shadow one pixel down-right is black.
    const char* glyphs[2][7] = {
        {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"},
        {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."},
    };
    EXPECT_EQ(Mismatches(40, 60, 16, 8, [&](int x, int y) {
                  const int g = (x - 40) / 8, gx = (x - 40) % 8, gy = y - 60;
                  auto ink = [&](int cx, int cy) {
                      return cx >= 1 && cx <= 5 && cy >= 0 && cy <= 6 && glyphs[g][cy][cx - 1] == '#';
                  };
                  const int v = ink(gx, gy) ? 255 : ink(gx - 1, gy - 1) ? 0 : 0x80;
                  return Rgba{v, v, v, 0};
              }),
              0);
}

TEST_F(RenderTest, OffscreenSurfaceIsDrawnBackAsASprite) {
    CreateOffscreenSurface(0, 500, 100, 60);
    ASSERT_NE(GetOffscreenSurface(0)->framebuffer, 0u);
    FillRect(0, 0, 768, 1024, 0x404040);
    SetRenderTarget(0);
    float w = 0, h = 0;
    GetScreenSize(w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(100.0f, 60.0f));
    FillRect(0, 0, 50, 30, 0x0000FF);
    FillRect(50, 30, 100, 60, 0x00FF00);
    EndRenderTarget();
    SetTextureFiltering(0);
    SpriteRect(500, 200, 300, 300, 360, 0, 0, 100, 60);
    Read();
    // Red top-left and green bottom-right quarters; the untouched ones are transparent, and the
    // screen itself was not drawn on while the surface was the target.
    const int G = 0x40;
    ExpectPixels({{210, 310, 255, 0, 0}, {290, 350, 0, 255, 0}, {290, 310, G, G, G}, {210, 350, G, G, G},
                  {10, 10, G, G, G}});
    // A surface still bound when the frame is presented is ended first.
    SetRenderTarget(0);
    graphicsDevice->PresentFrame();
    GLint binding = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &binding);
    EXPECT_EQ(binding, 0);
}

TEST_F(RenderTest, CapabilityCacheAgreesWithTheDriverAfterAColouredBatch) {
    SetBlendMode(-0.5f);
    FillRect(0, 0, 10, 10, 0x123456);  // dithering is switched on for the batch, off after it
    for (GLenum cap : {GL_BLEND, GL_ALPHA_TEST, GL_COLOR_MATERIAL, GL_CULL_FACE, GL_LIGHTING, GL_STENCIL_TEST,
                       GL_DEPTH_TEST, GL_FOG, GL_DITHER, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_NORMALIZE}) {
        EXPECT_EQ(graphicsDevice->GlStateCache.Word(cap), glIsEnabled(cap) ? 1u : 0u) << "capability 0x" << std::hex << cap;
    }
    EXPECT_FALSE(glIsEnabled(GL_DITHER));
}

}  // namespace
