// Batches and fonts on the headless twin: the vertices handed to GL, glyph measurement,
// kerning, the built-in font and the offscreen surfaces' bookkeeping.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <string>

#include "runtime/core/error_state.h"
#include "runtime/core/kstring.h"
#include "runtime/graphics/font.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/offscreen.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "tests/graphics/headless_device.h"

namespace {

using Batches = HeadlessDevice;

DecodedImage Solid(int w, int h) {
    DecodedImage img;
    img.width = w;
    img.height = h;
    img.rgba.assign(static_cast<size_t>(w) * h * 4, 255);
    return img;
}

TEST(BatchVertexLayout, TwentyBytesInterleaved) {
    EXPECT_EQ(offsetof(BatchVertex, x), 0u);
    EXPECT_EQ(offsetof(BatchVertex, y), 4u);
    EXPECT_EQ(offsetof(BatchVertex, s), 8u);
    EXPECT_EQ(offsetof(BatchVertex, t), 12u);
    EXPECT_EQ(offsetof(BatchVertex, r), 16u);
    EXPECT_EQ(offsetof(BatchVertex, a), 19u);
}

TEST_F(Batches, TexelsBecomeFlippedTextureCoordinates) {
    ASSERT_EQ(UploadImageToSprite(Solid(10, 6), 3, false), 1);  // padded to 16 x 16
    BeginPolygonBatch(3, 1);
    AddPolygonVertex(1, 2, 0, 0, 16777215);
    AddPolygonVertex(3, 4, 10, 6, 16777215);
    AddPolygonVertex(5, 6, 20, -3, 16777215);
    const std::vector<BatchVertex>& v = LastBatchVertices();
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].x, 1.0f);
    EXPECT_EQ(v[0].y, 2.0f);
    EXPECT_FLOAT_EQ(v[0].s, 0.0f);
    EXPECT_FLOAT_EQ(v[0].t, 6.0f / 16);  // the image's top row is at vMax
    EXPECT_FLOAT_EQ(v[1].s, 10.0f / 16);
    EXPECT_FLOAT_EQ(v[1].t, 0.0f);       // its bottom edge at 0
    EXPECT_FLOAT_EQ(v[2].s, 20.0f / 16);
    EXPECT_FLOAT_EQ(v[2].t, 9.0f / 16);
    EXPECT_FALSE(polygonBatch->colourUsed);
    EXPECT_EQ(v[0].r, 255);
    EXPECT_EQ(v[0].a, 255);
}

TEST_F(Batches, ColourAndAlphaBytes) {
    BeginPolygonBatch(-1, 1);
    AddPolygonVertex(0, 0, 0, 0, 0x563412);
    AddPolygonVertex(0, 0, 0, 0, 0x8000FF);  // the colour key
    SetBlendMode(-0.5f);
    AddPolygonVertex(0, 0, 0, 0, 16777215);
    SetBlendMode(-0.3f);
    AddPolygonVertex(0, 0, 0, 0, 16777215);
    const std::vector<BatchVertex>& v = LastBatchVertices();
    EXPECT_EQ(v[0].r, 0x12);
    EXPECT_EQ(v[0].g, 0x34);
    EXPECT_EQ(v[0].b, 0x56);
    EXPECT_EQ(v[0].a, 255);
    EXPECT_EQ(v[1].a, 0);
    EXPECT_EQ(v[2].a, 127);
    EXPECT_EQ(v[3].a, 76);  // 0.3 x 255 = 76.5, truncated
    EXPECT_EQ(v[0].s, 0.0f);
    EXPECT_TRUE(polygonBatch->colourUsed);
}

TEST_F(Batches, MemoryIsKeptAndEndDrawsWhatIsThere) {
    BeginPolygonBatch(-1, 1);
    EXPECT_GE(polygonBatch->vertices.capacity(), 3u);
    for (int i = 0; i < 1000; ++i) AddPolygonVertex(i, 0, 0, 0, 16777215);
    const size_t capacity = polygonBatch->vertices.capacity();
    const unsigned long draws = polygonBatch->drawCalls;
    EndPolygonBatch();
    EndPolygonBatch();  // twice: the same vertices twice
    EXPECT_EQ(polygonBatch->drawCalls, draws + 2);
    EXPECT_EQ(LastBatchVertices().size(), 1000u);
    BeginPolygonBatch(-1, 3);  // mode 3 draws nothing
    EXPECT_EQ(LastBatchVertices().size(), 0u);
    EXPECT_EQ(polygonBatch->vertices.capacity(), capacity);
    AddPolygonVertex(0, 0, 0, 0, 16777215);
    EndPolygonBatch();
    EXPECT_EQ(polygonBatch->drawCalls, draws + 2);
}

TEST_F(Batches, ColouredBatchSwitchesDitherOnlyWhileDrawing) {
    BeginPolygonBatch(-1, 1);
    AddPolygonVertex(0, 0, 0, 0, 0x102030);
    const unsigned long before = graphicsDevice->GlStateCache.SentSwitches();
    EndPolygonBatch();
    EXPECT_EQ(graphicsDevice->GlStateCache.SentSwitches(), before + 2);
    EXPECT_EQ(graphicsDevice->GlStateCache.Word(0x0BD0 /* GL_DITHER */), 0u);
}

// A font picture drawn as a 24-bit BMP: black background (the font's transparent colour),
// white ink in chosen columns of chosen cells.
struct FontPicture {
    int width, height, cellW, cellH;
    std::vector<uint8_t> rgb;  // top row first
    FontPicture(int w, int h, int cells) : width(w), height(h), cellW(w / 16), cellH(h / cells), rgb(w * h * 3, 0) {}
    void Ink(int c, int col) {
        const int x = (c % 16) * cellW + col, y = (c / 16) * cellH + cellH / 2;
        for (int k = 0; k < 3; ++k) rgb[(static_cast<size_t>(y) * width + x) * 3 + k] = 255;
    }
    std::string Bmp() const {
        const int row = (width * 3 + 3) / 4 * 4;
        std::string f = "BM";
        auto put = [&f](uint32_t v, int n) {
            for (int i = 0; i < n; ++i) f.push_back(static_cast<char>((v >> (8 * i)) & 255));
        };
        put(54 + row * height, 4), put(0, 4), put(54, 4), put(40, 4), put(width, 4), put(height, 4);
        put(1, 2), put(24, 2), put(0, 4), put(row * height, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4);
        for (int y = height - 1; y >= 0; --y) {
            std::string line(row, '\0');
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
                line[x * 3] = static_cast<char>(p[2]);
                line[x * 3 + 1] = static_cast<char>(p[1]);
                line[x * 3 + 2] = static_cast<char>(p[0]);
            }
            f += line;
        }
        return f;
    }
};

std::string Save(const std::string& bytes) {
    char path[] = "/tmp/fontXXXXXX";
    const int fd = mkstemp(path);
    FILE* f = fdopen(fd, "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return path;
}

using Fonts = HeadlessDevice;

TEST_F(Fonts, GlyphsAreMeasuredFromTheirInk) {
    FontPicture pic(256, 128, 8);  // 128 characters of 16 x 16
    pic.Ink('A', 3), pic.Ink('A', 9);
    pic.Ink('j', 5), pic.Ink('j', 7);
    pic.Ink('W', 2), pic.Ink('W', 15);  // inked up to the cell's last column
    const std::string path = Save(pic.Bmp());
    LoadFont(KString(path.c_str()), 2);
    std::remove(path.c_str());
    EXPECT_EQ(ErrorCode(), 0);
    EXPECT_EQ(CurrentFont(), 2);
    const FontRecord& f = GetFont(2);
    ASSERT_TRUE(f.loaded);
    EXPECT_EQ(f.characters, 128);
    EXPECT_EQ(f.cellWidth, 16);
    EXPECT_EQ(f.cellHeight, 16);
    EXPECT_EQ(f.glyphs['A'].left, 3);
    EXPECT_EQ(f.glyphs['A'].width, 8);  // 7 inked plus one spacing column
    EXPECT_EQ(f.glyphs['W'].width, 14);  // no spacing after the last column
    EXPECT_EQ(f.glyphs['B'].left, 0);    // empty cell: the whole cell
    EXPECT_EQ(f.glyphs['B'].width, 16);
    EXPECT_FLOAT_EQ(f.glyphs['A'].u0, (1 * 16 + 3) / 256.0f);
    EXPECT_FLOAT_EQ(f.glyphs['A'].u1, (1 * 16 + 3 + 8) / 256.0f);
    EXPECT_EQ(f.glyphs[' '].width, f.glyphs['j'].width);
    EXPECT_EQ(f.glyphs[' '].u0, 0.0f);
    EXPECT_EQ(f.glyphs['A' + 128].width, 8);  // the upper half repeats the lower

    // Kerned: "j j" is wider than "jj" by exactly a kerned j.
    auto extent = [](const char* text, float kerning) {
        DrawFontText(KString(text), 0.0f, 0.0f, kerning);
        const std::vector<FontVertex>& v = LastTextVertices();
        return v.empty() ? 0.0f : v.back().x - v.front().x;
    };
    EXPECT_EQ(extent("j j", 1) - extent("jj", 1), f.glyphs['j'].width);
    EXPECT_EQ(extent("AB", 0), 32.0f);  // unkerned: whole cells
    EXPECT_EQ(extent("AB", 1), 8.0f + 16.0f);
}

TEST_F(Fonts, TextVerticesFormOneStripWithFlippedRows) {
    LoadFont(KString("/no/such/font.png"), 0);  // the built-in font: 128 characters of 8 x 8
    DrawFontText(KString("A"), 10.2f, 20.7f, 0);
    const std::vector<FontVertex>& v = LastTextVertices();
    ASSERT_EQ(v.size(), 4u);
    // bottom-left, top-left, bottom-right, top-right; x and y rounded up.
    EXPECT_EQ(v[0].x, 11.0f);
    EXPECT_EQ(v[0].y, 29.0f);
    EXPECT_EQ(v[1].y, 21.0f);
    EXPECT_EQ(v[2].x, 19.0f);
    // 'A' = 65: column 1, row 4 from the top; rows stored upside down.
    EXPECT_FLOAT_EQ(v[0].u, 1 / 16.0f);
    EXPECT_FLOAT_EQ(v[2].u, 2 / 16.0f);
    EXPECT_FLOAT_EQ(v[0].v, (7 - 4) / 8.0f);
    EXPECT_FLOAT_EQ(v[1].v, (7 - 4 + 1) / 8.0f);

    DrawFontText(KString("AB\x80" "C"), 0, 0, 0);  // byte 128 ends a 128-character text
    EXPECT_EQ(LastTextVertices().size(), 8u);
    DrawFontText(KString(""), 0, 0, 0);
    EXPECT_TRUE(LastTextVertices().empty());
}

TEST_F(Fonts, MissingFilesAndIndicesOutsideTheTable) {
    LoadFont(KString("/no/such/font.png"), 4);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(CurrentFont(), 4);
    EXPECT_TRUE(GetFont(4).loaded);
    EXPECT_EQ(GetFont(4).glyphs['Q'].width, 8);
    EXPECT_NE(GetSprite(FIRST_FONT_SPRITE + 4)->texture, 0u);

    FontPicture pic(128, 256, 16);  // narrower than high: 256 characters of 8 x 16
    pic.Ink(200, 1);
    const std::string path = Save(pic.Bmp());
    LoadFont(KString(path.c_str()), 40);
    EXPECT_EQ(ErrorCode(), 7);
    EXPECT_EQ(CurrentFont(), 4);           // unchanged ...
    EXPECT_EQ(GetFont(4).characters, 256);  // ... and loaded with the picture
    EXPECT_EQ(GetFont(4).cellHeight, 16);
    EXPECT_EQ(GetFont(4).glyphs[200].left, 1);
    std::remove(path.c_str());

    LoadFont(KString("/no/such/font.png"), 40);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(GetFont(4).characters, 256);  // no built-in font written anywhere
}

TEST(BuiltInFont, EveryPrintableCharacterHasInkInsideItsCell) {
    const DecodedImage pic = BuiltInFontPicture();
    ASSERT_EQ(pic.width, 128);
    ASSERT_EQ(pic.height, 64);
    for (int c = 0; c < 128; ++c) {
        int white = 0, outside = 0;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const uint8_t* p = &pic.rgba[((static_cast<size_t>(c / 16) * 8 + y) * 128 + (c % 16) * 8 + x) * 4];
                if (p[3] && p[0] == 255) {
                    ++white;
                    if (x < 1 || x > 5 || y > 6) ++outside;
                }
            }
        }
        EXPECT_EQ(outside, 0) << "character " << c;
        if (c > 32 && c < 127) {
            EXPECT_GE(white, 2) << "character " << c;
        } else {
            EXPECT_EQ(white, 0) << "character " << c;
        }
    }
}

using Surfaces = HeadlessDevice;

TEST_F(Surfaces, SizesTargetsAndEnding) {
    CreateOffscreenSurface(0, 600, 100, 60);
    CreateOffscreenSurface(1, 601, 20, 20);
    CreateOffscreenSurface(32, 602, 20, 20);  // beyond the table: nothing
    EXPECT_EQ(GetSprite(602)->texture, 0u);
    const SpriteRecord* s = GetSprite(600);
    EXPECT_EQ(s->paddedWidth, 128);
    EXPECT_EQ(s->paddedHeight, 64);
    EXPECT_FLOAT_EQ(s->uMax, 0.78125f);
    EXPECT_FLOAT_EQ(s->vMax, 0.9375f);
    EXPECT_EQ(GetOffscreenSurface(0)->surfaceSprite, 600);
    EXPECT_EQ(GetOffscreenSurface(0)->previousBinding, -1);

    SetRenderTarget(0);
    float w = 0, h = 0;
    GetScreenSize(w, h);
    EXPECT_EQ(w, 100.0f);
    EXPECT_EQ(h, 60.0f);
    EXPECT_GE(GetOffscreenSurface(0)->previousBinding, 0);
    SetRenderTarget(1);  // the first is ended before the second is bound
    EXPECT_EQ(GetOffscreenSurface(0)->previousBinding, -1);
    EXPECT_EQ(graphicsDevice->renderTarget, 1);
    graphicsDevice->PresentFrame();  // a surface still bound is ended before the swap
    EXPECT_EQ(graphicsDevice->renderTarget, -1);
    EXPECT_EQ(GetOffscreenSurface(1)->previousBinding, -1);
    GetScreenSize(w, h);
    EXPECT_EQ(w, 768.0f);

    ::testing::internal::CaptureStdout();
    CreateOffscreenSurface(2, 603, -4, 10);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "can't create FBO for neg dims -4x10\n");
    EXPECT_EQ(GetOffscreenSurface(2)->framebuffer, 0u);
    EXPECT_EQ(GetOffscreenSurface(2)->surfaceSprite, -1);
}

}  // namespace
