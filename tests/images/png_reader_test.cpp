// PNG reader: palette, grey, 16-bit, tRNS, RGBA, interlacing, and broken files.
#include <gtest/gtest.h>

#include <png.h>

#include "runtime/graphics/image_decode.h"
#include "tests/images/image_writers.h"

namespace {

bool Decode(const Bytes& b, DecodedImage& img, const char* name = "pic.png") {
    return DecodePng(b.data(), b.size(), img, name);
}

std::vector<uint8_t> Rgba(std::initializer_list<int> v) { return std::vector<uint8_t>(v.begin(), v.end()); }

TEST(PngReader, RgbIsOpaqueAndKeyable) {
    PngRecipe s;
    s.width = 3;
    s.height = 2;
    s.colourType = PNG_COLOR_TYPE_RGB;
    s.samples = {255, 0, 128, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 250, 251, 252};
    DecodedImage img;
    ASSERT_TRUE(Decode(WritePng(s), img));
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    EXPECT_FALSE(img.hasAlpha);
    EXPECT_EQ(img.format, ImageFormat::PNG);
    EXPECT_TRUE(AcceptsColourKey(img));
    EXPECT_EQ(img.rgba, Rgba({255, 0, 128, 255, 1, 2, 3, 255, 4, 5, 6, 255,  //
                              7, 8, 9, 255, 10, 11, 12, 255, 250, 251, 252, 255}));
}

TEST(PngReader, RgbaIsCopiedUnchanged) {
    PngRecipe s;
    s.width = 2;
    s.height = 2;
    s.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    s.samples = {255, 0, 128, 255, 1, 2, 3, 0, 9, 8, 7, 128, 40, 50, 60, 70};
    DecodedImage img;
    ASSERT_TRUE(Decode(WritePng(s), img));
    EXPECT_TRUE(img.hasAlpha);
    EXPECT_FALSE(AcceptsColourKey(img));
    EXPECT_EQ(img.rgba, s.samples);
}

TEST(PngReader, PaletteExpandsAtEveryDepth) {
    // 5 x 2 indices, packed per depth: 0 1 2 3 1 / 3 2 1 0 0 (depth 1 uses index & 1).
    const std::vector<Rgb> pal = {{10, 20, 30}, {200, 100, 50}, {0, 255, 128}, {255, 0, 128}};
    const int idx[10] = {0, 1, 2, 3, 1, 3, 2, 1, 0, 0};
    for (int depth : {1, 2, 4, 8}) {
        PngRecipe s;
        s.width = 5;
        s.height = 2;
        s.colourType = PNG_COLOR_TYPE_PALETTE;
        s.bitDepth = depth;
        s.palette = pal;
        if (depth == 1) s.palette.resize(2);  // a palette may not outgrow the depth
        const int rowBytes = (5 * depth + 7) / 8;
        s.samples.assign(size_t(rowBytes) * 2, 0);
        for (int i = 0; i < 10; ++i) {
            const int x = i % 5, y = i / 5;
            const int v = depth == 1 ? idx[i] & 1 : idx[i];
            const int bit = x * depth;
            s.samples[y * rowBytes + bit / 8] |= uint8_t(v << (8 - depth - bit % 8));
        }
        DecodedImage img;
        ASSERT_TRUE(Decode(WritePng(s), img)) << depth;
        EXPECT_FALSE(img.hasAlpha);
        for (int i = 0; i < 10; ++i) {
            const Rgb c = pal[depth == 1 ? idx[i] & 1 : idx[i]];
            const uint8_t* p = &img.rgba[size_t(i) * 4];
            EXPECT_EQ(p[0], c.r) << "depth " << depth << " pixel " << i;
            EXPECT_EQ(p[1], c.g);
            EXPECT_EQ(p[2], c.b);
            EXPECT_EQ(p[3], 255);
        }
    }
}

TEST(PngReader, PaletteTransparencyBecomesAlpha) {
    PngRecipe s;
    s.width = 3;
    s.height = 1;
    s.colourType = PNG_COLOR_TYPE_PALETTE;
    s.palette = {{10, 20, 30}, {200, 100, 50}, {255, 0, 128}};
    s.paletteAlpha = {0, 77};  // entry 2 has no alpha given: opaque
    s.samples = {0, 1, 2};
    DecodedImage img;
    ASSERT_TRUE(Decode(WritePng(s), img));
    EXPECT_TRUE(img.hasAlpha);
    EXPECT_EQ(img.rgba, Rgba({10, 20, 30, 0, 200, 100, 50, 77, 255, 0, 128, 255}));
}

TEST(PngReader, RgbTransparentColourBecomesAlpha) {
    PngRecipe s;
    s.width = 2;
    s.height = 1;
    s.colourType = PNG_COLOR_TYPE_RGB;
    s.hasTransparentColour = true;
    s.transparentRgb[0] = 1;
    s.transparentRgb[1] = 2;
    s.transparentRgb[2] = 3;
    s.samples = {1, 2, 3, 1, 2, 4};
    DecodedImage img;
    ASSERT_TRUE(Decode(WritePng(s), img));
    EXPECT_TRUE(img.hasAlpha);
    EXPECT_EQ(img.rgba, Rgba({1, 2, 3, 0, 1, 2, 4, 255}));
}

TEST(PngReader, GreyAtEveryDepth) {
    // 1-, 2- and 4-bit grey scale up to full range; 16-bit keeps the high byte.
    struct Case {
        int depth;
        Bytes samples;  // one row of 4 pixels
        std::vector<int> grey;
    };
    const Case cases[] = {
        {1, {0xA0}, {255, 0, 255, 0}},
        {2, {0x1B}, {0, 85, 170, 255}},
        {4, {0x0F, 0x7A}, {0, 255, 119, 170}},
        {8, {0, 17, 200, 255}, {0, 17, 200, 255}},
        {16, {0x00, 0x00, 0x12, 0x34, 0xAB, 0x10, 0xFF, 0xFF}, {0x00, 0x12, 0xAB, 0xFF}},
    };
    for (const Case& c : cases) {
        PngRecipe s;
        s.width = 4;
        s.height = 1;
        s.colourType = PNG_COLOR_TYPE_GRAY;
        s.bitDepth = c.depth;
        s.samples = c.samples;
        DecodedImage img;
        ASSERT_TRUE(Decode(WritePng(s), img)) << c.depth;
        EXPECT_FALSE(img.hasAlpha);
        for (int x = 0; x < 4; ++x) {
            for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(img.rgba[x * 4 + ch], c.grey[x]) << c.depth << " px " << x;
            EXPECT_EQ(img.rgba[x * 4 + 3], 255);
        }
    }
}

TEST(PngReader, SixteenBitColourIsStripped) {
    PngRecipe s;
    s.width = 1;
    s.height = 2;
    s.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    s.bitDepth = 16;
    s.samples = {0xFF, 0x01, 0x80, 0x7F, 0x00, 0xFF, 0x12, 0x00,  //
                 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00};
    DecodedImage img;
    ASSERT_TRUE(Decode(WritePng(s), img));
    EXPECT_TRUE(img.hasAlpha);
    EXPECT_EQ(img.rgba, Rgba({0xFF, 0x80, 0x00, 0x12, 1, 2, 3, 0}));
}

TEST(PngReader, InterlacedMatchesPlain) {
    PngRecipe s;
    s.width = 13;
    s.height = 11;
    s.colourType = PNG_COLOR_TYPE_RGB;
    for (int i = 0; i < 13 * 11 * 3; ++i) s.samples.push_back(uint8_t(i * 7));
    DecodedImage plain, laced;
    ASSERT_TRUE(Decode(WritePng(s), plain));
    s.interlaced = true;
    const Bytes lacedFile = WritePng(s);
    ASSERT_TRUE(Decode(lacedFile, laced));
    EXPECT_EQ(plain.rgba, laced.rgba);
    EXPECT_EQ(laced.rgba[(5 * 13 + 7) * 4 + 1], uint8_t(((5 * 13 + 7) * 3 + 1) * 7));
}

TEST(PngReader, GreyWithAlphaFailsWithMessage) {
    PngRecipe s;
    s.width = 1;
    s.height = 1;
    s.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    s.samples = {10, 20};
    DecodedImage img;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(Decode(WritePng(s), img, "Media/ga.png"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "File Media/ga.png has unsupported color type.\nTypes GRAY, RGB and RGB_ALPHA are supported.\n");
    EXPECT_TRUE(img.rgba.empty());

    // Grey with a transparent grey level expands to grey with alpha, which fails the same way.
    s.colourType = PNG_COLOR_TYPE_GRAY;
    s.hasTransparentColour = true;
    s.transparentGrey = 10;
    s.samples = {10};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(Decode(WritePng(s), img));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("unsupported color type"), std::string::npos);
}

// A 4 x 4 RGB file whose IHDR can be rewritten with a correct CRC.
Bytes WithHeader(uint32_t width, uint32_t height, uint8_t depth, uint8_t type) {
    PngRecipe s;
    s.width = 4;
    s.height = 4;
    s.colourType = PNG_COLOR_TYPE_RGB;
    const Bytes good = WritePng(s);
    Bytes ihdr = {uint8_t(width >> 24),  uint8_t(width >> 16),  uint8_t(width >> 8),  uint8_t(width),
                  uint8_t(height >> 24), uint8_t(height >> 16), uint8_t(height >> 8), uint8_t(height),
                  depth, type, 0, 0, 0};
    Bytes out(good.begin(), good.begin() + 8);
    const Bytes chunk = PngChunk("IHDR", ihdr);
    out.insert(out.end(), chunk.begin(), chunk.end());
    out.insert(out.end(), good.begin() + 8 + 25, good.end());
    return out;
}

TEST(PngReader, RejectsAbsurdHeaders) {
    DecodedImage img;
    ASSERT_TRUE(Decode(WithHeader(4, 4, 8, PNG_COLOR_TYPE_RGB), img));
    const struct {
        uint32_t w, h;
        uint8_t depth, type;
    } bad[] = {
        {0, 4, 8, 2},          {4, 0, 8, 2},          {0x7FFFFFFF, 4, 8, 2}, {4, 0x80000000u, 8, 2},
        {16385, 1, 8, 2},      {16384, 16384, 8, 2},  {4, 4, 3, 2},          {4, 4, 8, 1},
        {4, 4, 8, 7},          {4, 4, 16, 3},         {64, 64, 8, 2},  // too little image data
    };
    for (const auto& b : bad) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(Decode(WithHeader(b.w, b.h, b.depth, b.type), img)) << b.w << "x" << b.h;
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(img.rgba.empty());
    }
}

TEST(PngReader, TruncationInsideImageDataFails) {
    PngRecipe s;
    s.width = 9;
    s.height = 7;
    s.colourType = PNG_COLOR_TYPE_RGB;
    for (int i = 0; i < 9 * 7 * 3; ++i) s.samples.push_back(uint8_t(i * 31));
    const Bytes full = WritePng(s);
    size_t idatEnd = 0;
    for (const PngChunkInfo& c : ListPngChunks(full))
        if (c.type == "IDAT") idatEnd = c.offset + 8 + c.length;
    ASSERT_GT(idatEnd, 0u);
    DecodedImage img;
    for (size_t n = 0; n < idatEnd; ++n) {
        EXPECT_FALSE(Decode(Bytes(full.begin(), full.begin() + n), img)) << "cut to " << n;
        EXPECT_TRUE(img.rgba.empty());
    }
}

TEST(PngReader, CorruptChecksumAndDataFail) {
    PngRecipe s;
    s.width = 8;
    s.height = 8;
    s.colourType = PNG_COLOR_TYPE_RGB;
    for (int i = 0; i < 8 * 8 * 3; ++i) s.samples.push_back(uint8_t(i));
    const Bytes full = WritePng(s);
    DecodedImage img;
    for (const PngChunkInfo& c : ListPngChunks(full)) {
        if (c.type != "IHDR" && c.type != "IDAT") continue;
        Bytes b = full;
        b[c.offset + 8 + c.length - 1] ^= 0x55;  // last payload byte: the CRC no longer matches
        EXPECT_FALSE(Decode(b, img)) << c.type;
    }
}

}  // namespace
