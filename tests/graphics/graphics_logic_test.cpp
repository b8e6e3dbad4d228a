// The display's logic on the headless twin: orientation maths, set-up, the capability cache,
// switches, frame pacing, sprite slots, colour key and bleeding, fonts and offscreen surfaces.
#include <gtest/gtest.h>

#include <GLES/gl.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/kstring.h"
#include "runtime/graphics/draw_stats.h"
#include "runtime/graphics/font.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/offscreen.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/null_platform.h"
#include "tests/graphics/headless_device.h"
#include "tests/graphics/test_files.h"

namespace {

// Every screen pixel has its own device pixel and comes back from it, the rotation matrix
// sends the pixel's centre to that device pixel's centre, and a screen rectangle becomes the
// device's bounding box of its pixels.
TEST(Orientation, MappingsAreInversesAndAgreeWithTheMatrixAndTheViewport) {
    const int W = 7, H = 5;
    for (int o = 0; o < 4; ++o) {
        SCOPED_TRACE(o);
        const int sw = (o % 2) ? H : W, sh = (o % 2) ? W : H;
        float m[16];
        RotationMatrix(o, m);
        std::set<std::pair<int, int>> hit;
        int box[4] = {W, H, -1, -1};  // of the screen rectangle (1, 1) to (3, 2)
        for (int y = 0; y < sh; ++y) {
            for (int x = 0; x < sw; ++x) {
                int dx = x, dy = y;
                ScreenToDevicePoint(o, W, H, dx, dy);
                ASSERT_TRUE(dx >= 0 && dx < W && dy >= 0 && dy < H);
                hit.insert({dx, dy});
                if (x >= 1 && x <= 3 && y >= 1 && y <= 2) {
                    box[0] = std::min(box[0], dx), box[1] = std::min(box[1], dy);
                    box[2] = std::max(box[2], dx), box[3] = std::max(box[3], dy);
                }
                const float nx = 2 * (x + 0.5f) / sw - 1, ny = 1 - 2 * (y + 0.5f) / sh;
                EXPECT_NEAR(m[0] * nx + m[4] * ny, 2 * (dx + 0.5f) / W - 1, 1e-5);
                EXPECT_NEAR(m[1] * nx + m[5] * ny, 1 - 2 * (dy + 0.5f) / H, 1e-5);
                DeviceToScreenPoint(o, W, H, dx, dy);
                EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(x, y));
            }
        }
        EXPECT_EQ(hit.size(), static_cast<size_t>(W * H));
        const DeviceRect r = ScreenRectToDevice(o, W, H, 1, 1, 3, 2);
        EXPECT_EQ(std::vector<int>({r.x, r.y, r.width, r.height}),
                  std::vector<int>({box[0], box[1], box[2] - box[0] + 1, box[3] - box[1] + 1}));
    }
    // The direction of each turn. 1: the screen's top-left is the device's top-right; 2: a half
    // turn; 3: the device's bottom-left.
    const int corners[][7] = {{1, 1024, 768, 0, 0, 1023, 0}, {2, 768, 1024, 5, 9, 762, 1014}, {3, 1024, 768, 0, 0, 0, 767}};
    for (const auto& c : corners) {
        int x = c[3], y = c[4];
        ScreenToDevicePoint(c[0], c[1], c[2], x, y);
        EXPECT_EQ(std::make_pair(x, y), std::make_pair(c[5], c[6])) << "orientation " << c[0];
    }
}

TEST(Orientation, FrameTimesAndTruncation) {
    EXPECT_FLOAT_EQ(FrameMillisFor(59.9f), 1000.0f / 59);  // whole frames per second
    EXPECT_EQ(FrameMillisFor(0), 2.0f);
    EXPECT_EQ(FrameMillisFor(-1), 2.0f);
    EXPECT_EQ(TruncToInt(-2.7f), -2);
    EXPECT_EQ(TruncToInt(1e20f), 2147483647);
    EXPECT_EQ(TruncToInt(std::nanf("")), 0);
}

using DisplaySetUp = HeadlessDevice;

TEST_F(DisplaySetUp, PrintsEveryLineOfThePortraitSetUp) {
    EXPECT_EQ(setUpOutput,
              "SDL_init video\nSDL_GetVideoInfo = 768x1024 @ 32 bpp\n"
              "   want landscape 768,1024: 0\n   device landscape: 0\n"
              "Setting video mode: 0x0x0 fl=2\nSDL_SetVideoMode seems to be 1\nVoza::SetScreen( 768,1024)\n"
              "get accurate timer - 1st call\nflip - 1st call\nBGRA ext supported\nTexture size limit: 0\n"
              "init fbo\n2D VP\nDIVE init [OK]\n");
}

TEST_F(DisplaySetUp, OrientationFollowsTheDeviceAndTheRequest) {
    // display w, h, requested w, h, orientation, virtual screen w, h
    const int cases[][7] = {{1024, 768, 768, 1024, 3, 768, 1024}, {768, 1024, 1024, 768, 1, 1024, 768},
                            {1024, 768, 1024, 768, 0, 1024, 768}, {800, 800, 768, 1024, 0, 800, 800}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c[0]) + "x" + std::to_string(c[1]) + " asked " + std::to_string(c[2]));
        Open(c[0], c[1], c[2], c[3]);
        EXPECT_EQ(graphicsDevice->Orientation, c[4]);
        EXPECT_EQ(graphicsDevice->deviceWidth, c[0]);
        float w = 0, h = 0;
        GetScreenSize(w, h);
        EXPECT_EQ(std::make_pair(w, h), (std::pair<float, float>(c[5], c[6])));
        const std::string swap = "swap deskx, desky to " + std::to_string(c[5]) + "," + std::to_string(c[6]);
        EXPECT_EQ(setUpOutput.find(swap) != std::string::npos, c[4] != 0);
    }
}

TEST_F(DisplaySetUp, CapabilityCacheSendsOnlyChanges) {
    GlCapabilityCache& cache = graphicsDevice->GlStateCache;
    const unsigned long before = cache.SentSwitches();
    cache.Enable(GL_BLEND);
    cache.Enable(GL_BLEND);
    cache.Disable(GL_FOG);  // already off since the reset
    EXPECT_EQ(cache.SentSwitches(), before + 1);
    cache.Invalidate();  // unknown again: the next switch is sent whatever it is
    cache.Enable(GL_BLEND);
    EXPECT_EQ(cache.SentSwitches(), before + 2);
}

TEST_F(DisplaySetUp, SwitchesLastUntilTheFrameReset) {
    GraphicsDevice& d = *graphicsDevice;
    SetBlendMode(-2.0f);
    EXPECT_EQ(d.globalAlpha, 1.0f);  // at most 1
    SetBlendMode(-0.5f), SetAlphaTest(1.0f), SetTextureFiltering(0), SetViewport(10, 20, 30, 40);
    d.Reset2DState();
    EXPECT_EQ(std::make_pair(d.globalAlpha, d.alphaTestRef), std::make_pair(1.0f, 0.05f));
    EXPECT_EQ(std::make_pair(d.GlStateCache.Word(GL_BLEND), d.GlStateCache.Word(GL_ALPHA_TEST)), std::make_pair(0u, 1u));
    EXPECT_EQ((std::vector<int>{d.smoothFiltering, d.viewWidth}), (std::vector<int>{1, 768}));
}

TEST(DrawFigures, TrianglesAreClippedToTheViewport) {
    const float x[3] = {0, 100, 0}, y[3] = {0, 0, 100};
    EXPECT_DOUBLE_EQ(ClippedTriangleArea(x, y, 200, 200), 5000);
    EXPECT_DOUBLE_EQ(ClippedTriangleArea(x, y, 50, 50), 2500);   // the whole corner square
    const float left[3] = {-100, 100, -100}, down[3] = {0, 0, 200};
    EXPECT_DOUBLE_EQ(ClippedTriangleArea(left, down, 300, 300), 5000);
    const float away[3] = {-50, -10, -50}, any[3] = {0, 0, 40};
    EXPECT_DOUBLE_EQ(ClippedTriangleArea(away, any, 300, 300), 0);
    const float bad[3] = {0, NAN, 10};
    EXPECT_DOUBLE_EQ(ClippedTriangleArea(bad, y, 300, 300), 0);
}

TEST_F(DisplaySetUp, AnOpaqueFrontIsItsOwnUnblendedDrawAndTheFrameCountsItsPixels) {
    auto quad = [](float x0, float y0, float x1, float y1, float colour) {
        const float v[6][2] = {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
        for (const auto& p : v) AddPolygonVertex(p[0], p[1], 0, 0, colour);
    };
    EnableDrawStats(true);
    const unsigned long draws = polygonBatch->drawCalls;
    BeginPolygonBatch(-1, 1);
    SetBlendMode(-1);
    quad(0, 0, 100, 100, 0xFFFFFF);
    quad(700, 1000, 800, 1100, 0xFFFFFF);   // a quarter of it on the screen
    MarkOpaqueVertices();
    SetBlendMode(-0.5f);
    quad(50, 0, 150, 100, 0xFFFFFF);
    SetBlendMode(-1);
    quad(0, 200, 10, 210, 0x8000FF);        // the key colour: alpha 0, drawn for nothing
    EndPolygonBatch();
    EXPECT_EQ(polygonBatch->drawCalls, draws + 2);
    EXPECT_EQ(graphicsDevice->GlStateCache.Word(GL_BLEND), 1u) << "blending is on again after the front";
    // Without blending the whole batch is one draw, opaque or not.
    SetBlendMode(0);
    BeginPolygonBatch(-1, 1);
    quad(0, 300, 20, 310, 0xFFFFFF);
    MarkOpaqueVertices();
    EndPolygonBatch();
    EXPECT_EQ(polygonBatch->drawCalls, draws + 3);
    const FrameDrawStats during = CurrentFrameDrawStats();
    ASSERT_EQ(graphicsDevice->PresentFrame(), 1);
    const FrameDrawStats& s = LastFrameDrawStats();
    EXPECT_EQ(s.drawCalls, during.drawCalls);
    EXPECT_EQ(s.drawCalls, 3u);
    EXPECT_EQ(s.vertices, 30u);
    EXPECT_DOUBLE_EQ(s.opaquePixels, 10000 + 68 * 24 + 200);
    EXPECT_DOUBLE_EQ(s.blendedPixels, 10000 + 100);
    EXPECT_DOUBLE_EQ(s.invisiblePixels, 100);
    EXPECT_EQ(s.peakAlpha, 1.0f);
    EXPECT_EQ(CurrentFrameDrawStats().drawCalls, 0u) << "the next frame starts from nothing";
    EnableDrawStats(false);
}

TEST_F(DisplaySetUp, ViewportOfNoSizeIsTheWholeScreen) {
    const float cases[][4] = {{10, 20, 0, 0}, {5, 5, -5, 10}, {5, 5, 10, -1}, {5, 5, 0.5f, 10}};
    for (const auto& c : cases) {
        SetViewport(c[0], c[1], c[2], c[3]);
        const GraphicsDevice& d = *graphicsDevice;
        EXPECT_EQ(std::vector<int>({d.viewX, d.viewY, d.viewWidth, d.viewHeight}), std::vector<int>({0, 0, 768, 1024}))
            << c[2] << " x " << c[3];
    }
}

TEST_F(DisplaySetUp, FramesArePacedOnTheClock) {
    GraphicsDevice& d = *graphicsDevice;
    SetFrameRateLimit(50);  // 20 ms frames
    d.nextFrameTime = ElapsedMs();
    ASSERT_EQ(d.PresentFrame(), 1);
    const uint32_t start = NullPlatform::Now();
    for (int i = 0; i < 5; ++i) ASSERT_EQ(d.PresentFrame(), 1);
    EXPECT_NEAR(NullPlatform::Now() - start, 100.0, 2.0);
    // A long stall leaves at most one frame of backlog: the next frame is not rushed twice.
    NullPlatform::AdvanceClock(500);
    ASSERT_EQ(d.PresentFrame(), 1);
    EXPECT_GE(d.nextFrameTime, ElapsedMs());
    EXPECT_LE(d.nextFrameTime, ElapsedMs() + 20.0f);
    // A flood of events does not starve the quit behind it.
    for (int i = 0; i < 600; ++i) NullPlatform::PushActive(true, Platform::APP_MOUSEFOCUS);
    EXPECT_EQ(d.PresentFrame(), 1);
    NullPlatform::PushQuit();
    EXPECT_EQ(d.PresentFrame(), 0);
}

TEST_F(DisplaySetUp, UploadsArePaddedAndBadImagesLeaveTheSlotEmpty) {
    const int sides[][2] = {{1, 16}, {16, 16}, {17, 32}, {768, 1024}};
    for (const auto& s : sides) EXPECT_EQ(PaddedTextureSide(s[0]), s[1]) << s[0];
    DecodedImage one;
    one.width = one.height = 1;
    one.rgba = {1, 2, 3, 255};
    ASSERT_EQ(UploadImageToSprite(one, 5, false), 1);
    EXPECT_FLOAT_EQ(GetSprite(5)->uMax, 1 / 16.0f);
    DecodedImage empty, shortBuffer = one, huge;
    shortBuffer.width = 2;
    huge.width = 20000, huge.height = 1, huge.rgba.assign(80000, 255);
    for (const DecodedImage* bad : {&empty, &shortBuffer, &huge}) {
        ASSERT_EQ(UploadImageToSprite(one, 5, false), 1);
        EXPECT_EQ(UploadImageToSprite(*bad, 5, false), 0) << bad->width;
        EXPECT_EQ(GetSprite(5)->texture, 0u);
    }
    EXPECT_EQ(UploadImageToSprite(one, SPRITE_SLOTS, false), 0);
    EXPECT_EQ(GetSprite(SPRITE_SLOTS), nullptr);
}

TEST(TexturePrep, ColourKeyAndBleeding) {
    DecodedImage img;  // 3 x 3: keyed corner and centre; the last texel is one off the key in blue
    img.width = img.height = 3;
    img.rgba = {255, 0, 128, 255, 10, 20, 30, 255, 50, 60, 70, 255,
                90, 0, 9, 255, 255, 0, 128, 255, 30, 30, 30, 255,
                0, 0, 0, 255, 200, 100, 0, 255, 255, 0, 127, 255};
    ApplyColourKey(img, NO_COLOUR_KEY);
    EXPECT_EQ(img.rgba[3], 255);
    ApplyColourKey(img, 0x8000FF);
    EXPECT_EQ(img.rgba[8 * 4 + 3], 255);
    BleedColours(img);
    // Centre: the mean of its seven opaque neighbours; the corner: of (10,20,30) and (90,0,9) only.
    EXPECT_EQ(std::vector<uint8_t>(&img.rgba[16], &img.rgba[20]),
              (std::vector<uint8_t>{(10 + 50 + 90 + 30 + 0 + 200 + 255) / 7, (20 + 60 + 30 + 100) / 7,
                                    (30 + 70 + 9 + 30 + 127) / 7, 0}));
    EXPECT_EQ(std::vector<uint8_t>(&img.rgba[0], &img.rgba[4]), (std::vector<uint8_t>{50, 10, 19, 0}));
    DecodedImage lone;  // no opaque neighbour: transparent black
    lone.width = lone.height = 1;
    lone.rgba = {255, 0, 128, 0};
    BleedColours(lone);
    EXPECT_EQ(lone.rgba, (std::vector<uint8_t>{0, 0, 0, 0}));
}

using SpriteLoading = HeadlessDevice;

TEST_F(SpriteLoading, BadNamesAndFilesLeaveTheSlotEmpty) {
    const std::string bmp = Bmp24(1, 1, {9, 8, 7});
    const std::string path = TempFile(bmp), junk = TempFile("this is not a picture at all");
    ASSERT_FALSE(path.empty() || junk.empty());
    const KString memName = RegisterMemoryFile(bmp.data(), bmp.size());
    LoadSpriteImage(memName, 10.0f);  // a registered memory file loads like a file
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(GetSprite(10)->imageWidth, 1);
    ReleaseMemoryFile(bmp.data());
    // name, error code: each first loads the good file into the slot
    const std::pair<KString, int> cases[] = {{KString(""), 0}, {KString("/no/such/picture.png"), 3},
                                             {KString(junk.c_str()), 3}, {memName, 3}};
    for (const auto& c : cases) {
        LoadSpriteImage(KString(path.c_str()), 9.0f);
        ASSERT_NE(GetSprite(9)->texture, 0u);
        LoadSpriteImage(c.first, 9.0f);
        EXPECT_EQ(ErrorCode(), c.second) << c.first.c_str();
        EXPECT_EQ(GetSprite(9)->texture, 0u) << c.first.c_str();
    }
    LoadSpriteImage(KString(path.c_str()), 70000.0f);  // outside the table
    EXPECT_EQ(ErrorCode(), 7);
    std::remove(path.c_str());
    std::remove(junk.c_str());
}

// A font picture: black background (the font's transparent colour), white ink in chosen
// columns of chosen cells of a 16-column grid.
std::string FontFile(int w, int h, int rows, std::initializer_list<std::pair<int, int>> inked) {
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3, 0);
    for (const auto& ink : inked) {
        const int x = (ink.first % 16) * (w / 16) + ink.second, y = (ink.first / 16) * (h / rows) + h / rows / 2;
        for (int k = 0; k < 3; ++k) rgb[(static_cast<size_t>(y) * w + x) * 3 + k] = 255;
    }
    return TempFile(Bmp24(w, h, rgb));
}

using Fonts = HeadlessDevice;

TEST_F(Fonts, GlyphsAreMeasuredFromTheirInk) {
    // 128 characters of 16 x 16; W is inked up to its cell's last column.
    const std::string path = FontFile(256, 128, 8, {{'A', 3}, {'A', 9}, {'j', 5}, {'j', 7}, {'W', 2}, {'W', 15}});
    LoadFont(KString(path.c_str()), 2);
    std::remove(path.c_str());
    EXPECT_EQ(ErrorCode(), 0);
    const FontRecord& f = GetFont(2);
    ASSERT_TRUE(f.loaded);
    EXPECT_EQ(f.characters, 128);
    // character, left, width: 7 inked columns plus one spacing column, none after the cell's last
    // column, the whole cell when empty, and the upper half repeating the lower.
    const int glyphs[][3] = {{'A', 3, 8}, {'W', 2, 14}, {'B', 0, 16}, {'A' + 128, 3, 8}};
    for (const auto& g : glyphs) {
        EXPECT_EQ((std::vector<int>{f.glyphs[g[0]].left, f.glyphs[g[0]].width}), (std::vector<int>{g[1], g[2]})) << g[0];
    }
    EXPECT_FLOAT_EQ(f.glyphs['A'].u0, (16 + 3) / 256.0f);
    EXPECT_FLOAT_EQ(f.glyphs['A'].u1, (16 + 3 + 8) / 256.0f);
    EXPECT_EQ(f.glyphs[' '].width, f.glyphs['j'].width);

    auto extent = [](const char* text, float kerning) {
        DrawFontText(KString(text), 0.0f, 0.0f, kerning);
        const std::vector<FontVertex>& v = LastTextVertices();
        return v.empty() ? 0.0f : v.back().x - v.front().x;
    };
    EXPECT_EQ(extent("j j", 1) - extent("jj", 1), f.glyphs['j'].width);  // a kerned space is a kerned j
    EXPECT_EQ(extent("AB", 0), 32.0f);  // unkerned: whole cells
    EXPECT_EQ(extent("AB", 1), 8.0f + 16.0f);
}

TEST_F(Fonts, MissingFilesAndIndicesOutsideTheTable) {
    LoadFont(KString("/no/such/font.png"), 4);  // the built-in font takes its place
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(CurrentFont(), 4);
    EXPECT_EQ(GetFont(4).glyphs['Q'].width, 8);
    // Text is placed at whole pixels rounded up; byte 128 ends it.
    DrawFontText(KString("A"), 10.2f, 20.7f, 0);
    ASSERT_EQ(LastTextVertices().size(), 4u);
    EXPECT_EQ(LastTextVertices()[1].x, 11.0f);
    EXPECT_EQ(LastTextVertices()[1].y, 21.0f);
    DrawFontText(KString("AB\x80" "C"), 0, 0, 0);
    EXPECT_EQ(LastTextVertices().size(), 8u);
    DrawFontText(KString(""), 0, 0, 0);
    EXPECT_TRUE(LastTextVertices().empty());

    const std::string path = FontFile(128, 256, 16, {{200, 1}});  // narrower than high: 256 characters
    LoadFont(KString(path.c_str()), 40);
    std::remove(path.c_str());
    EXPECT_EQ(ErrorCode(), 7);
    EXPECT_EQ(CurrentFont(), 4);            // unchanged, and loaded with the picture
    EXPECT_EQ(GetFont(4).characters, 256);
    EXPECT_EQ(GetFont(4).glyphs[200].left, 1);
    LoadFont(KString("/no/such/font.png"), 40);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(GetFont(4).characters, 256);  // no built-in font written anywhere
}

TEST(BuiltInFont, EveryPrintableCharacterHasInkInsideItsCell) {
    const DecodedImage pic = BuiltInFontPicture();
    ASSERT_EQ(pic.width, 128);
    ASSERT_EQ(pic.height, 64);
    for (int c = 0; c < 128; ++c) {
        int white = 0, outside = 0;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const uint8_t* p = &pic.rgba[((static_cast<size_t>(c / 16) * 8 + y) * 128 + (c % 16) * 8 + x) * 4];
                if (p[3] && p[0] == 255) ++white, outside += (x < 1 || x > 5 || y > 6);
            }
        }
        EXPECT_EQ(outside, 0) << "character " << c;
        EXPECT_EQ(white >= 2, c > 32 && c < 127) << "character " << c;
    }
}

using Surfaces = HeadlessDevice;

TEST_F(Surfaces, TargetsEndOneAnotherAndBadSurfacesAreRefused) {
    CreateOffscreenSurface(0, 600, 100, 60);
    CreateOffscreenSurface(1, 601, 20, 20);
    CreateOffscreenSurface(32, 602, 20, 20);  // beyond the table: nothing
    EXPECT_EQ(GetSprite(602)->texture, 0u);
    SetRenderTarget(0);
    EXPECT_GE(GetOffscreenSurface(0)->previousBinding, 0);
    SetRenderTarget(1);  // the first is ended before the second is bound
    EXPECT_EQ(GetOffscreenSurface(0)->previousBinding, -1);

    ::testing::internal::CaptureStdout();
    CreateOffscreenSurface(2, 603, -4, 10);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "can't create FBO for neg dims -4x10\n");
    EXPECT_EQ(std::make_pair(GetOffscreenSurface(2)->framebuffer, GetOffscreenSurface(2)->surfaceSprite),
              std::make_pair(0u, -1));
}

}  // namespace
