// The display's logic on the headless twin: orientation maths, set-up, frame pacing with a quit
// behind a flood of events, and bad pictures or fonts leaving their slots empty.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/kstring.h"
#include "runtime/graphics/font.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
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
    // display w, h, requested w, h, orientation, virtual screen w, h
    const int cases[][7] = {{1024, 768, 768, 1024, 3, 768, 1024}, {768, 1024, 1024, 768, 1, 1024, 768},
                            {1024, 768, 1024, 768, 0, 1024, 768}, {800, 800, 768, 1024, 0, 800, 800}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c[0]) + "x" + std::to_string(c[1]) + " asked " + std::to_string(c[2]));
        Open(c[0], c[1], c[2], c[3]);
        float w = 0, h = 0;
        GetScreenSize(w, h);
        EXPECT_EQ(V({graphicsDevice->Orientation, graphicsDevice->deviceWidth, int(w), int(h)}), V({c[4], c[0], c[5], c[6]}));
    }
}

TEST_F(DisplaySetUp, FramesArePacedOnTheClockAndAQuitIsNeverStarved) {
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

TEST_F(Fonts, AMissingPictureLeavesTheBuiltInFont) {
    LoadFont(KString("/no/such/font.png"), 4);  // the built-in font takes its place
    EXPECT_EQ(V({ErrorCode(), CurrentFont(), GetFont(4).glyphs['Q'].width}), V({3, 4, 8}));
    LoadFont(KString("/no/such/font.png"), 40);  // outside the table: no built-in font written anywhere
    EXPECT_EQ(V({ErrorCode(), CurrentFont()}), V({3, 4}));
}

}  // namespace
