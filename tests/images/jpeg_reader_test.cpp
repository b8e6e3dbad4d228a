// JPEG reader: grey, colour, four-component and progressive files, and broken ones.
#include <gtest/gtest.h>

#include <cstdlib>

#include "runtime/graphics/image_decode.h"
#include "tests/images/image_writers.h"

namespace {

bool Decode(const Bytes& b, DecodedImage& img) { return DecodeJpeg(b.data(), b.size(), img, "pic.jpg"); }

// 32 x 16: four 8 x 8 blocks per row of flat colours, so the lossy coding keeps them close.
const Rgb BLOCKS[2][4] = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}},
                          {{0, 0, 0}, {128, 128, 128}, {255, 255, 0}, {40, 90, 200}}};

Bytes BlockSamples(int components) {
    Bytes s;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgb c = BLOCKS[y / 8][x / 8];
            if (components == 1) {
                s.push_back(c.g);
            } else {
                s.push_back(c.r);
                s.push_back(c.g);
                s.push_back(c.b);
                if (components == 4) s.push_back(uint8_t(x * 8));
            }
        }
    }
    return s;
}

// Compares the centres of the 8 x 8 blocks, where the coding error is small.
void ExpectBlocks(const DecodedImage& img, int components, int tolerance) {
    ASSERT_EQ(img.width, 32);
    ASSERT_EQ(img.height, 16);
    ASSERT_EQ(img.rgba.size(), 32u * 16u * 4u);
    for (int by = 0; by < 2; ++by) {
        for (int bx = 0; bx < 4; ++bx) {
            const int x = bx * 8 + 4, y = by * 8 + 4;
            const uint8_t* p = &img.rgba[(size_t(y) * 32 + x) * 4];
            const Rgb c = BLOCKS[by][bx];
            const int want[3] = {components == 1 ? c.g : c.r, c.g, components == 1 ? c.g : c.b};
            for (int ch = 0; ch < 3; ++ch)
                EXPECT_LE(std::abs(p[ch] - want[ch]), tolerance) << "block " << bx << "," << by << " ch " << ch;
            if (components != 4) {
                EXPECT_EQ(p[3], 255);
            }
        }
    }
}

TEST(JpegReader, GreyBecomesOpaqueRgb) {
    DecodedImage img;
    ASSERT_TRUE(Decode(WriteJpeg(32, 16, 1, BlockSamples(1)), img));
    EXPECT_FALSE(img.hasAlpha);
    EXPECT_EQ(img.format, ImageFormat::JPEG);
    EXPECT_FALSE(AcceptsColourKey(img));
    ExpectBlocks(img, 1, 4);
    for (size_t i = 0; i < img.rgba.size(); i += 4) {
        EXPECT_EQ(img.rgba[i], img.rgba[i + 1]);
        EXPECT_EQ(img.rgba[i], img.rgba[i + 2]);
    }
}

TEST(JpegReader, ColourBaselineAndProgressive) {
    for (bool progressive : {false, true}) {
        DecodedImage img;
        ASSERT_TRUE(Decode(WriteJpeg(32, 16, 3, BlockSamples(3), 95, progressive), img)) << progressive;
        EXPECT_FALSE(img.hasAlpha);
        // Chroma is subsampled 2 x 2, so saturated neighbours bleed a little even at the centres.
        ExpectBlocks(img, 3, 12);
    }
}

TEST(JpegReader, FourComponentsKeepTheFourthByteAsAlpha) {
    DecodedImage img;
    ASSERT_TRUE(Decode(WriteJpeg(32, 16, 4, BlockSamples(4), 100), img));
    EXPECT_TRUE(img.hasAlpha);
    ExpectBlocks(img, 4, 6);
    // The fourth component was a ramp of x * 8.
    for (int x : {4, 12, 20, 28}) EXPECT_LE(std::abs(img.rgba[(8 * 32 + x) * 4 + 3] - x * 8), 6) << x;
}

TEST(JpegReader, TwoComponentsFailWithMessage) {
    Bytes s(32 * 16 * 2, 100);
    const Bytes file = WriteJpeg(32, 16, 2, s);
    DecodedImage img;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(Decode(file, img));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "JPEG: Channels: 2 not supported!\n");
    EXPECT_TRUE(img.rgba.empty());
}

TEST(JpegReader, EveryTruncationFails) {
    for (bool progressive : {false, true}) {
        const Bytes full = WriteJpeg(32, 16, 3, BlockSamples(3), 90, progressive);
        DecodedImage img;
        ASSERT_TRUE(Decode(full, img));
        // Only the closing end-of-image marker may be missing.
        for (size_t n = 0; n + 2 < full.size(); ++n) {
            EXPECT_FALSE(Decode(Bytes(full.begin(), full.begin() + n), img)) << progressive << " cut to " << n;
            EXPECT_TRUE(img.rgba.empty());
        }
    }
}

// Offset of the frame header's height field (SOF0 or SOF2 marker + 5).
size_t FrameSizeOffset(const Bytes& f) {
    for (size_t i = 2; i + 9 < f.size(); ++i)
        if (f[i] == 0xFF && (f[i + 1] == 0xC0 || f[i + 1] == 0xC2)) return i + 5;
    return 0;
}

TEST(JpegReader, RejectsAbsurdFrameSizes) {
    const Bytes good = WriteJpeg(32, 16, 3, BlockSamples(3));
    const size_t at = FrameSizeOffset(good);
    ASSERT_GT(at, 0u);
    const struct {
        int w, h;
    } sizes[] = {{0, 16}, {32, 0}, {65535, 65535}, {16385, 16}, {16384, 16384}};
    for (const auto& s : sizes) {
        Bytes b = good;
        b[at] = uint8_t(s.h >> 8);
        b[at + 1] = uint8_t(s.h);
        b[at + 2] = uint8_t(s.w >> 8);
        b[at + 3] = uint8_t(s.w);
        DecodedImage img;
        EXPECT_FALSE(Decode(b, img)) << s.w << "x" << s.h;
        EXPECT_TRUE(img.rgba.empty());
    }
}

TEST(JpegReader, GarbageAfterTheStartMarkerFails) {
    Bytes b = {0xFF, 0xD8};
    for (int i = 0; i < 200; ++i) b.push_back(uint8_t(i * 37 + 11));
    DecodedImage img;
    EXPECT_FALSE(Decode(b, img));
    EXPECT_FALSE(Decode(Bytes{0xFF, 0xD8, 0xFF, 0xD9}, img));
}

}  // namespace
