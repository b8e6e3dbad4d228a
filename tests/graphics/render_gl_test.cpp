// Rendering through the real display path (SDL window, EGL, OpenGL ES 1.1) with pixels read
// back before the swap. Runs under Xvfb; SQUIBLY_DISPLAY=1024x768 runs it in orientation 3.
#include <GLES/gl.h>
#include <GLES/glext.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

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

namespace {

int ExpectedOrientation() {
    const char* display = std::getenv("SQUIBLY_DISPLAY");
    return display && std::strcmp(display, "1024x768") == 0 ? 3 : 0;
}

class DisplayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(Platform::InitSystem(0x21)) << Platform::LastError();
        graphicsDevice = new ZiruZADavuzovi();
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

void Rect(float x0, float y0, float x1, float y1, uint32_t colour) {
    const float c = static_cast<float>(colour);
    AddPolygonVertex(x0, y0, 0, 0, c);
    AddPolygonVertex(x0, y1, 0, 0, c);
    AddPolygonVertex(x1, y1, 0, 0, c);
    AddPolygonVertex(x1, y1, 0, 0, c);
    AddPolygonVertex(x1, y0, 0, 0, c);
    AddPolygonVertex(x0, y0, 0, 0, c);
}

void FillRect(float x0, float y0, float x1, float y1, uint32_t colour) {
    BeginPolygonBatch(-1, 1);
    Rect(x0, y0, x1, y1, colour);
    EndPolygonBatch();
}

// A screen rectangle showing texels (tx0, ty0) to (tx1, ty1) of the sprite.
void SpriteRect(int id, float x0, float y0, float x1, float y1, float tx0, float ty0, float tx1, float ty1) {
    BeginPolygonBatch(static_cast<float>(id), 1);
    const float white = 16777215.0f;
    AddPolygonVertex(x0, y0, tx0, ty0, white);
    AddPolygonVertex(x0, y1, tx0, ty1, white);
    AddPolygonVertex(x1, y1, tx1, ty1, white);
    AddPolygonVertex(x1, y1, tx1, ty1, white);
    AddPolygonVertex(x1, y0, tx1, ty0, white);
    AddPolygonVertex(x0, y0, tx0, ty0, white);
    EndPolygonBatch();
}

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
    BackBuffer buffer;
};

TEST_F(RenderTest, DisplayTakesTheOrientationOfTheEmulatedDevice) {
    const int orientation = ExpectedOrientation();
    EXPECT_EQ(graphicsDevice->Orientation, orientation);
    EXPECT_EQ(graphicsDevice->deviceWidth, orientation == 3 ? 1024 : 768);
    EXPECT_EQ(graphicsDevice->deviceHeight, orientation == 3 ? 768 : 1024);
    float w = 0, h = 0;
    GetScreenSize(w, h);
    EXPECT_EQ(w, 768.0f);
    EXPECT_EQ(h, 1024.0f);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], graphicsDevice->deviceWidth);
    EXPECT_EQ(viewport[3], graphicsDevice->deviceHeight);
}

TEST_F(RenderTest, RectanglesLandWhereTheVirtualScreenPutsThem) {
    struct Box {
        int x0, y0, x1, y1;
        uint32_t colour;
        int r, g, b;
    };
    const Box boxes[] = {
        {10, 20, 110, 70, 0x0000FF, 255, 0, 0},          // red, near the top-left
        {700, 900, 768, 1024, 0x00FF00, 0, 255, 0},      // green, in the bottom-right corner
        {0, 0, 5, 5, 0xFF0000, 0, 0, 255},               // blue, the very corner
        {300, 500, 301, 800, 0xFFFFFF, 255, 255, 255},   // a one-pixel column
    };
    for (const Box& b : boxes) FillRect(b.x0, b.y0, b.x1, b.y1, b.colour);
    Read();
    long wrong = 0;
    for (int y = 0; y < 1024; ++y) {
        for (int x = 0; x < 768; ++x) {
            int r = 0, g = 0, bl = 0;
            for (const Box& b : boxes) {
                if (x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1) {
                    r = b.r;
                    g = b.g;
                    bl = b.b;
                }
            }
            if (!Near(buffer.Virtual(x, y), r, g, bl, 0)) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
    // Physically: in orientation 3 the screen's top-left corner is the device's bottom-left.
    if (graphicsDevice->Orientation == 3) {
        EXPECT_TRUE(Near(buffer.Device(0, 767), 0, 0, 255, 0));
        EXPECT_TRUE(Near(buffer.Device(1023, 0), 0, 255, 0, 0));
    } else {
        EXPECT_TRUE(Near(buffer.Device(0, 0), 0, 0, 255, 0));
        EXPECT_TRUE(Near(buffer.Device(767, 1023), 0, 255, 0, 0));
    }
}

DecodedImage Gradient(int w, int h) {
    DecodedImage img;
    img.width = w;
    img.height = h;
    img.hasAlpha = true;
    img.rgba.resize(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &img.rgba[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = static_cast<uint8_t>(20 + x * 30);
            p[1] = static_cast<uint8_t>(10 + y * 40);
            p[2] = 200;
            p[3] = 255;
        }
    }
    return img;
}

TEST_F(RenderTest, TexturedRectangleRightWayUpMirroredAndFlipped) {
    const DecodedImage img = Gradient(8, 6);
    ASSERT_EQ(UploadImageToSprite(img, 40, true), 1);
    SetTextureFiltering(0);
    const int S = 4;  // each texel becomes a 4 x 4 block
    SpriteRect(40, 100, 200, 100 + 8 * S, 200 + 6 * S, 0, 0, 8, 6);
    SpriteRect(40, 300, 200, 300 + 8 * S, 200 + 6 * S, 8, 0, 0, 6);  // texel x swapped: mirrored
    SpriteRect(40, 500, 200, 500 + 8 * S, 200 + 6 * S, 0, 6, 8, 0);  // texel y swapped: upside down
    Read();
    long wrong = 0;
    for (int y = 0; y < 6 * S; ++y) {
        for (int x = 0; x < 8 * S; ++x) {
            const int tx = x / S, ty = y / S;
            auto expect = [&](int ix, int iy) {
                const uint8_t* p = &img.rgba[(static_cast<size_t>(iy) * 8 + ix) * 4];
                return Rgba{p[0], p[1], p[2], 255};
            };
            const Rgba up = expect(tx, ty), mirrored = expect(7 - tx, ty), flipped = expect(tx, 5 - ty);
            if (!Near(buffer.Virtual(100 + x, 200 + y), up.r, up.g, up.b, 0)) ++wrong;
            if (!Near(buffer.Virtual(300 + x, 200 + y), mirrored.r, mirrored.g, mirrored.b, 0)) ++wrong;
            if (!Near(buffer.Virtual(500 + x, 200 + y), flipped.r, flipped.g, flipped.b, 0)) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
    // Outside the image the padding is transparent and the alpha test drops it.
    SpriteRect(40, 100, 400, 100 + 16 * S, 400 + 6 * S, 0, 0, 16, 6);
    Read();
    EXPECT_TRUE(Near(buffer.Virtual(100 + 12 * S, 402), 0, 0, 0, 0));
    EXPECT_TRUE(Near(buffer.Virtual(100 + 2, 402), 20, 10, 200, 0));
}

void PutLe(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 255));
}

// A 4 x 2 24-bit BMP, bottom-up, written byte by byte.
std::string KeyedBmp() {
    const uint8_t rows[2][4][3] = {
        // top row: opaque yellow, key, key, opaque cyan (R, G, B)
        {{255, 255, 0}, {255, 0, 128}, {255, 0, 128}, {0, 255, 255}},
        // bottom row: key, opaque white, opaque red, key
        {{255, 0, 128}, {255, 255, 255}, {255, 0, 0}, {255, 0, 128}},
    };
    std::string pixels;
    for (int r = 1; r >= 0; --r) {
        for (int x = 0; x < 4; ++x) {
            pixels.push_back(static_cast<char>(rows[r][x][2]));
            pixels.push_back(static_cast<char>(rows[r][x][1]));
            pixels.push_back(static_cast<char>(rows[r][x][0]));
        }
    }
    std::string f = "BM";
    PutLe(f, 54 + static_cast<uint32_t>(pixels.size()), 4);
    PutLe(f, 0, 4);
    PutLe(f, 54, 4);
    PutLe(f, 40, 4);
    PutLe(f, 4, 4);
    PutLe(f, 2, 4);
    PutLe(f, 1, 2);
    PutLe(f, 24, 2);
    PutLe(f, 0, 4);
    PutLe(f, static_cast<uint32_t>(pixels.size()), 4);
    PutLe(f, 2835, 4);
    PutLe(f, 2835, 4);
    PutLe(f, 0, 4);
    PutLe(f, 0, 4);
    return f + pixels;
}

TEST_F(RenderTest, ColourKeyedTexelsLeaveTheBackgroundAlone) {
    char path[] = "/tmp/keyedXXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string bytes = KeyedBmp();
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    // The name's extension plays no part.
    const std::string named = std::string(path) + ".png";
    ASSERT_EQ(rename(path, named.c_str()), 0);
    LoadSpriteImage(KString(named.c_str()), 41);
    std::remove(named.c_str());
    ASSERT_EQ(ErrorCode(), 0);
    ASSERT_NE(GetSprite(41)->texture, 0u);

    FillRect(0, 0, 768, 1024, 0x505050);
    SetTextureFiltering(0);
    SpriteRect(41, 50, 50, 50 + 4 * 10, 50 + 2 * 10, 0, 0, 4, 2);
    Read();
    const int grey[3] = {0x50, 0x50, 0x50};
    const int want[2][4][3] = {
        {{255, 255, 0}, {grey[0], grey[1], grey[2]}, {grey[0], grey[1], grey[2]}, {0, 255, 255}},
        {{grey[0], grey[1], grey[2]}, {255, 255, 255}, {255, 0, 0}, {grey[0], grey[1], grey[2]}},
    };
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 4; ++c) {
            const Rgba got = buffer.Virtual(50 + c * 10 + 5, 50 + r * 10 + 5);
            EXPECT_TRUE(Near(got, want[r][c][0], want[r][c][1], want[r][c][2], 0))
                << "texel " << c << "," << r << " got " << got.r << " " << got.g << " " << got.b;
        }
    }
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
    Read();
    EXPECT_TRUE(Near(buffer.Virtual(30, 30), 127, 127, 255));
    EXPECT_TRUE(Near(buffer.Virtual(120, 30), 255, 0, 255));
    EXPECT_TRUE(Near(buffer.Virtual(220, 30), 127, 0, 255));
    EXPECT_TRUE(Near(buffer.Virtual(320, 30), 0, 255, 0, 0));
    EXPECT_TRUE(Near(buffer.Virtual(400, 30), 0, 0, 255, 0));

    // A textured sprite under global alpha 0.5 mixes half and half with the background.
    const DecodedImage img = Gradient(8, 6);
    ASSERT_EQ(UploadImageToSprite(img, 42, true), 1);
    SetTextureFiltering(0);
    SetBlendMode(-0.5f);
    SpriteRect(42, 400, 100, 480, 160, 0, 0, 8, 6);
    Read();
    const Rgba got = buffer.Virtual(405, 105);  // texel (0, 0): 20, 10, 200
    EXPECT_TRUE(Near(got, 20 * 127 / 255, 10 * 127 / 255, (200 * 127 + 255 * 128) / 255, 3))
        << got.r << " " << got.g << " " << got.b;
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
    EXPECT_TRUE(Near(buffer.Virtual(30, 30), 0, 255, 0, 0));
    EXPECT_TRUE(Near(buffer.Virtual(120, 30), 0, 255, 0, 0));
    EXPECT_TRUE(Near(buffer.Virtual(220, 30), 0, 255, 0, 0));
    EXPECT_TRUE(Near(buffer.Virtual(320, 30), 255, 0, 128, 0));
}

TEST_F(RenderTest, ViewportClipsAndMovesTheOrigin) {
    SetViewport(100.0f, 150.0f, 50.0f, 40.0f);
    float w = 0, h = 0;
    FillRect(-500, -500, 1000, 1000, 0x0000FF);
    FillRect(10, 10, 20, 20, 0x00FF00);
    GetScreenSize(w, h);
    Read();
    EXPECT_EQ(w, 768.0f);
    long wrong = 0;
    for (int y = 0; y < 1024; ++y) {
        for (int x = 0; x < 768; ++x) {
            int r = 0, g = 0;
            if (x >= 100 && x < 150 && y >= 150 && y < 190) r = 255;
            if (x >= 110 && x < 120 && y >= 160 && y < 170) r = 0, g = 255;
            if (!Near(buffer.Virtual(x, y), r, g, 0, 0)) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
    SetViewport(0.0f, 0.0f, -5.0f, 10.0f);  // whole screen again
    EXPECT_EQ(graphicsDevice->viewWidth, 768);
    EXPECT_EQ(graphicsDevice->viewHeight, 1024);
}

TEST_F(RenderTest, BuiltInFontPrintsTheGlyphsWithTheirShadow) {
    LoadFont(KString("/no/such/font.png"), 0);
    EXPECT_EQ(ErrorCode(), 3);
    FillRect(0, 0, 768, 1024, 0x808080);
    DrawFontText(KString("HI"), 40.0f, 60.0f, 0.0f);
    Read();
    // Our H and I, written here again: ink is white, the shadow one pixel down-right is black.
    const char* glyphs[2][7] = {
        {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"},
        {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."},
    };
    long wrong = 0;
    for (int g = 0; g < 2; ++g) {
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                auto ink = [&](int gx, int gy) {
                    return gx >= 1 && gx <= 5 && gy >= 0 && gy <= 6 && glyphs[g][gy][gx - 1] == '#';
                };
                int want = 0x80;
                if (ink(x - 1, y - 1)) want = 0;
                if (ink(x, y)) want = 255;
                if (!Near(buffer.Virtual(40 + g * 8 + x, 60 + y), want, want, want, 0)) ++wrong;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(RenderTest, OffscreenSurfaceIsDrawnBackAsASprite) {
    ASSERT_TRUE(framebuffersSupported);
    CreateOffscreenSurface(0, 500, 100, 60);
    const OffscreenSurface* s = GetOffscreenSurface(0);
    ASSERT_NE(s->framebuffer, 0u);
    EXPECT_EQ(GetSprite(500)->paddedWidth, 128);
    EXPECT_EQ(GetSprite(500)->paddedHeight, 64);
    EXPECT_FLOAT_EQ(GetSprite(500)->uMax, 0.78125f);
    EXPECT_FLOAT_EQ(GetSprite(500)->vMax, 0.9375f);

    FillRect(0, 0, 768, 1024, 0x404040);
    SetRenderTarget(0);
    float w = 0, h = 0;
    GetScreenSize(w, h);
    EXPECT_EQ(w, 100.0f);
    EXPECT_EQ(h, 60.0f);
    FillRect(0, 0, 50, 30, 0x0000FF);
    FillRect(50, 30, 100, 60, 0x00FF00);
    EndRenderTarget();
    GLint binding = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &binding);
    EXPECT_EQ(binding, 0);

    SetTextureFiltering(0);
    SpriteRect(500, 200, 300, 300, 360, 0, 0, 100, 60);
    Read();
    EXPECT_TRUE(Near(buffer.Virtual(210, 310), 255, 0, 0, 0));  // top-left quarter red
    EXPECT_TRUE(Near(buffer.Virtual(290, 350), 0, 255, 0, 0));  // bottom-right quarter green
    EXPECT_TRUE(Near(buffer.Virtual(290, 310), 0x40, 0x40, 0x40, 0));  // untouched: transparent
    EXPECT_TRUE(Near(buffer.Virtual(210, 350), 0x40, 0x40, 0x40, 0));
    // The screen itself was not drawn on while the surface was the target.
    EXPECT_TRUE(Near(buffer.Virtual(10, 10), 0x40, 0x40, 0x40, 0));

    // A surface still bound when the frame is presented is ended first.
    SetRenderTarget(0);
    graphicsDevice->PresentFrame();
    EXPECT_EQ(graphicsDevice->renderTarget, -1);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &binding);
    EXPECT_EQ(binding, 0);
}

TEST_F(RenderTest, CapabilityCacheAgreesWithTheDriver) {
    const GLenum caps[] = {GL_BLEND, GL_ALPHA_TEST, GL_COLOR_MATERIAL, GL_CULL_FACE, GL_LIGHTING,
                           GL_STENCIL_TEST, GL_DEPTH_TEST, GL_FOG, GL_DITHER, GL_LINE_SMOOTH,
                           GL_POINT_SMOOTH, GL_NORMALIZE};
    auto agree = [&]() {
        for (GLenum cap : caps) {
            const uint32_t word = graphicsDevice->GlStateCache.Word(cap);
            EXPECT_EQ(word, glIsEnabled(cap) ? 1u : 0u) << "capability 0x" << std::hex << cap;
        }
    };
    agree();
    SetBlendMode(-0.5f);
    BeginPolygonBatch(-1, 1);
    Rect(0, 0, 10, 10, 0x123456);
    EndPolygonBatch();
    agree();
    EXPECT_FALSE(glIsEnabled(GL_DITHER));  // switched on for the coloured batch, off after it
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLfloat ref = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_NEAR(ref, 0.05f, 1e-6);
}

}  // namespace
