// The window icon: the picture the game names is read once the executable's folder is known and
// handed to the window as RGBA, top row first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core_test_util.h"
#include "runtime/core/entry.h"
#include "runtime/platform/null_platform.h"

namespace {

// A 24-bit BMP, rows bottom-up, each padded to four bytes.
std::vector<unsigned char> Bmp(int w, int h, const std::vector<unsigned char>& rgbTopDown) {
    const int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> b(54 + stride * h, 0);
    auto u32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xff; };
    b[0] = 'B';
    b[1] = 'M';
    u32(2, static_cast<uint32_t>(b.size()));
    u32(10, 54);
    u32(14, 40);
    u32(18, static_cast<uint32_t>(w));
    u32(22, static_cast<uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    u32(34, static_cast<uint32_t>(stride * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                b[54 + (h - 1 - y) * stride + x * 3 + c] = rgbTopDown[(y * w + x) * 3 + (2 - c)];
    return b;
}

TEST(StartupIcon, ThePictureTheGameNamesBecomesTheWindowIcon) {
    ScratchDir dir;
    const std::string path = dir.Path() + "/icon.bmp";
    WriteRaw(path, Bmp(3, 2, {10, 20, 30, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    ApplicationIcon() = KString(path.c_str());
    NullPlatform::SetDisplaySize(768, 1024);
    RuntimeInit(0, 0, "icon test");
    EXPECT_EQ(NullPlatform::WindowIconWidth(), 3);
    EXPECT_EQ(NullPlatform::WindowIconHeight(), 2);
    EXPECT_EQ(NullPlatform::WindowIconCorner(), 0x0a141eFFu);  // the top-left pixel, opaque
}

}  // namespace
