// Image readers on small files made here: the BMP and PNG kinds decoded, choice by content, and
// unsupported, malformed, cut and damaged files that must fail with nothing left behind.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

#include "runtime/graphics/image_decode.h"
#include "tests/graphics/test_files.h"
#include "tests/images/image_writers.h"

namespace {

bool Decode(const Bytes& b, DecodedImage& img, const char* name = "pic") { return DecodeImage(b.data(), b.size(), img, name); }

void ExpectEmpty(const DecodedImage& img) {
    EXPECT_TRUE(img.width == 0 && img.height == 0 && img.rgba.empty() && !img.hasAlpha && img.format == ImageFormat::NONE);
}

// 5 x 3: odd width so every depth needs row padding.
IndexedPicture Sample() {
    return {5, 3, {0, 1, 2, 3, 0, 1, 1, 0, 2, 3, 3, 2, 1, 0, 1}, {{10, 20, 30}, {200, 100, 50}, {0, 255, 128}, {255, 0, 128}}};
}

// Opaque RGBA of the picture's indices (masked) through `colours`; indices past its end are black.
Bytes Want(const IndexedPicture& p, const std::vector<Rgb>& colours, int mask = 255) {
    Bytes out;
    for (int i : p.index) {
        const Rgb c = size_t(i & mask) < colours.size() ? colours[i & mask] : Rgb{0, 0, 0};
        out.insert(out.end(), {c.r, c.g, c.b, 255});
    }
    return out;
}

class BmpDepths : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(BmpDepths, DecodesTopRowFirst) {
    const auto [bpp, topDown] = GetParam();
    IndexedPicture pic = Sample();
    std::vector<Rgb> colours = pic.palette;
    if (bpp == 1) pic.palette.resize(2), colours.resize(2);
    if (bpp == 16) {  // 5-bit components widened by x * 255 / 31
        pic.palette = {{1, 2, 3}, {31, 0, 16}, {0, 31, 31}, {16, 8, 4}};
        colours = {{8, 16, 24}, {255, 0, 131}, {0, 255, 255}, {131, 65, 32}};
    }
    const Bytes want = Want(pic, colours, bpp == 1 ? 1 : 255);
    BmpOptions opt;
    opt.bitsPerPixel = bpp, opt.topDown = topDown;
    DecodedImage img;
    ASSERT_TRUE(Decode(WriteBmp(pic, opt), img));
    EXPECT_TRUE(img.width == 5 && img.height == 3 && !img.hasAlpha && AcceptsColourKey(img) && img.format == ImageFormat::BMP);
    EXPECT_EQ(img.rgba, want);
    if (bpp == 16 || bpp == 32) return;
    opt.coreHeader = true;  // 12-byte header, 16-bit signed sizes, 3-byte palette entries
    ASSERT_TRUE(Decode(WriteBmp(pic, opt), img));
    EXPECT_EQ(img.rgba, want);
    if (bpp != 8) return;
    opt.coreHeader = false, opt.paletteEntries = 2;  // a short palette: nothing is read beyond it
    ASSERT_TRUE(Decode(WriteBmp(pic, opt), img));
    EXPECT_EQ(img.rgba, Want(pic, {pic.palette[0], pic.palette[1]}));
}

INSTANTIATE_TEST_SUITE_P(AllDepths, BmpDepths,
                         ::testing::Combine(::testing::Values(1, 4, 8, 16, 24, 32), ::testing::Bool()));

PngRecipe Png(int w, int h, int type, int depth, Bytes samples, std::vector<Rgb> palette = {},
              Bytes paletteAlpha = {}) {
    PngRecipe r;
    r.width = w, r.height = h, r.colourType = type, r.bitDepth = depth;
    r.samples = std::move(samples), r.palette = std::move(palette), r.paletteAlpha = std::move(paletteAlpha);
    return r;
}

TEST(PngReader, DecodesEveryKindWeTake) {
    const std::vector<Rgb> pal = {{10, 20, 30}, {200, 100, 50}, {0, 255, 128}, {255, 0, 128}};
    PngRecipe rgbKey = Png(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 1, 2, 4});
    rgbKey.hasTransparentColour = true;
    rgbKey.transparentRgb[0] = 1, rgbKey.transparentRgb[1] = 2, rgbKey.transparentRgb[2] = 3;
    const struct {
        const char* what;
        PngRecipe recipe;
        Bytes want;
        bool alpha;
    } cases[] = {
        {"RGB", Png(3, 1, PNG_COLOR_TYPE_RGB, 8, {255, 0, 128, 1, 2, 3, 250, 251, 252}),
         {255, 0, 128, 255, 1, 2, 3, 255, 250, 251, 252, 255}, false},
        {"RGBA", Png(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8, {255, 0, 128, 255, 1, 2, 3, 0, 9, 8, 7, 128, 4, 5, 6, 70}),
         {255, 0, 128, 255, 1, 2, 3, 0, 9, 8, 7, 128, 4, 5, 6, 70}, true},
        {"palette tRNS, last entry without alpha", Png(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2}, pal, {0, 77}),
         {10, 20, 30, 0, 200, 100, 50, 77, 0, 255, 128, 255}, true},
        {"RGB tRNS", rgbKey, {1, 2, 3, 0, 1, 2, 4, 255}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DecodedImage img;
        ASSERT_TRUE(Decode(WritePng(c.recipe), img));
        EXPECT_TRUE(img.width == c.recipe.width && img.height == c.recipe.height && img.format == ImageFormat::PNG);
        // The colour key goes to PNGs without alpha.
        EXPECT_EQ(std::make_pair(img.hasAlpha, AcceptsColourKey(img)), std::make_pair(c.alpha, !c.alpha));
        EXPECT_EQ(img.rgba, c.want);
    }
}

// Samples that vary, for files whose content only has to be valid.
Bytes Ramp(size_t n) {
    Bytes s;
    for (size_t i = 0; i < n; ++i) s.push_back(uint8_t(i * 31));
    return s;
}

struct Field { size_t at; int bytes; uint32_t value; };
Bytes Patch(Bytes b, std::initializer_list<Field> fields) {
    for (const Field& f : fields) f.bytes == 2 ? PutU16(b, f.at, uint16_t(f.value)) : PutU32(b, f.at, f.value);
    return b;
}

// An RGB PNG whose header states another size (with a correct checksum).
Bytes PngWithSize(uint32_t w, uint32_t h) {
    Bytes b = WritePng(Png(4, 4, PNG_COLOR_TYPE_RGB, 8, {}));
    for (int i = 0; i < 4; ++i) b[16 + i] = uint8_t(w >> (24 - 8 * i)), b[20 + i] = uint8_t(h >> (24 - 8 * i));
    const uint32_t crc = uint32_t(crc32(0, b.data() + 12, 17));
    for (int i = 0; i < 4; ++i) b[29 + i] = uint8_t(crc >> (24 - 8 * i));
    return b;
}

// A colour JPEG whose frame header states another size.
Bytes JpegWithSize(int w, int h) {
    Bytes b = WriteJpeg(32, 16, 3, Ramp(32 * 16 * 3));
    for (size_t i = 2; i + 9 < b.size(); ++i) {
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            b[i + 5] = uint8_t(h >> 8), b[i + 6] = uint8_t(h), b[i + 7] = uint8_t(w >> 8), b[i + 8] = uint8_t(w);
            break;
        }
    }
    return b;
}

// Kinds the readers do not take say so; malformed files fail quietly. Either way nothing is
// left of the image decoded before.
TEST(ImageReaders, UnsupportedAndMalformedFilesFailCleanly) {
    PngRecipe greyKey = Png(1, 1, PNG_COLOR_TYPE_GRAY, 8, {10});  // expands to grey + alpha
    greyKey.hasTransparentColour = true, greyKey.transparentGrey = 10;
    const char* pngSaid = "File Media/x.png has unsupported color type.\nTypes GRAY, RGB and RGB_ALPHA are supported.\n";
    const Bytes bmp = WriteBmp(Sample(), BmpOptions());
    BmpOptions core, noPalette;
    core.coreHeader = true;
    noPalette.bitsPerPixel = 8, noPalette.paletteEntries = 0;  // pixels straight after the header
    Bytes paletteOutside = WriteBmp(Sample(), noPalette);
    paletteOutside.resize(14 + 40 + 2);
    Bytes png = WritePng(Png(8, 8, PNG_COLOR_TYPE_RGB, 8, Bytes(8 * 8 * 3, 77)));
    Bytes pngBadDataSum = png;
    pngBadDataSum[png.size() - 12 - 4 - 1] ^= 0x55;  // last IDAT byte, before the IEND chunk
    Bytes jpegGarbage = {0xFF, 0xD8};
    for (int i = 0; i < 200; ++i) jpegGarbage.push_back(uint8_t(i * 37 + 11));
    const uint32_t side = MAX_IMAGE_SIDE;
    const struct {
        const char* what;
        Bytes file;
        const char* said = "";
    } cases[] = {
        {"PNG grey and alpha", WritePng(Png(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {10, 20})), pngSaid},
        {"PNG grey with a transparent colour", WritePng(greyKey), pngSaid},
        {"JPEG of two components", WriteJpeg(32, 16, 2, Bytes(32 * 16 * 2, 100)), "JPEG: Channels: 2 not supported!\n"},
        {"BMP header size past the end", Patch(bmp, {{14, 4, 0x7FFFFFF0}})},
        {"BMP negative width", Patch(bmp, {{18, 4, uint32_t(-5)}})},
        {"BMP height INT_MIN", Patch(bmp, {{22, 4, uint32_t(INT_MIN)}})},
        {"BMP width over the side limit", Patch(bmp, {{18, 4, side + 1}})},
        {"BMP top-down height larger than the data", Patch(bmp, {{22, 4, uint32_t(-4)}})},
        {"BMP 0x40000000 x 1 at 32 bits", Patch(bmp, {{18, 4, 0x40000000}, {22, 4, 1}, {28, 2, 32}})},
        {"BMP 0x7FFFFFFF x 0x80000001 at 1 bit", Patch(bmp, {{18, 4, 0x7FFFFFFF}, {22, 4, 0x80000001}, {28, 2, 1}})},
        {"BMP side x side at 24 bits", Patch(bmp, {{18, 4, side}, {22, 4, side}})},
        {"BMP core header height -32768", Patch(WriteBmp(Sample(), core), {{20, 2, 0x8000}})},
        {"BMP pixel offset 0xFFFFFFFF", Patch(bmp, {{10, 4, 0xFFFFFFFF}})},
        {"BMP missing palette", WriteBmp(Sample(), noPalette)},
        {"BMP palette past the end", paletteOutside},
        {"PNG height 0x80000000", PngWithSize(4, 0x80000000u)},
        {"PNG width over the side limit", PngWithSize(side + 1, 1)},
        {"PNG side x side", PngWithSize(side, side)},
        {"PNG too little image data", PngWithSize(64, 64)},
        {"PNG data checksum", pngBadDataSum},
        {"JPEG width over the side limit", JpegWithSize(MAX_IMAGE_SIDE + 1, 16)},
        {"JPEG side x side", JpegWithSize(MAX_IMAGE_SIDE, MAX_IMAGE_SIDE)},
        {"JPEG garbage after the start marker", jpegGarbage},
        {"JPEG start then end marker", {0xFF, 0xD8, 0xFF, 0xD9}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DecodedImage img;
        ASSERT_TRUE(Decode(WriteBmp(Sample(), BmpOptions()), img));  // a failure must clear the old image
        testing::internal::CaptureStdout();
        EXPECT_FALSE(Decode(c.file, img, "Media/x.png"));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.said);
        ExpectEmpty(img);
    }
}

// Every cut of a file fails, and every single-byte change to its first 160 bytes either
// decodes to a complete image of the stated size or fails with nothing left behind.
TEST(ImageReaders, DamagedFilesNeverLeaveAHalfImage) {
    struct Case {
        std::string what;
        Bytes file;
        size_t mayLack;  // bytes at the end the readers never need
    };
    std::vector<Case> cases;
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        BmpOptions opt;
        opt.bitsPerPixel = bpp;
        cases.push_back({"BMP " + std::to_string(bpp), WriteBmp(Sample(), opt), 0});
    }
    cases.push_back({"PNG", WritePng(Png(9, 7, PNG_COLOR_TYPE_RGB_ALPHA, 8, Ramp(9 * 7 * 4))), 12 + 4});  // IEND, IDAT checksum
    for (bool progressive : {false, true})  // only the end-of-image marker may be missing
        cases.push_back({progressive ? "JPEG progressive" : "JPEG", WriteJpeg(32, 16, 3, Ramp(32 * 16 * 3), 90, progressive), 2});
    for (const Case& c : cases) {
        DecodedImage img;
        ASSERT_TRUE(Decode(c.file, img)) << c.what;
        for (size_t n = 0; n + c.mayLack < c.file.size(); ++n) {
            EXPECT_FALSE(Decode(Bytes(c.file.begin(), c.file.begin() + n), img)) << c.what << " cut to " << n;
            ASSERT_TRUE(img.rgba.empty());
        }
        for (size_t i = 0; i < std::min<size_t>(c.file.size(), 160); ++i) {
            for (uint8_t v : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x80), uint8_t(c.file[i] ^ 0x01)}) {
                Bytes b = c.file;
                b[i] = v;
                testing::internal::CaptureStdout();
                const bool ok = Decode(b, img);
                testing::internal::GetCapturedStdout();
                ASSERT_EQ(img.rgba.size(), ok ? size_t(img.width) * img.height * 4 : 0u) << c.what << " byte " << i;
                ASSERT_EQ(img.width > 0 && img.height > 0, ok) << c.what << " byte " << i;
            }
        }
    }
}

TEST(LoadImageFile, ReaderIsChosenByContentAndFailuresLeaveNothingBehind) {
    const Bytes bmp = WriteBmp(Sample(), BmpOptions()), png = WritePng(Png(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4}));
    const struct {
        const char* name;
        Bytes file;
        ImageFormat format;  // NONE: the load fails
    } cases[] = {{"sprite.png", bmp, ImageFormat::BMP}, {"photo.jpg", png, ImageFormat::PNG},
                 {"x.bmp", WriteJpeg(8, 8, 3, Bytes(8 * 8 * 3, 90)), ImageFormat::JPEG},
                 {"empty.png", {}, ImageFormat::NONE}, {"half.bmp", Bytes(bmp.begin(), bmp.begin() + 60), ImageFormat::NONE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = TempFile(std::string(c.file.begin(), c.file.end()), c.name);
        DecodedImage img;
        ASSERT_TRUE(Decode(png, img));
        EXPECT_EQ(LoadImageFile(path.c_str(), img), c.format != ImageFormat::NONE);
        std::remove(path.c_str());
        EXPECT_EQ(img.format, c.format);
        if (c.format == ImageFormat::NONE) ExpectEmpty(img);
        // Magenta stays opaque: the colour key is the sprite loader's business, not the reader's.
        if (c.format == ImageFormat::BMP) {
            EXPECT_EQ(Bytes(img.rgba.begin() + 12, img.rgba.begin() + 16), Bytes({255, 0, 128, 255}));
        }
    }
    // A directory opens but does not read.
    for (const char* path : {"/nonexistent/squibly/none.png", "", "/tmp", static_cast<const char*>(nullptr)}) {
        DecodedImage img;
        ASSERT_TRUE(Decode(png, img));
        EXPECT_FALSE(LoadImageFile(path, img)) << (path ? path : "null");
        ExpectEmpty(img);
    }
}

}  // namespace
