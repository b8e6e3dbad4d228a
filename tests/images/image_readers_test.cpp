// Image readers on small files made here: BMP, PNG and JPEG kinds, choice by content, and
// malformed files that must fail with nothing left behind.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/graphics/image_decode.h"
#include "tests/images/image_writers.h"

namespace {

bool Decode(const Bytes& b, DecodedImage& img, const char* name = "pic") {
    return DecodeImage(b.data(), b.size(), img, name);
}

void ExpectEmpty(const DecodedImage& img) {
    EXPECT_EQ(img.width, 0);
    EXPECT_EQ(img.height, 0);
    EXPECT_TRUE(img.rgba.empty());
    EXPECT_FALSE(img.hasAlpha);
    EXPECT_EQ(img.format, ImageFormat::NONE);
}

// 5 x 3: odd width so every depth needs row padding.
IndexedPicture Sample() {
    IndexedPicture p;
    p.width = 5;
    p.height = 3;
    p.index = {0, 1, 2, 3, 0, 1, 1, 0, 2, 3, 3, 2, 1, 0, 1};
    p.palette = {{10, 20, 30}, {200, 100, 50}, {0, 255, 128}, {255, 0, 128}};
    return p;
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
    opt.bitsPerPixel = bpp;
    opt.topDown = topDown;
    DecodedImage img;
    ASSERT_TRUE(Decode(WriteBmp(pic, opt), img));
    EXPECT_EQ(img.width, 5);
    EXPECT_EQ(img.height, 3);
    EXPECT_FALSE(img.hasAlpha);
    EXPECT_EQ(img.format, ImageFormat::BMP);
    EXPECT_TRUE(AcceptsColourKey(img));
    EXPECT_EQ(img.rgba, want);
    if (bpp == 16 || bpp == 32) return;
    opt.coreHeader = true;  // 12-byte header, 16-bit signed sizes, 3-byte palette entries
    ASSERT_TRUE(Decode(WriteBmp(pic, opt), img));
    EXPECT_EQ(img.rgba, want);
}

INSTANTIATE_TEST_SUITE_P(AllDepths, BmpDepths,
                         ::testing::Combine(::testing::Values(1, 4, 8, 16, 24, 32), ::testing::Bool()));

TEST(BmpReader, PaletteIsWhatLiesBeforeThePixels) {
    const IndexedPicture pic = Sample();
    BmpOptions opt;
    opt.bitsPerPixel = 8;
    opt.gapBytes = 12;  // pixels start at the stated offset, not straight after the palette
    DecodedImage img;
    ASSERT_TRUE(Decode(WriteBmp(pic, opt), img));
    EXPECT_EQ(img.rgba, Want(pic, pic.palette));
    opt.gapBytes = 0;
    opt.paletteEntries = 2;  // a short palette: nothing is read beyond it
    ASSERT_TRUE(Decode(WriteBmp(pic, opt), img));
    EXPECT_EQ(img.rgba, Want(pic, {pic.palette[0], pic.palette[1]}));
}

PngRecipe Png(int w, int h, int type, int depth, Bytes samples, std::vector<Rgb> palette = {},
              Bytes paletteAlpha = {}) {
    PngRecipe r;
    r.width = w;
    r.height = h;
    r.colourType = type;
    r.bitDepth = depth;
    r.samples = std::move(samples);
    r.palette = std::move(palette);
    r.paletteAlpha = std::move(paletteAlpha);
    return r;
}

Bytes Grey(std::initializer_list<int> levels) {
    Bytes out;
    for (int v : levels) out.insert(out.end(), {uint8_t(v), uint8_t(v), uint8_t(v), 255});
    return out;
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
        {"16-bit RGBA keeps the high bytes",
         Png(1, 2, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0xFF, 1, 0x80, 0x7F, 0, 0xFF, 0x12, 0, 1, 0, 2, 0, 3, 0, 0, 0}),
         {0xFF, 0x80, 0x00, 0x12, 1, 2, 3, 0}, true},
        {"palette 2-bit", Png(5, 1, PNG_COLOR_TYPE_PALETTE, 2, {0x1B, 0x40}, pal),
         {10, 20, 30, 255, 200, 100, 50, 255, 0, 255, 128, 255, 255, 0, 128, 255, 200, 100, 50, 255}, false},
        {"palette tRNS, last entry without alpha", Png(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2}, pal, {0, 77}),
         {10, 20, 30, 0, 200, 100, 50, 77, 0, 255, 128, 255}, true},
        {"RGB tRNS", rgbKey, {1, 2, 3, 0, 1, 2, 4, 255}, true},
        {"grey 1-bit", Png(4, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0}), Grey({255, 0, 255, 0}), false},
        {"grey 2-bit", Png(4, 1, PNG_COLOR_TYPE_GRAY, 2, {0x1B}), Grey({0, 85, 170, 255}), false},
        {"grey 4-bit", Png(4, 1, PNG_COLOR_TYPE_GRAY, 4, {0x0F, 0x7A}), Grey({0, 255, 119, 170}), false},
        {"grey 16-bit", Png(4, 1, PNG_COLOR_TYPE_GRAY, 16, {0, 0, 0x12, 0x34, 0xAB, 0x10, 0xFF, 0xFF}),
         Grey({0, 0x12, 0xAB, 0xFF}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DecodedImage img;
        ASSERT_TRUE(Decode(WritePng(c.recipe), img));
        EXPECT_EQ(img.width, c.recipe.width);
        EXPECT_EQ(img.height, c.recipe.height);
        EXPECT_EQ(img.format, ImageFormat::PNG);
        EXPECT_EQ(img.hasAlpha, c.alpha);
        EXPECT_EQ(AcceptsColourKey(img), !c.alpha);  // the colour key goes to PNGs without alpha
        EXPECT_EQ(img.rgba, c.want);
    }
}

TEST(PngReader, InterlacedMatchesPlain) {
    PngRecipe s = Png(13, 11, PNG_COLOR_TYPE_RGB, 8, {});
    for (int i = 0; i < 13 * 11 * 3; ++i) s.samples.push_back(uint8_t(i * 7));
    DecodedImage plain, laced;
    ASSERT_TRUE(Decode(WritePng(s), plain));
    s.interlaced = true;
    ASSERT_TRUE(Decode(WritePng(s), laced));
    EXPECT_EQ(plain.rgba, laced.rgba);
    EXPECT_EQ(laced.rgba[(5 * 13 + 7) * 4 + 1], uint8_t(((5 * 13 + 7) * 3 + 1) * 7));
}

// 32 x 16: four 8 x 8 blocks per row of flat colours, so the lossy coding keeps them close.
const Rgb BLOCKS[2][4] = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}},
                          {{0, 0, 0}, {128, 128, 128}, {255, 255, 0}, {40, 90, 200}}};

Bytes BlockSamples(int components) {
    Bytes s;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgb c = BLOCKS[y / 8][x / 8];
            if (components == 1) s.push_back(c.g);
            if (components >= 3) s.insert(s.end(), {c.r, c.g, c.b});
            if (components == 4) s.push_back(uint8_t(x * 8));
        }
    }
    return s;
}

TEST(JpegReader, DecodesGreyColourAndFourComponents) {
    // Chroma is subsampled 2 x 2, so saturated neighbours bleed a little even at block centres.
    const struct {
        int components;
        bool progressive;
        int quality, tolerance;
    } cases[] = {{1, false, 95, 4}, {3, false, 95, 12}, {3, true, 95, 12}, {4, false, 100, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.components << " components, progressive " << c.progressive);
        DecodedImage img;
        ASSERT_TRUE(Decode(WriteJpeg(32, 16, c.components, BlockSamples(c.components), c.quality, c.progressive), img));
        ASSERT_EQ(img.width, 32);
        ASSERT_EQ(img.height, 16);
        ASSERT_EQ(img.rgba.size(), 32u * 16u * 4u);
        EXPECT_EQ(img.format, ImageFormat::JPEG);
        EXPECT_EQ(img.hasAlpha, c.components == 4);  // the fourth component is kept as alpha
        EXPECT_FALSE(AcceptsColourKey(img));
        for (int y = 4; y < 16; y += 8) {
            for (int x = 4; x < 32; x += 8) {
                const uint8_t* p = &img.rgba[(size_t(y) * 32 + x) * 4];
                const Rgb b = BLOCKS[y / 8][x / 8];
                const int want[4] = {c.components == 1 ? b.g : b.r, b.g, c.components == 1 ? b.g : b.b,
                                     c.components == 4 ? x * 8 : 255};
                for (int ch = 0; ch < 4; ++ch) EXPECT_LE(std::abs(p[ch] - want[ch]), c.tolerance) << x << "," << y;
            }
        }
        for (size_t i = 0; c.components == 1 && i < img.rgba.size(); i += 4)
            ASSERT_TRUE(img.rgba[i] == img.rgba[i + 1] && img.rgba[i] == img.rgba[i + 2]) << "grey pixel " << i / 4;
    }
}

TEST(ImageReaders, UnsupportedKindsFailWithMessage) {
    PngRecipe greyKey = Png(1, 1, PNG_COLOR_TYPE_GRAY, 8, {10});  // expands to grey + alpha
    greyKey.hasTransparentColour = true;
    greyKey.transparentGrey = 10;
    const std::string pngSaid =
        "File Media/x.png has unsupported color type.\nTypes GRAY, RGB and RGB_ALPHA are supported.\n";
    const struct {
        Bytes file;
        std::string said;
    } cases[] = {{WritePng(Png(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {10, 20})), pngSaid},
                 {WritePng(greyKey), pngSaid},
                 {WriteJpeg(32, 16, 2, Bytes(32 * 16 * 2, 100)), "JPEG: Channels: 2 not supported!\n"}};
    for (const auto& c : cases) {
        DecodedImage img;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(Decode(c.file, img, "Media/x.png"));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.said);
        ExpectEmpty(img);
    }
}

struct Field {
    size_t at;
    int bytes;
    uint32_t value;
};
Bytes Patch(Bytes b, std::initializer_list<Field> fields) {
    for (const Field& f : fields) f.bytes == 2 ? PutU16(b, f.at, uint16_t(f.value)) : PutU32(b, f.at, f.value);
    return b;
}

// An RGB PNG whose IHDR is rewritten (with a correct checksum).
Bytes PngWithHeader(uint32_t w, uint32_t h, uint8_t depth, uint8_t type) {
    const Bytes good = WritePng(Png(4, 4, PNG_COLOR_TYPE_RGB, 8, {}));
    Bytes out(good.begin(), good.begin() + 8);
    const Bytes ihdr = PngChunk("IHDR", {uint8_t(w >> 24), uint8_t(w >> 16), uint8_t(w >> 8), uint8_t(w),
                                         uint8_t(h >> 24), uint8_t(h >> 16), uint8_t(h >> 8), uint8_t(h), depth,
                                         type, 0, 0, 0});
    out.insert(out.end(), ihdr.begin(), ihdr.end());
    out.insert(out.end(), good.begin() + 8 + 25, good.end());
    return out;
}

// A colour JPEG whose frame header states another size.
Bytes JpegWithSize(int w, int h) {
    Bytes b = WriteJpeg(32, 16, 3, BlockSamples(3));
    for (size_t i = 2; i + 9 < b.size(); ++i) {
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            b[i + 5] = uint8_t(h >> 8), b[i + 6] = uint8_t(h), b[i + 7] = uint8_t(w >> 8), b[i + 8] = uint8_t(w);
            break;
        }
    }
    return b;
}

TEST(ImageReaders, MalformedFilesFailCleanly) {
    const Bytes bmp = WriteBmp(Sample(), BmpOptions());
    BmpOptions core, noPalette;
    core.coreHeader = true;
    noPalette.bitsPerPixel = 8;
    noPalette.paletteEntries = 0;  // pixels straight after the header
    Bytes paletteOutside = WriteBmp(Sample(), noPalette);
    paletteOutside.resize(14 + 40 + 2);
    Bytes png = WritePng(Png(8, 8, PNG_COLOR_TYPE_RGB, 8, Bytes(8 * 8 * 3, 77)));
    Bytes pngBadHeaderSum = png, pngBadDataSum = png;
    pngBadHeaderSum[8 + 8 + 12] ^= 0x55;              // last IHDR byte: its checksum no longer matches
    pngBadDataSum[png.size() - 12 - 4 - 1] ^= 0x55;  // last IDAT byte, before the IEND chunk
    Bytes jpegGarbage = {0xFF, 0xD8};
    for (int i = 0; i < 200; ++i) jpegGarbage.push_back(uint8_t(i * 37 + 11));
    const uint32_t side = MAX_IMAGE_SIDE;
    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"BMP not BM", Patch(bmp, {{0, 2, 0x4142}})},
        {"BMP header size 108", Patch(bmp, {{14, 4, 108}})},
        {"BMP header size past the end", Patch(bmp, {{14, 4, 0x7FFFFFF0}})},
        {"BMP width 0", Patch(bmp, {{18, 4, 0}})},
        {"BMP height 0", Patch(bmp, {{22, 4, 0}})},
        {"BMP negative width", Patch(bmp, {{18, 4, uint32_t(-5)}})},
        {"BMP height INT_MIN", Patch(bmp, {{22, 4, uint32_t(INT_MIN)}})},
        {"BMP width INT_MAX", Patch(bmp, {{18, 4, uint32_t(INT_MAX)}})},
        {"BMP width over the side limit", Patch(bmp, {{18, 4, side + 1}})},
        {"BMP width larger than the data", Patch(bmp, {{18, 4, 6}})},
        {"BMP height larger than the data", Patch(bmp, {{22, 4, 4}})},
        {"BMP top-down height larger than the data", Patch(bmp, {{22, 4, uint32_t(-4)}})},
        {"BMP 0x40000000 x 1 at 32 bits", Patch(bmp, {{18, 4, 0x40000000}, {22, 4, 1}, {28, 2, 32}})},
        {"BMP 0x7FFFFFFF x 0x80000001 at 1 bit", Patch(bmp, {{18, 4, 0x7FFFFFFF}, {22, 4, 0x80000001}, {28, 2, 1}})},
        {"BMP side x side at 24 bits", Patch(bmp, {{18, 4, side}, {22, 4, side}})},
        {"BMP core header height -32768", Patch(WriteBmp(Sample(), core), {{20, 2, 0x8000}})},
        {"BMP 2 bits per pixel", Patch(bmp, {{28, 2, 2}})},
        {"BMP 64 bits per pixel", Patch(bmp, {{28, 2, 64}})},
        {"BMP RLE8 compression", Patch(bmp, {{30, 4, 1}})},
        {"BMP embedded PNG", Patch(bmp, {{30, 4, 5}})},
        {"BMP pixel offset past the end", Patch(bmp, {{10, 4, 1000}})},
        {"BMP pixel offset 0xFFFFFFFF", Patch(bmp, {{10, 4, 0xFFFFFFFF}})},
        {"BMP pixel offset inside the header", Patch(bmp, {{10, 4, 20}})},
        {"BMP pixel offset leaves too few rows", Patch(bmp, {{10, 4, 58}})},
        {"BMP missing palette", WriteBmp(Sample(), noPalette)},
        {"BMP palette past the end", paletteOutside},
        {"PNG width 0", PngWithHeader(0, 4, 8, 2)},
        {"PNG height 0", PngWithHeader(4, 0, 8, 2)},
        {"PNG height 0x80000000", PngWithHeader(4, 0x80000000u, 8, 2)},
        {"PNG width over the side limit", PngWithHeader(side + 1, 1, 8, 2)},
        {"PNG side x side", PngWithHeader(side, side, 8, 2)},
        {"PNG bit depth 3", PngWithHeader(4, 4, 3, 2)},
        {"PNG colour type 1", PngWithHeader(4, 4, 8, 1)},
        {"PNG colour type 7", PngWithHeader(4, 4, 8, 7)},
        {"PNG 16-bit palette", PngWithHeader(4, 4, 16, 3)},
        {"PNG too little image data", PngWithHeader(64, 64, 8, 2)},
        {"PNG header checksum", pngBadHeaderSum},
        {"PNG data checksum", pngBadDataSum},
        {"JPEG width 0", JpegWithSize(0, 16)},
        {"JPEG height 0", JpegWithSize(32, 0)},
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
        EXPECT_FALSE(Decode(c.file, img));
        testing::internal::GetCapturedStdout();
        ExpectEmpty(img);
    }
}

TEST(ImageReaders, EveryTruncationFails) {
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
    Bytes ramp;
    for (int i = 0; i < 9 * 7 * 3; ++i) ramp.push_back(uint8_t(i * 31));
    cases.push_back({"PNG", WritePng(Png(9, 7, PNG_COLOR_TYPE_RGB, 8, ramp)), 12 + 4});  // IEND, IDAT checksum
    for (bool progressive : {false, true})  // only the end-of-image marker may be missing
        cases.push_back(
            {progressive ? "JPEG progressive" : "JPEG", WriteJpeg(32, 16, 3, BlockSamples(3), 90, progressive), 2});
    for (const Case& c : cases) {
        DecodedImage img;
        ASSERT_TRUE(Decode(c.file, img)) << c.what;
        for (size_t n = 0; n + c.mayLack < c.file.size(); ++n) {
            EXPECT_FALSE(Decode(Bytes(c.file.begin(), c.file.begin() + n), img)) << c.what << " cut to " << n;
            ASSERT_TRUE(img.rgba.empty());
        }
    }
}

Bytes SmallBmp() {
    IndexedPicture p;
    p.width = p.height = 2;
    p.index = {0, 1, 1, 0};
    p.palette = {{255, 0, 128}, {1, 2, 3}};
    return WriteBmp(p, BmpOptions());
}
Bytes SmallPng() { return WritePng(Png(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8, {255, 0, 128, 255, 1, 2, 3, 4})); }
Bytes SmallJpeg() { return WriteJpeg(8, 8, 3, Bytes(8 * 8 * 3, 90)); }

std::string TempFile(const std::string& name, const Bytes& content) {
    const std::string path = testing::TempDir() + "squibly_images_" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr) << path;
    if (!f) return path;
    // An empty vector's data() may be null, which fwrite must not be given.
    if (!content.empty()) std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
    return path;
}

TEST(LoadImageFile, ReaderIsChosenByContentNotByName) {
    const struct {
        const char* name;
        Bytes file;
        ImageFormat format;
    } cases[] = {{"sprite.png", SmallBmp(), ImageFormat::BMP},
                 {"photo.jpg", SmallPng(), ImageFormat::PNG},
                 {"x.bmp", SmallJpeg(), ImageFormat::JPEG}};
    for (const auto& c : cases) {
        const std::string path = TempFile(c.name, c.file);
        DecodedImage img;
        ASSERT_TRUE(LoadImageFile(path.c_str(), img)) << c.name;
        EXPECT_EQ(img.format, c.format) << c.name;
        EXPECT_GT(img.width, 1);
        std::remove(path.c_str());
        if (c.format != ImageFormat::BMP) continue;
        // Magenta stays opaque: the colour key is the sprite loader's business, not the reader's.
        EXPECT_EQ(Bytes(img.rgba.begin(), img.rgba.begin() + 4), Bytes({255, 0, 128, 255}));
    }
}

TEST(LoadImageFile, FailuresLeaveNothingBehind) {
    Bytes half = SmallBmp();
    half.resize(half.size() / 2);
    const std::string empty = TempFile("empty.png", {}), cut = TempFile("half.bmp", half);
    // A directory opens but does not read.
    const char* paths[] = {"/nonexistent/squibly/none.png", "", "/tmp", empty.c_str(), cut.c_str(), nullptr};
    for (const char* path : paths) {
        SCOPED_TRACE(path ? path : "null");
        DecodedImage img;
        ASSERT_TRUE(Decode(SmallPng(), img));
        EXPECT_FALSE(LoadImageFile(path, img));
        ExpectEmpty(img);
    }
    std::remove(empty.c_str());
    std::remove(cut.c_str());
}

// Every single-byte change to the headers either decodes to a complete image of the stated
// size or fails with nothing left behind.
TEST(DecodeImage, SingleByteDamageNeverLeavesAHalfImage) {
    for (const Bytes& good : {SmallBmp(), SmallPng(), SmallJpeg()}) {
        for (size_t i = 0; i < std::min<size_t>(good.size(), 160); ++i) {
            for (uint8_t v : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x80), uint8_t(good[i] ^ 0x01)}) {
                Bytes b = good;
                b[i] = v;
                DecodedImage img;
                testing::internal::CaptureStdout();
                const bool ok = Decode(b, img);
                testing::internal::GetCapturedStdout();
                ASSERT_EQ(img.rgba.size(), ok ? size_t(img.width) * img.height * 4 : 0u) << i;
                ASSERT_EQ(img.width > 0 && img.height > 0, ok) << i;
            }
        }
    }
}

}  // namespace
