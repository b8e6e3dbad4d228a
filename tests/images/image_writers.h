// Writers of small BMP, PNG and JPEG files for the reader tests and the fuzz seed corpus.
// BMP bytes are laid out by hand; PNG and JPEG go through the libpng and libjpeg writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct Rgb {
    uint8_t r, g, b;
};

// A picture as palette indices, row 0 at the top. Direct-colour BMPs store the palette
// colours themselves; 16-bit BMPs take each colour as 5-bit components (0..31).
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<int> index;  // width * height, top row first
    std::vector<Rgb> palette;
};

struct BmpOptions {
    int bitsPerPixel = 24;
    bool topDown = false;
    bool coreHeader = false;     // 12-byte header with 3-byte palette entries
    int paletteEntries = -1;     // -1: the picture's palette; else write this many entries
};

Bytes WriteBmp(const IndexedPicture& pic, const BmpOptions& opt);

void PutU16(Bytes& b, size_t at, uint16_t v);
void PutU32(Bytes& b, size_t at, uint32_t v);

// Raw PNG: `samples` holds the rows exactly as PNG stores them before filtering (packed
// for low bit depths, big-endian for 16 bits), top row first.
struct PngRecipe {
    int width = 1;
    int height = 1;
    int colourType = 2;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<Rgb> palette;
    std::vector<uint8_t> paletteAlpha;  // tRNS for palette images
    bool hasTransparentColour = false;  // tRNS for grey / RGB images
    uint16_t transparentGrey = 0;
    uint16_t transparentRgb[3] = {0, 0, 0};
    Bytes samples;
};

Bytes WritePng(const PngRecipe& recipe);

// JPEG from interleaved samples of `components` bytes per pixel (1 grey, 3 RGB, 4 CMYK,
// 2 unknown colour space), top row first.
Bytes WriteJpeg(int width, int height, int components, const Bytes& samples, int quality = 95,
                bool progressive = false);
