// BMP reader: every bit depth both ways up, the core header, and malformed headers.
#include <gtest/gtest.h>

#include <climits>

#include "runtime/graphics/image_decode.h"
#include "tests/images/image_writers.h"

namespace {

// 5 x 3: odd width so every depth needs row padding.
IndexedPicture Sample() {
    IndexedPicture p;
    p.width = 5;
    p.height = 3;
    p.index = {0, 1, 2, 3, 0,  //
               1, 1, 0, 2, 3,  //
               3, 2, 1, 0, 1};
    p.palette = {{10, 20, 30}, {200, 100, 50}, {0, 255, 128}, {255, 0, 128}};
    return p;
}

struct Px {
    int r, g, b, a;
};

Px At(const DecodedImage& img, int x, int y) {
    const uint8_t* p = &img.rgba[(size_t(y) * img.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

void ExpectPixels(const DecodedImage& img, const std::vector<Px>& want) {
    ASSERT_EQ(img.rgba.size(), want.size() * 4);
    for (size_t i = 0; i < want.size(); ++i) {
        const int x = int(i % img.width), y = int(i / img.width);
        const Px got = At(img, x, y);
        EXPECT_EQ(got.r, want[i].r) << "pixel " << x << "," << y;
        EXPECT_EQ(got.g, want[i].g) << "pixel " << x << "," << y;
        EXPECT_EQ(got.b, want[i].b) << "pixel " << x << "," << y;
        EXPECT_EQ(got.a, want[i].a) << "pixel " << x << "," << y;
    }
}

const Px C0{10, 20, 30, 255}, C1{200, 100, 50, 255}, C2{0, 255, 128, 255}, C3{255, 0, 128, 255};

bool Decode(const Bytes& b, DecodedImage& img) { return DecodeBmp(b.data(), b.size(), img); }

class BmpDepths : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(BmpDepths, DecodesTopRowFirst) {
    const int bpp = std::get<0>(GetParam());
    const bool topDown = std::get<1>(GetParam());
    IndexedPicture pic = Sample();
    std::vector<Px> want = {C0, C1, C2, C3, C0, C1, C1, C0, C2, C3, C3, C2, C1, C0, C1};
    if (bpp == 1) {
        pic.palette = {{10, 20, 30}, {200, 100, 50}};
        want = {C0, C1, C0, C1, C0, C1, C1, C0, C0, C1, C1, C0, C1, C0, C1};
    }
    if (bpp == 16) {
        // 5-bit components widened by x * 255 / 31.
        pic.palette = {{1, 2, 3}, {31, 0, 16}, {0, 31, 31}, {16, 8, 4}};
        const Px a{8, 16, 24, 255}, b{255, 0, 131, 255}, c{0, 255, 255, 255}, d{131, 65, 32, 255};
        want = {a, b, c, d, a, b, b, a, c, d, d, c, b, a, b};
    }
    BmpOptions opt;
    opt.bitsPerPixel = bpp;
    opt.topDown = topDown;
    opt.fourthByte = 0x7F;  // ignored: BMP pixels are always opaque
    const Bytes file = WriteBmp(pic, opt);
    DecodedImage img;
    ASSERT_TRUE(Decode(file, img));
    EXPECT_EQ(img.width, 5);
    EXPECT_EQ(img.height, 3);
    EXPECT_FALSE(img.hasAlpha);
    EXPECT_EQ(img.format, ImageFormat::BMP);
    EXPECT_TRUE(AcceptsColourKey(img));
    ExpectPixels(img, want);
}

INSTANTIATE_TEST_SUITE_P(AllDepths, BmpDepths,
                         ::testing::Combine(::testing::Values(1, 4, 8, 16, 24, 32), ::testing::Bool()));

TEST(BmpReader, CoreHeaderWithThreeBytePalette) {
    for (int bpp : {4, 8, 24}) {
        for (bool topDown : {false, true}) {
            BmpOptions opt;
            opt.bitsPerPixel = bpp;
            opt.coreHeader = true;
            opt.topDown = topDown;
            DecodedImage img;
            ASSERT_TRUE(Decode(WriteBmp(Sample(), opt), img)) << bpp << " " << topDown;
            ExpectPixels(img, {C0, C1, C2, C3, C0, C1, C1, C0, C2, C3, C3, C2, C1, C0, C1});
        }
    }
}

TEST(BmpReader, PaletteIsWhatLiesBeforeThePixels) {
    // A gap after a full palette (as masks of 16-bit files leave) is skipped.
    BmpOptions opt;
    opt.bitsPerPixel = 8;
    opt.gapBytes = 12;
    DecodedImage img;
    ASSERT_TRUE(Decode(WriteBmp(Sample(), opt), img));
    ExpectPixels(img, {C0, C1, C2, C3, C0, C1, C1, C0, C2, C3, C3, C2, C1, C0, C1});

    // A short palette: indices past its end come out black, nothing is read beyond it.
    opt.gapBytes = 0;
    opt.paletteEntries = 2;
    ASSERT_TRUE(Decode(WriteBmp(Sample(), opt), img));
    const Px k{0, 0, 0, 255};
    ExpectPixels(img, {C0, C1, k, k, C0, C1, C1, C0, k, k, k, k, C1, C0, C1});
}

TEST(BmpReader, LargeSingleRowAndColumn) {
    for (int w : {1, 4096}) {
        IndexedPicture pic;
        pic.width = w;
        pic.height = 4097 - w;
        pic.palette = {{1, 2, 3}, {250, 251, 252}};
        pic.index.assign(size_t(pic.width) * pic.height, 0);
        pic.index.back() = 1;
        BmpOptions opt;
        opt.bitsPerPixel = 1;
        DecodedImage img;
        ASSERT_TRUE(Decode(WriteBmp(pic, opt), img));
        const Px last = At(img, img.width - 1, img.height - 1), first = At(img, 0, 0);
        EXPECT_EQ(last.r, 250);
        EXPECT_EQ(first.r, 1);
    }
}

// A valid 24-bit file to break in one field at a time.
Bytes Valid24() {
    BmpOptions opt;
    return WriteBmp(Sample(), opt);
}

TEST(BmpReader, EveryTruncationFails) {
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        BmpOptions opt;
        opt.bitsPerPixel = bpp;
        const Bytes full = WriteBmp(Sample(), opt);
        DecodedImage img;
        ASSERT_TRUE(Decode(full, img));
        for (size_t n = 0; n < full.size(); ++n) {
            Bytes cut(full.begin(), full.begin() + n);
            EXPECT_FALSE(Decode(cut, img)) << bpp << " bits cut to " << n;
            EXPECT_TRUE(img.rgba.empty());
            EXPECT_EQ(img.width, 0);
        }
    }
    DecodedImage img;
    EXPECT_FALSE(DecodeBmp(nullptr, 0, img));
}

TEST(BmpReader, RejectsInconsistentHeaders) {
    struct Case {
        const char* what;
        size_t at;
        int bytes;
        uint32_t value;
    };
    const Case cases[] = {
        {"not BM", 0, 2, 0x4142},
        {"header size 0", 14, 4, 0},
        {"header size 108 (not one of ours)", 14, 4, 108},
        {"header size past end", 14, 4, 0x7FFFFFF0},
        {"width 0", 18, 4, 0},
        {"height 0", 22, 4, 0},
        {"negative width", 18, 4, uint32_t(-5)},
        {"height INT_MIN", 22, 4, uint32_t(INT_MIN)},
        {"width INT_MAX", 18, 4, uint32_t(INT_MAX)},
        {"height INT_MAX", 22, 4, uint32_t(INT_MAX)},
        {"width over the side limit", 18, 4, uint32_t(MAX_IMAGE_SIDE + 1)},
        {"width larger than the data", 18, 4, 6},
        {"height larger than the data", 22, 4, 4},
        {"top-down height larger than the data", 22, 4, uint32_t(-4)},
        {"bits per pixel 0", 28, 2, 0},
        {"bits per pixel 2", 28, 2, 2},
        {"bits per pixel 64", 28, 2, 64},
        {"RLE8 compression", 30, 4, 1},
        {"embedded PNG", 30, 4, 5},
        {"pixel offset past end", 10, 4, 1000},
        {"pixel offset 0xFFFFFFFF", 10, 4, 0xFFFFFFFF},
        {"pixel offset inside the header", 10, 4, 20},
        {"pixel offset leaves too few rows", 10, 4, 58},
    };
    DecodedImage img;
    ASSERT_TRUE(Decode(Valid24(), img));
    for (const Case& c : cases) {
        Bytes b = Valid24();
        if (c.bytes == 2)
            PutU16(b, c.at, uint16_t(c.value));
        else
            PutU32(b, c.at, c.value);
        EXPECT_FALSE(Decode(b, img)) << c.what;
        EXPECT_TRUE(img.rgba.empty()) << c.what;
    }
}

TEST(BmpReader, RejectsMissingOrOutsidePalette) {
    BmpOptions opt;
    opt.bitsPerPixel = 8;
    opt.paletteEntries = 0;  // pixels straight after the header: no palette at all
    DecodedImage img;
    EXPECT_FALSE(Decode(WriteBmp(Sample(), opt), img));

    // A palette that would start past the file's end.
    opt.paletteEntries = -1;
    Bytes b = WriteBmp(Sample(), opt);
    b.resize(14 + 40 + 2);
    EXPECT_FALSE(Decode(b, img));
}

TEST(BmpReader, AbsurdSizesInSmallFilesFail) {
    // Dimensions whose product overflows 32 bits, with bit depths whose row size does too.
    for (int bpp : {1, 24, 32}) {
        for (uint32_t w : {65536u, 0x40000000u, 0x7FFFFFFFu, 16384u}) {
            for (uint32_t h : {65536u, 0x80000001u, 16384u, 1u}) {
                Bytes b = Valid24();
                PutU32(b, 18, w);
                PutU32(b, 22, h);
                PutU16(b, 28, uint16_t(bpp));
                DecodedImage img;
                EXPECT_FALSE(Decode(b, img)) << w << "x" << h << " at " << bpp;
            }
        }
    }
    // Core header: 16-bit sizes, the most negative height.
    BmpOptions opt;
    opt.coreHeader = true;
    Bytes b = WriteBmp(Sample(), opt);
    PutU16(b, 20, 0x8000);
    DecodedImage img;
    EXPECT_FALSE(Decode(b, img));
}

}  // namespace
