// The display's logic on the headless twin: orientation maths, set-up, state switches, frame
// pacing, the opaque front and the frame's draw figures, sprite slots, texture preparation, fonts.
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
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/null_platform.h"
#include "tests/graphics/headless_device.h"
#include "tests/graphics/test_files.h"

namespace {

using V = std::vector<int>;

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
        EXPECT_EQ(V({r.x, r.y, r.width, r.height}), V({box[0], box[1], box[2] - box[0] + 1, box[3] - box[1] + 1}));
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

using DisplaySetUp = HeadlessDevice;

TEST_F(DisplaySetUp, OrientationFollowsTheDeviceAndTheRequest) {
    EXPECT_EQ(setUpOutput,
              "SDL_init video\nSDL_GetVideoInfo = 768x1024 @ 32 bpp\n"
              "   want landscape 768,1024: 0\n   device landscape: 0\n"
              "Setting video mode: 0x0x0 fl=2\nSDL_SetVideoMode seems to be 1\nVoza::SetScreen( 768,1024)\n"
              "get accurate timer - 1st call\nflip - 1st call\nBGRA ext supported\nTexture size limit: 0\n"
              "init fbo\n2D VP\nDIVE init [OK]\n");
    // display w, h, requested w, h, orientation, virtual screen w, h
    const int cases[][7] = {{1024, 768, 768, 1024, 3, 768, 1024}, {768, 1024, 1024, 768, 1, 1024, 768},
                            {1024, 768, 1024, 768, 0, 1024, 768}, {800, 800, 768, 1024, 0, 800, 800}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c[0]) + "x" + std::to_string(c[1]) + " asked " + std::to_string(c[2]));
        Open(c[0], c[1], c[2], c[3]);
        float w = 0, h = 0;
        GetScreenSize(w, h);
        EXPECT_EQ(V({graphicsDevice->Orientation, graphicsDevice->deviceWidth, int(w), int(h)}), V({c[4], c[0], c[5], c[6]}));
        const std::string swap = "swap deskx, desky to " + std::to_string(c[5]) + "," + std::to_string(c[6]);
        EXPECT_EQ(setUpOutput.find(swap) != std::string::npos, c[4] != 0);
    }
}

TEST_F(DisplaySetUp, SwitchesAreSentOnlyWhenTheyChangeAndLastUntilTheFrameReset) {
    GraphicsDevice& d = *graphicsDevice;
    GlCapabilityCache& cache = d.GlStateCache;
    const unsigned long before = cache.SentSwitches();
    cache.Enable(GL_BLEND), cache.Enable(GL_BLEND), cache.Disable(GL_FOG);  // fog is off since the reset
    EXPECT_EQ(cache.SentSwitches(), before + 1);
    cache.Invalidate();  // unknown again: the next switch is sent whatever it is
    cache.Enable(GL_BLEND);
    EXPECT_EQ(cache.SentSwitches(), before + 2);

    SetBlendMode(-2.0f);
    EXPECT_EQ(d.globalAlpha, 1.0f);  // at most 1
    SetBlendMode(-0.5f), SetAlphaTest(1.0f), SetTextureFiltering(0), SetViewport(10, 20, 30, 40);
    d.Reset2DState();
    EXPECT_EQ(std::make_pair(d.globalAlpha, d.alphaTestRef), std::make_pair(1.0f, 0.05f));
    EXPECT_EQ(std::make_pair(cache.Word(GL_BLEND), cache.Word(GL_ALPHA_TEST)), std::make_pair(0u, 1u));
    EXPECT_EQ(V({d.smoothFiltering, d.viewWidth}), V({1, 768}));
    // A viewport of no size is the whole screen.
    const float sizes[][2] = {{0, 0}, {-5, 10}, {10, -1}, {0.5f, 10}};
    for (const auto& s : sizes) {
        SetViewport(5, 5, s[0], s[1]);
        EXPECT_EQ(V({d.viewX, d.viewY, d.viewWidth, d.viewHeight}), V({0, 0, 768, 1024})) << s[0] << " x " << s[1];
    }
}

// The render test shows the opaque front's pixels; here, that it costs one draw of its own and
// how the frame's figures count every pixel.
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
    ASSERT_EQ(graphicsDevice->PresentFrame(), 1);
    const FrameDrawStats& s = LastFrameDrawStats();
    EXPECT_EQ(V({int(s.drawCalls), int(s.vertices)}), V({2, 24}));
    EXPECT_EQ(std::vector<double>({s.opaquePixels, s.blendedPixels, s.invisiblePixels, s.peakAlpha}),
              std::vector<double>({10000 + 68 * 24, 10000 + 100, 100, 1}));
    EXPECT_EQ(CurrentFrameDrawStats().drawCalls, 0u) << "the next frame starts from nothing";
    EnableDrawStats(false);
}

TEST_F(DisplaySetUp, FramesArePacedOnTheClockAndAQuitIsNeverStarved) {
    EXPECT_FLOAT_EQ(FrameMillisFor(59.9f), 1000.0f / 59);  // whole frames per second
    EXPECT_EQ(FrameMillisFor(0), 2.0f);
    EXPECT_EQ(V({TruncToInt(-2.7f), TruncToInt(1e20f), TruncToInt(std::nanf(""))}), V({-2, 2147483647, 0}));
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
    EXPECT_TRUE(d.nextFrameTime >= ElapsedMs() && d.nextFrameTime <= ElapsedMs() + 20.0f) << d.nextFrameTime;
    for (int i = 0; i < 600; ++i) NullPlatform::PushActive(true, Platform::APP_MOUSEFOCUS);
    EXPECT_EQ(d.PresentFrame(), 1);
    NullPlatform::PushQuit();  // behind a flood of events
    EXPECT_EQ(d.PresentFrame(), 0);
}

TEST_F(DisplaySetUp, UploadsArePaddedAndBadImagesLeaveTheSlotEmpty) {
    EXPECT_EQ(V({PaddedTextureSide(1), PaddedTextureSide(16), PaddedTextureSide(17), PaddedTextureSide(768)}),
              V({16, 16, 32, 1024}));
    DecodedImage one, empty, shortBuffer, huge;
    one.width = one.height = 1, one.rgba = {1, 2, 3, 255};
    shortBuffer = one, shortBuffer.width = 2;
    huge.width = 20000, huge.height = 1, huge.rgba.assign(80000, 255);
    ASSERT_EQ(UploadImageToSprite(one, 5, false), 1);
    EXPECT_FLOAT_EQ(GetSprite(5)->uMax, 1 / 16.0f);
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
    img.width = img.height = 3, img.rgba = {255, 0, 128, 255, 10, 20, 30, 255, 50, 60, 70, 255,
                90, 0, 9, 255, 255, 0, 128, 255, 30, 30, 30, 255,
                0, 0, 0, 255, 200, 100, 0, 255, 255, 0, 127, 255};
    ApplyColourKey(img, NO_COLOUR_KEY);
    EXPECT_EQ(img.rgba[3], 255);
    ApplyColourKey(img, 0x8000FF);
    EXPECT_EQ(std::make_pair(img.rgba[3], img.rgba[8 * 4 + 3]), std::make_pair(uint8_t(0), uint8_t(255)));
    BleedColours(img);
    // Centre: the mean of its seven opaque neighbours; the corner: of (10,20,30) and (90,0,9) only.
    EXPECT_EQ(std::vector<uint8_t>(&img.rgba[16], &img.rgba[20]),
              (std::vector<uint8_t>{(10 + 50 + 90 + 30 + 0 + 200 + 255) / 7, (20 + 60 + 30 + 100) / 7,
                                    (30 + 70 + 9 + 30 + 127) / 7, 0}));
    EXPECT_EQ(std::vector<uint8_t>(&img.rgba[0], &img.rgba[4]), (std::vector<uint8_t>{50, 10, 19, 0}));
    DecodedImage lone;  // no opaque neighbour: transparent black
    lone.width = lone.height = 1, lone.rgba = {255, 0, 128, 0};
    BleedColours(lone);
    EXPECT_EQ(lone.rgba, (std::vector<uint8_t>{0, 0, 0, 0}));
}

using SpriteLoading = HeadlessDevice;

TEST_F(SpriteLoading, BadNamesAndFilesLeaveTheSlotEmpty) {
    const std::string bmp = Bmp24(1, 1, {9, 8, 7}), path = TempFile(bmp), junk = TempFile("this is not a picture at all");
    ASSERT_FALSE(path.empty() || junk.empty());
    const KString memName = RegisterMemoryFile(bmp.data(), bmp.size());
    LoadSpriteImage(memName, 10.0f);  // a registered memory file loads like a file
    EXPECT_EQ(V({ErrorCode(), GetSprite(10)->imageWidth}), V({0, 1}));
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
    std::remove(path.c_str()), std::remove(junk.c_str());
}

using Fonts = HeadlessDevice;

TEST_F(Fonts, GlyphsAreMeasuredFromTheirInkAndAMissingPictureLeavesTheBuiltInFont) {
    LoadFont(KString("/no/such/font.png"), 4);  // the built-in font takes its place
    EXPECT_EQ(V({ErrorCode(), CurrentFont(), GetFont(4).glyphs['Q'].width}), V({3, 4, 8}));
    // Text is placed at whole pixels rounded up; byte 128 ends it.
    DrawFontText(KString("A\x80" "B"), 10.2f, 20.7f, 0);
    ASSERT_EQ(LastTextVertices().size(), 4u);
    EXPECT_EQ(std::make_pair(LastTextVertices()[1].x, LastTextVertices()[1].y), std::make_pair(11.0f, 21.0f));

    // 128 characters of 16 x 16 on black, the font's transparent colour; white ink in chosen
    // columns of A, j and W, which is inked up to its cell's last column.
    std::vector<uint8_t> rgb(256 * 128 * 3, 0);
    const std::pair<int, int> inks[] = {{'A', 3}, {'A', 9}, {'j', 5}, {'j', 7}, {'W', 2}, {'W', 15}};
    for (const auto& ink : inks)
        for (int k = 0; k < 3; ++k) rgb[((ink.first / 16 * 16 + 8) * 256 + ink.first % 16 * 16 + ink.second) * 3 + k] = 255;
    const std::string path = TempFile(Bmp24(256, 128, rgb));
    LoadFont(KString(path.c_str()), 2);
    std::remove(path.c_str());
    const FontRecord& f = GetFont(2);
    ASSERT_TRUE(f.loaded && ErrorCode() == 0 && CurrentFont() == 2 && f.characters == 128);
    // character, left, width: 7 inked columns plus one spacing column, none after the cell's last
    // column, the whole cell when empty, and the upper half repeating the lower.
    const int glyphs[][3] = {{'A', 3, 8}, {'W', 2, 14}, {'B', 0, 16}, {'A' + 128, 3, 8}};
    for (const auto& g : glyphs) EXPECT_EQ(V({f.glyphs[g[0]].left, f.glyphs[g[0]].width}), V({g[1], g[2]})) << g[0];
    EXPECT_EQ(std::make_pair(f.glyphs['A'].u0, f.glyphs['A'].u1), std::make_pair((16 + 3) / 256.0f, (16 + 3 + 8) / 256.0f));
    auto extent = [](const char* text, float kerning) {
        DrawFontText(KString(text), 0.0f, 0.0f, kerning);
        const std::vector<FontVertex>& v = LastTextVertices();
        return v.empty() ? 0.0f : v.back().x - v.front().x;
    };
    EXPECT_EQ(extent("j j", 1) - extent("jj", 1), f.glyphs['j'].width);  // a kerned space is a kerned j
    EXPECT_EQ(std::make_pair(extent("AB", 0), extent("AB", 1)), std::make_pair(32.0f, 8.0f + 16.0f));  // unkerned: whole cells
    LoadFont(KString("/no/such/font.png"), 40);  // outside the table: no built-in font written anywhere
    EXPECT_EQ(V({ErrorCode(), CurrentFont(), f.glyphs['A'].left}), V({3, 2, 3}));
}

}  // namespace
