// The display's logic on the headless twin: orientation maths, set-up, the capability cache,
// the drawing switches, frame pacing, and the sprite table's padding, keying and bleeding.
#include <gtest/gtest.h>

#include <GLES/gl.h>

#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/kstring.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/null_platform.h"
#include "tests/graphics/headless_device.h"

namespace {

TEST(Orientation, DeviceAndScreenMappingsAreInversesThatCoverTheDevice) {
    const int W = 7, H = 5;
    for (int o = 0; o < 4; ++o) {
        const int sw = (o == 1 || o == 3) ? H : W, sh = (o == 1 || o == 3) ? W : H;
        std::set<std::pair<int, int>> hit;
        for (int y = 0; y < sh; ++y) {
            for (int x = 0; x < sw; ++x) {
                int dx = x, dy = y;
                ScreenToDevicePoint(o, W, H, dx, dy);
                ASSERT_TRUE(dx >= 0 && dx < W && dy >= 0 && dy < H) << "orientation " << o;
                hit.insert({dx, dy});
                DeviceToScreenPoint(o, W, H, dx, dy);
                EXPECT_EQ(dx, x);
                EXPECT_EQ(dy, y);
            }
        }
        EXPECT_EQ(hit.size(), static_cast<size_t>(W * H)) << "orientation " << o;
    }
}

TEST(Orientation, KnownCornersOfTheTurnedScreens) {
    // A quarter turn on a 1024 x 768 device: device (0,0) is screen (0,1023), (1023,767) is (767,0).
    int x = 0, y = 0;
    DeviceToScreenPoint(1, 1024, 768, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 1023));
    x = 1023, y = 767;
    DeviceToScreenPoint(1, 1024, 768, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(767, 0));
    // The other quarter turn: the screen's top-left is the device's bottom-left.
    x = 0, y = 0;
    ScreenToDevicePoint(3, 1024, 768, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 767));
    x = 5, y = 9;
    ScreenToDevicePoint(2, 768, 1024, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(762, 1014));
}

TEST(Orientation, ViewportRectangleIsTheBoundingBoxOfItsPixels) {
    const int W = 40, H = 30;
    for (int o = 0; o < 4; ++o) {
        const int rx = 3, ry = 5, rw = 11, rh = 7;
        int minX = 1 << 20, minY = 1 << 20, maxX = -1, maxY = -1;
        for (int y = ry; y < ry + rh; ++y) {
            for (int x = rx; x < rx + rw; ++x) {
                int dx = x, dy = y;
                ScreenToDevicePoint(o, W, H, dx, dy);
                minX = std::min(minX, dx), maxX = std::max(maxX, dx);
                minY = std::min(minY, dy), maxY = std::max(maxY, dy);
            }
        }
        const DeviceRect r = ScreenRectToDevice(o, W, H, rx, ry, rw, rh);
        EXPECT_EQ(r.x, minX) << o;
        EXPECT_EQ(r.y, minY) << o;
        EXPECT_EQ(r.width, maxX - minX + 1) << o;
        EXPECT_EQ(r.height, maxY - minY + 1) << o;
    }
    // With the other quarter turn, GL's bottom-up viewport is (y, x, h, w).
    const DeviceRect r = ScreenRectToDevice(3, 1024, 768, 100, 150, 50, 40);
    EXPECT_EQ(768 - r.height - r.y, 100);
    EXPECT_EQ(r.x, 150);
}

TEST(Orientation, RotationMatricesTurnTheAxes) {
    const float expected[4][4] = {{1, 0, 0, 1}, {0, -1, 1, 0}, {-1, 0, 0, -1}, {0, 1, -1, 0}};
    for (int o = 0; o < 4; ++o) {
        float m[16];
        RotationMatrix(o, m);
        // (x', y') = (m0 x + m4 y, m1 x + m5 y): columns of x and y.
        EXPECT_EQ(m[0], expected[o][0]);
        EXPECT_EQ(m[1], expected[o][1]);
        EXPECT_EQ(m[4], expected[o][2]);
        EXPECT_EQ(m[5], expected[o][3]);
        EXPECT_EQ(m[10], 1.0f);
        EXPECT_EQ(m[15], 1.0f);
    }
}

TEST(Orientation, DecisionAndFrameTimes) {
    EXPECT_EQ(ChooseOrientation(1024, 768, 768, 1024), 3);
    EXPECT_EQ(ChooseOrientation(768, 1024, 768, 1024), 0);
    EXPECT_EQ(ChooseOrientation(768, 1024, 1024, 768), 1);
    EXPECT_EQ(ChooseOrientation(1024, 768, 1024, 768), 0);
    EXPECT_EQ(ChooseOrientation(800, 800, 768, 1024), 0);
    EXPECT_FLOAT_EQ(FrameMillisFor(60), 1000.0f / 60);
    EXPECT_FLOAT_EQ(FrameMillisFor(59.9f), 1000.0f / 59);
    EXPECT_EQ(FrameMillisFor(0), 2.0f);
    EXPECT_EQ(FrameMillisFor(-1), 2.0f);
    EXPECT_EQ(TruncToInt(-2.7f), -2);
    EXPECT_EQ(TruncToInt(1e20f), 2147483647);
    EXPECT_EQ(TruncToInt(0.0f / 0.0f), 0);
}

using DisplaySetUp = HeadlessDevice;

TEST_F(DisplaySetUp, PortraitDeviceKeepsEverythingUnturned) {
    EXPECT_EQ(graphicsDevice->Orientation, 0);
    EXPECT_EQ(graphicsDevice->deskWidth, 768);
    EXPECT_EQ(graphicsDevice->deskHeight, 1024);
    EXPECT_EQ(setUpOutput,
              "SDL_init video\n"
              "SDL_GetVideoInfo = 768x1024 @ 32 bpp\n"
              "   want landscape 768,1024: 0\n   device landscape: 0\n"
              "Setting video mode: 0x0x0 fl=2\n"
              "SDL_SetVideoMode seems to be 1\n"
              "Voza::SetScreen( 768,1024)\n"
              "get accurate timer - 1st call\n"
              "flip - 1st call\n"
              "BGRA ext supported\n"
              "Texture size limit: 0\n"
              "init fbo\n"
              "2D VP\n"
              "DIVE init [OK]\n");
    EXPECT_EQ(NullPlatform::FramesPresented(), 3u);
    EXPECT_EQ(graphicsDevice->clearEachFrame, 1);
    EXPECT_EQ(graphicsDevice->bgraSupported, 1);
}

TEST_F(DisplaySetUp, LandscapeDeviceTurnsThePortraitScreen) {
    Open(1024, 768);
    EXPECT_EQ(graphicsDevice->Orientation, 3);
    EXPECT_EQ(graphicsDevice->deviceWidth, 1024);
    EXPECT_EQ(graphicsDevice->deviceHeight, 768);
    EXPECT_EQ(graphicsDevice->deskWidth, 768);  // swapped to describe the virtual screen
    EXPECT_EQ(graphicsDevice->deskHeight, 1024);
    float w = 0, h = 0;
    GetScreenSize(w, h);
    EXPECT_EQ(w, 768.0f);
    EXPECT_EQ(h, 1024.0f);
    EXPECT_NE(setUpOutput.find("swap deskx, desky to 768,1024 - landscape mode 1\n"), std::string::npos);
    EXPECT_NE(setUpOutput.find("   want landscape 768,1024: 0\n   device landscape: 1\n"), std::string::npos);
    // A landscape request on a portrait device takes the other quarter turn.
    Open(768, 1024, 1024, 768);
    EXPECT_EQ(graphicsDevice->Orientation, 1);
    GetScreenSize(w, h);
    EXPECT_EQ(w, 1024.0f);
    EXPECT_EQ(h, 768.0f);
}

TEST_F(DisplaySetUp, CapabilityCacheSendsOnlyChanges) {
    GlCapabilityCache& cache = graphicsDevice->GlStateCache;
    const unsigned long before = cache.SentSwitches();
    cache.Enable(GL_BLEND);
    cache.Enable(GL_BLEND);
    cache.Disable(GL_FOG);  // already off since the reset
    EXPECT_EQ(cache.SentSwitches(), before + 1);
    cache.Invalidate();
    EXPECT_EQ(cache.Word(GL_BLEND), GL_STATE_UNKNOWN);
    cache.Disable(GL_BLEND);
    cache.Disable(GL_BLEND);
    EXPECT_EQ(cache.SentSwitches(), before + 2);
    // The reset sends every one of its switches whatever was cached.
    const unsigned long beforeReset = cache.SentSwitches();
    graphicsDevice->Reset2DState();
    EXPECT_EQ(cache.SentSwitches() - beforeReset, 13u);
    EXPECT_EQ(cache.Word(GL_ALPHA_TEST), 1u);
    EXPECT_EQ(cache.Word(GL_COLOR_MATERIAL), 1u);
    EXPECT_EQ(cache.Word(GL_BLEND), 0u);
    EXPECT_EQ(cache.Word(GL_DITHER), 0u);
}

TEST_F(DisplaySetUp, BlendModeAlphaTestAndFilteringSwitches) {
    ZiruZADavuzovi& d = *graphicsDevice;
    SetBlendMode(-0.5f);
    EXPECT_EQ(d.GlStateCache.Word(GL_BLEND), 1u);
    EXPECT_EQ(d.globalAlpha, 0.5f);
    SetBlendMode(2.0f);
    EXPECT_EQ(d.globalAlpha, 1.0f);
    EXPECT_TRUE(d.blendOn);
    SetBlendMode(-0.25f);
    SetBlendMode(0.0f);
    EXPECT_EQ(d.GlStateCache.Word(GL_BLEND), 0u);
    EXPECT_EQ(d.globalAlpha, 1.0f);
    EXPECT_FALSE(d.blendOn);

    SetAlphaTest(0.3f);
    EXPECT_EQ(d.alphaTestRef, 0.3f);
    SetAlphaTest(1.0f);
    EXPECT_EQ(d.GlStateCache.Word(GL_ALPHA_TEST), 0u);
    EXPECT_EQ(d.alphaTestRef, 0.3f);
    SetAlphaTest(0.0f);
    EXPECT_EQ(d.GlStateCache.Word(GL_ALPHA_TEST), 1u);
    EXPECT_EQ(d.alphaTestRef, 0.0f);

    SetTextureFiltering(0);
    EXPECT_EQ(d.smoothFiltering, 0);
    SetFrameRateLimit(0);
    EXPECT_EQ(d.frameMillis, 2.0f);
    // Every switch lasts only until the frame's reset.
    SetBlendMode(-0.5f);
    d.Reset2DState();
    EXPECT_EQ(d.smoothFiltering, 1);
    EXPECT_EQ(d.globalAlpha, 1.0f);
    EXPECT_EQ(d.alphaTestRef, 0.05f);
    EXPECT_EQ(d.GlStateCache.Word(GL_BLEND), 0u);
}

TEST_F(DisplaySetUp, ViewportOfZeroOrNegativeSizeIsTheWholeScreen) {
    ZiruZADavuzovi& d = *graphicsDevice;
    SetViewport(10.0f, 20.0f, 30.0f, 40.0f);
    EXPECT_EQ(d.viewX, 10);
    EXPECT_EQ(d.viewHeight, 40);
    SetViewport(10.0f, 20.0f, 0.0f, 0.0f);
    EXPECT_EQ(d.viewX, 0);
    EXPECT_EQ(d.viewWidth, 768);
    EXPECT_EQ(d.viewHeight, 1024);
    SetViewport(5.0f, 5.0f, -5.0f, 10.0f);
    EXPECT_EQ(d.viewY, 0);
    EXPECT_EQ(d.viewWidth, 768);
}

TEST_F(DisplaySetUp, FramesArePacedOnTheClock) {
    ZiruZADavuzovi& d = *graphicsDevice;
    SetFrameRateLimit(50);  // 20 ms frames
    d.nextFrameTime = ElapsedMs();
    ASSERT_EQ(d.PresentFrame(), 1);
    const uint32_t start = NullPlatform::Now();
    for (int i = 0; i < 5; ++i) ASSERT_EQ(d.PresentFrame(), 1);
    const uint32_t spent = NullPlatform::Now() - start;
    EXPECT_GE(spent, 5u * 20 - 2);
    EXPECT_LE(spent, 5u * 20 + 2);

    // A long stall leaves at most one frame of backlog: the next frame is not rushed twice.
    NullPlatform::AdvanceClock(500);
    ASSERT_EQ(d.PresentFrame(), 1);
    EXPECT_GE(d.nextFrameTime, ElapsedMs());
    EXPECT_LE(d.nextFrameTime, ElapsedMs() + 20.0f);

    // Unlimited frames still take the 2 ms floor.
    SetFrameRateLimit(-1);
    d.nextFrameTime = ElapsedMs();
    d.PresentFrame();
    const uint32_t t0 = NullPlatform::Now();
    d.PresentFrame();
    EXPECT_LE(NullPlatform::Now() - t0, 3u);
}

TEST_F(DisplaySetUp, QuitEventEndsPresentAndFloodsDoNotStarveIt) {
    ZiruZADavuzovi& d = *graphicsDevice;
    for (int i = 0; i < 600; ++i) NullPlatform::PushActive(true, Platform::APP_MOUSEFOCUS);
    EXPECT_EQ(d.PresentFrame(), 1);
    NullPlatform::PushQuit();
    EXPECT_EQ(d.PresentFrame(), 0);
}

TEST_F(DisplaySetUp, PaddedSidesAndUploadRecords) {
    EXPECT_EQ(PaddedTextureSide(1), 16);
    EXPECT_EQ(PaddedTextureSide(10), 16);
    EXPECT_EQ(PaddedTextureSide(16), 16);
    EXPECT_EQ(PaddedTextureSide(17), 32);
    EXPECT_EQ(PaddedTextureSide(768), 1024);

    DecodedImage one;
    one.width = one.height = 1;
    one.rgba = {1, 2, 3, 255};
    ASSERT_EQ(UploadImageToSprite(one, 5, false), 1);
    const SpriteRecord* s = GetSprite(5);
    EXPECT_NE(s->texture, 0u);
    EXPECT_EQ(s->paddedWidth, 16);
    EXPECT_FLOAT_EQ(s->uMax, 0.0625f);
    EXPECT_FLOAT_EQ(s->vMax, 0.0625f);

    DecodedImage empty;
    EXPECT_EQ(UploadImageToSprite(empty, 5, false), 0);
    EXPECT_EQ(GetSprite(5)->texture, 0u);  // a failed upload leaves the slot empty
    EXPECT_EQ(GetSprite(5)->paddedWidth, -1);
    EXPECT_EQ(GetSprite(5)->imageWidth, 0);
    EXPECT_EQ(UploadImageToSprite(one, SPRITE_SLOTS, false), 0);
    EXPECT_EQ(GetSprite(SPRITE_SLOTS), nullptr);
}

TEST(TexturePrep, PaddedBufferHoldsTheImageUpsideDown) {
    DecodedImage img;
    img.width = 3;
    img.height = 2;
    for (int i = 0; i < 6; ++i) img.rgba.insert(img.rgba.end(), {uint8_t(i + 1), 0, 0, 255});
    const std::vector<uint8_t> t = BuildPaddedTexture(img, 16, 16);
    ASSERT_EQ(t.size(), 16u * 16 * 4);
    // Image row 0 (pixels 1,2,3) lands in texture row 1; image row 1 (4,5,6) in row 0.
    EXPECT_EQ(t[(1 * 16 + 0) * 4], 1);
    EXPECT_EQ(t[(1 * 16 + 2) * 4], 3);
    EXPECT_EQ(t[(0 * 16 + 0) * 4], 4);
    EXPECT_EQ(t[(0 * 16 + 2) * 4], 6);
    EXPECT_EQ(t[(0 * 16 + 3) * 4 + 3], 0);  // padding is transparent black
    EXPECT_EQ(t[(2 * 16 + 0) * 4 + 3], 0);
}

TEST(TexturePrep, ColourKeyAndBleeding) {
    // 3 x 3: a keyed centre surrounded by colours, and a keyed corner.
    DecodedImage img;
    img.width = img.height = 3;
    const uint8_t key[4] = {255, 0, 128, 255};
    const uint8_t px[9][4] = {
        {255, 0, 128, 255}, {10, 20, 30, 255}, {50, 60, 70, 255},
        {90, 0, 9, 255},   {255, 0, 128, 255}, {30, 30, 30, 255},
        {0, 0, 0, 255},    {200, 100, 0, 255}, {255, 0, 127, 255},
    };
    for (auto& p : px) img.rgba.insert(img.rgba.end(), p, p + 4);
    ApplyColourKey(img, NO_COLOUR_KEY);
    EXPECT_EQ(img.rgba[3], 255);
    ApplyColourKey(img, key[0] + key[1] * 256u + key[2] * 65536u);
    EXPECT_EQ(img.rgba[0 * 4 + 3], 0);
    EXPECT_EQ(img.rgba[4 * 4 + 3], 0);
    EXPECT_EQ(img.rgba[8 * 4 + 3], 255);  // one off in blue: not the key
    BleedColours(img);
    // Centre: the mean of its seven opaque neighbours, alpha still 0.
    EXPECT_EQ(img.rgba[4 * 4 + 0], (10 + 50 + 90 + 30 + 0 + 200 + 255) / 7);
    EXPECT_EQ(img.rgba[4 * 4 + 1], (20 + 60 + 0 + 30 + 0 + 100 + 0) / 7);
    EXPECT_EQ(img.rgba[4 * 4 + 2], (30 + 70 + 9 + 30 + 0 + 0 + 127) / 7);
    EXPECT_EQ(img.rgba[4 * 4 + 3], 0);
    // Corner: its opaque neighbours are (10,20,30) and (90,0,9); the keyed centre does not count.
    EXPECT_EQ(img.rgba[0], (10 + 90) / 2);
    EXPECT_EQ(img.rgba[1], (20 + 0) / 2);
    EXPECT_EQ(img.rgba[2], (30 + 9) / 2);
    EXPECT_EQ(img.rgba[3], 0);

    // A transparent texel with no opaque neighbour becomes transparent black.
    DecodedImage lone;
    lone.width = 1;
    lone.height = 1;
    lone.rgba = {255, 0, 128, 0};
    BleedColours(lone);
    EXPECT_EQ(lone.rgba, (std::vector<uint8_t>{0, 0, 0, 0}));
}

using SpriteLoading = HeadlessDevice;

std::string WriteFile(const std::string& bytes) {
    char path[] = "/tmp/spriteXXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return "";
    FILE* f = fdopen(fd, "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return path;
}

std::string TinyBmp() {
    // 1 x 1, 24 bits, the colour key (blue 128, green 0, red 255), bottom-up.
    std::string f = "BM";
    const uint32_t fields[] = {58, 0, 54, 40, 1, 1};
    for (uint32_t v : fields) f.append(reinterpret_cast<const char*>(&v), 4);
    const uint16_t planes = 1, bits = 24;
    f.append(reinterpret_cast<const char*>(&planes), 2);
    f.append(reinterpret_cast<const char*>(&bits), 2);
    const uint32_t rest[] = {0, 4, 0, 0, 0, 0};
    for (uint32_t v : rest) f.append(reinterpret_cast<const char*>(&v), 4);
    f += std::string("\x80\x00\xff\x00", 4);
    return f;
}

TEST_F(SpriteLoading, LoadsReplacesAndEmptiesSlots) {
    const std::string path = WriteFile(TinyBmp());
    ASSERT_FALSE(path.empty());
    LoadSpriteImage(KString(path.c_str()), 9.0f);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_NE(GetSprite(9)->texture, 0u);
    EXPECT_EQ(GetSprite(9)->imageWidth, 1);

    DecodedImage keyed;
    ASSERT_TRUE(ReadImageForSprite(path.c_str(), keyed, 0x8000FF, true));
    EXPECT_EQ(keyed.rgba, (std::vector<uint8_t>{0, 0, 0, 0}));
    ASSERT_TRUE(ReadImageForSprite(path.c_str(), keyed, NO_COLOUR_KEY, true));
    EXPECT_EQ(keyed.rgba, (std::vector<uint8_t>{255, 0, 128, 255}));

    // An empty path empties the slot without an error.
    LoadSpriteImage(KString(""), 9.0f);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(GetSprite(9)->texture, 0u);

    // A missing file and a file no reader accepts both leave the slot empty with code 3.
    LoadSpriteImage(KString(path.c_str()), 9.0f);
    LoadSpriteImage(KString("/no/such/picture.png"), 9.0f);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(GetSprite(9)->texture, 0u);
    const std::string junk = WriteFile("this is not a picture at all");
    LoadSpriteImage(KString(path.c_str()), 9.0f);
    LoadSpriteImage(KString(junk.c_str()), 9.0f);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(GetSprite(9)->texture, 0u);
    std::remove(junk.c_str());

    // Memory files the runtime registered load like files; other memory names do not.
    const std::string bytes = TinyBmp();
    const KString memName = RegisterMemoryFile(bytes.data(), bytes.size());
    LoadSpriteImage(memName, 10.0f);
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(GetSprite(10)->imageWidth, 1);
    ReleaseMemoryFile(bytes.data());
    LoadSpriteImage(memName, 10.0f);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(GetSprite(10)->texture, 0u);

    // A slot number outside the table is refused.
    LoadSpriteImage(KString(path.c_str()), 70000.0f);
    EXPECT_EQ(ErrorCode(), 7);
    std::remove(path.c_str());
}

}  // namespace
