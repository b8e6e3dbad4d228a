// Reader choice by content, whole-file loading, and failures across all three readers.
#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "runtime/graphics/image_decode.h"
#include "tests/images/image_writers.h"

namespace {

Bytes SmallBmp() {
    IndexedPicture p;
    p.width = 2;
    p.height = 2;
    p.index = {0, 1, 1, 0};
    p.palette = {{255, 0, 128}, {1, 2, 3}};
    return WriteBmp(p, BmpOptions());
}

Bytes SmallPng() {
    PngRecipe s;
    s.width = 2;
    s.height = 2;
    s.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    s.samples = {255, 0, 128, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    return WritePng(s);
}

Bytes SmallJpeg() { return WriteJpeg(8, 8, 3, Bytes(8 * 8 * 3, 90)); }

class TempFile {
public:
    TempFile(const std::string& name, const Bytes& content) {
        char dir[] = "/tmp/squibly-images-XXXXXX";
        dir_ = mkdtemp(dir);
        path_ = dir_ + "/" + name;
        FILE* f = std::fopen(path_.c_str(), "wb");
        if (!content.empty()) std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    ~TempFile() {
        std::remove(path_.c_str());
        rmdir(dir_.c_str());
    }
    const char* path() const { return path_.c_str(); }

private:
    std::string dir_, path_;
};

TEST(DecodeImage, ChoosesTheReaderByContent) {
    DecodedImage img;
    const Bytes bmp = SmallBmp(), png = SmallPng(), jpg = SmallJpeg();
    ASSERT_TRUE(DecodeImage(bmp.data(), bmp.size(), img));
    EXPECT_EQ(img.format, ImageFormat::BMP);
    EXPECT_EQ(img.rgba[0], 255);
    EXPECT_EQ(img.rgba[2], 128);
    EXPECT_EQ(img.rgba[3], 255);  // the colour key is not the reader's business
    ASSERT_TRUE(DecodeImage(png.data(), png.size(), img));
    EXPECT_EQ(img.format, ImageFormat::PNG);
    EXPECT_EQ(img.rgba[7], 4);
    ASSERT_TRUE(DecodeImage(jpg.data(), jpg.size(), img));
    EXPECT_EQ(img.format, ImageFormat::JPEG);
    EXPECT_EQ(img.width, 8);

    // Each reader refuses the other formats.
    EXPECT_FALSE(DecodeBmp(png.data(), png.size(), img));
    EXPECT_FALSE(DecodeBmp(jpg.data(), jpg.size(), img));
    EXPECT_FALSE(DecodePng(bmp.data(), bmp.size(), img));
    EXPECT_FALSE(DecodePng(jpg.data(), jpg.size(), img));
    EXPECT_FALSE(DecodeJpeg(bmp.data(), bmp.size(), img));
    EXPECT_FALSE(DecodeJpeg(png.data(), png.size(), img));
}

TEST(DecodeImage, FailureLeavesTheImageEmpty) {
    DecodedImage img;
    const Bytes png = SmallPng();
    ASSERT_TRUE(DecodeImage(png.data(), png.size(), img));
    const Bytes junk = {'B', 'M', 0x89, 'P', 'N', 'G', 0xFF, 0xD8, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(DecodeImage(junk.data(), junk.size(), img));
    EXPECT_EQ(img.width, 0);
    EXPECT_EQ(img.height, 0);
    EXPECT_TRUE(img.rgba.empty());
    EXPECT_FALSE(img.hasAlpha);
    EXPECT_EQ(img.format, ImageFormat::NONE);
    EXPECT_FALSE(DecodeImage(nullptr, 0, img));
    EXPECT_FALSE(DecodeImage(junk.data(), 0, img));
}

TEST(LoadImageFile, ExtensionPlaysNoPart) {
    TempFile bmpNamedPng("sprite.png", SmallBmp());
    DecodedImage img;
    ASSERT_TRUE(LoadImageFile(bmpNamedPng.path(), img));
    EXPECT_EQ(img.format, ImageFormat::BMP);
    EXPECT_EQ(img.width, 2);

    TempFile pngNamedJpg("photo.jpg", SmallPng());
    ASSERT_TRUE(LoadImageFile(pngNamedJpg.path(), img));
    EXPECT_EQ(img.format, ImageFormat::PNG);
    EXPECT_TRUE(img.hasAlpha);

    TempFile jpgNamedBmp("x.bmp", SmallJpeg());
    ASSERT_TRUE(LoadImageFile(jpgNamedBmp.path(), img));
    EXPECT_EQ(img.format, ImageFormat::JPEG);
}

TEST(LoadImageFile, MissingEmptyAndBrokenFilesFail) {
    DecodedImage img;
    EXPECT_FALSE(LoadImageFile("/nonexistent/squibly/none.png", img));
    EXPECT_FALSE(LoadImageFile("", img));
    EXPECT_FALSE(LoadImageFile(nullptr, img));
    TempFile empty("empty.png", Bytes());
    EXPECT_FALSE(LoadImageFile(empty.path(), img));
    Bytes half = SmallBmp();
    half.resize(half.size() / 2);
    TempFile truncated("half.bmp", half);
    EXPECT_FALSE(LoadImageFile(truncated.path(), img));
    EXPECT_TRUE(img.rgba.empty());
    // A directory opens but cannot be read as a file.
    EXPECT_FALSE(LoadImageFile("/tmp", img));
}

// Every single-byte change to the headers of each format either decodes to a complete
// image of the stated size or fails with nothing left behind.
TEST(DecodeImage, SingleByteDamageNeverLeavesAHalfImage) {
    for (const Bytes& good : {SmallBmp(), SmallPng(), SmallJpeg()}) {
        const size_t span = std::min<size_t>(good.size(), 160);
        for (size_t i = 0; i < span; ++i) {
            for (uint8_t v : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x80), uint8_t(good[i] ^ 0x01)}) {
                Bytes b = good;
                b[i] = v;
                DecodedImage img;
                testing::internal::CaptureStdout();
                const bool ok = DecodeImage(b.data(), b.size(), img);
                testing::internal::GetCapturedStdout();
                if (ok) {
                    ASSERT_GT(img.width, 0);
                    ASSERT_GT(img.height, 0);
                    ASSERT_EQ(img.rgba.size(), size_t(img.width) * img.height * 4) << i;
                } else {
                    ASSERT_TRUE(img.rgba.empty()) << i;
                    ASSERT_EQ(img.width, 0);
                }
            }
        }
    }
}

}  // namespace
