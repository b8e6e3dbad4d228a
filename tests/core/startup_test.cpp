// Start-up in a folder with no font picture and a window icon named by the game: the built-in
// letters stand in (the save-error screen must stay legible), and the icon reaches the window
// as RGBA, top row first.
#include <gtest/gtest.h>

#include "core_test_util.h"
#include "runtime/core/entry.h"
#include "runtime/core/files.h"
#include "runtime/graphics/font.h"
#include "runtime/platform/null_platform.h"

namespace {

// A 24-bit BMP, rows bottom-up, each padded to four bytes.
Bytes Bmp(int w, int h, const Bytes& rgbTopDown) {
    const int stride = (w * 3 + 3) & ~3;
    Bytes b(54 + stride * h, 0);
    auto u32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xff; };
    b[0] = 'B', b[1] = 'M', b[26] = 1, b[28] = 24;
    u32(2, static_cast<uint32_t>(b.size())), u32(10, 54), u32(14, 40), u32(18, w), u32(22, h), u32(34, stride * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x) b[54 + (h - 1 - y) * stride + x] = rgbTopDown[y * w * 3 + x / 3 * 3 + 2 - x % 3];
    return b;
}

TEST(Startup, BuiltInLettersStandInForAMissingFontAndTheNamedPictureBecomesTheIcon) {
    ScratchDir dir;
    WriteRaw(dir.File("icon.bmp"), Bmp(3, 2, {10, 20, 30, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    ApplicationIcon() = KString(dir.File("icon.bmp").c_str());
    NullPlatform::SetDisplaySize(768, 1024);
    RuntimeInit(0, 0, "start-up test");
    EXPECT_EQ(NullPlatform::WindowIconWidth(), 3);
    EXPECT_EQ(NullPlatform::WindowIconHeight(), 2);
    EXPECT_EQ(NullPlatform::WindowIconCorner(), 0x0a141eFFu);  // the top-left pixel, opaque
    ASSERT_FALSE(FileExists(KString("Media/smalfont.png")) || FileExists(KString("smalfont.png")));
    EXPECT_TRUE(GetFont(0).loaded);
    DrawFontText(KString("SAVE"), 10, 10, 0);
    EXPECT_FALSE(LastTextVertices().empty());
}

}  // namespace
