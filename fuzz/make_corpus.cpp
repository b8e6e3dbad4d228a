// Writes the fuzz seed corpus: small valid BMP, PNG and JPEG files of every kind the readers
// take, made with the same writers the reader tests use.
#include <png.h>

#include <cstdio>
#include <string>

#include "tests/images/image_writers.h"

namespace {

std::string dir;
int written = 0;

void Save(const std::string& name, const Bytes& b) {
    const std::string path = dir + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
    ++written;
}

IndexedPicture Picture(int w, int h) {
    IndexedPicture p;
    p.width = w;
    p.height = h;
    p.palette = {{10, 20, 30}, {200, 100, 50}, {0, 255, 128}, {255, 0, 128}};
    for (int i = 0; i < w * h; ++i) p.index.push_back((i * 7 + i / w) % 4);
    return p;
}

Bytes Ramp(size_t n) {
    Bytes b;
    for (size_t i = 0; i < n; ++i) b.push_back(uint8_t(i * 13 + i / 7));
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus-dir>\n", argv[0]);
        return 2;
    }
    dir = argv[1];
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            BmpOptions o;
            o.bitsPerPixel = bpp;
            o.topDown = topDown;
            Save("bmp" + std::to_string(bpp) + (topDown ? "td" : "bu") + ".bmp", WriteBmp(Picture(5, 3), o));
        }
    }
    BmpOptions core;
    core.coreHeader = true;
    core.bitsPerPixel = 8;
    Save("bmpcore8.bmp", WriteBmp(Picture(3, 2), core));

    struct {
        const char* name;
        int type, depth;
        bool laced;
    } pngs[] = {{"grey1", PNG_COLOR_TYPE_GRAY, 1, false},  {"grey8", PNG_COLOR_TYPE_GRAY, 8, false},
                {"grey16", PNG_COLOR_TYPE_GRAY, 16, false}, {"rgb8", PNG_COLOR_TYPE_RGB, 8, false},
                {"rgb16", PNG_COLOR_TYPE_RGB, 16, false},   {"rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false},
                {"rgba16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false}, {"rgblaced", PNG_COLOR_TYPE_RGB, 8, true},
                {"greyalpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false}, {"pal4", PNG_COLOR_TYPE_PALETTE, 4, false}};
    for (const auto& p : pngs) {
        PngRecipe s;
        s.width = 7;
        s.height = 5;
        s.colourType = p.type;
        s.bitDepth = p.depth;
        s.interlaced = p.laced;
        if (p.type == PNG_COLOR_TYPE_PALETTE) s.palette = {{1, 2, 3}, {250, 0, 128}, {9, 9, 9}};
        s.samples = Ramp(7 * 5 * 8);
        if (p.type == PNG_COLOR_TYPE_PALETTE)
            for (uint8_t& v : s.samples) v &= 0x11;  // indices 0 and 1 only
        Save(std::string("png_") + p.name + ".png", WritePng(s));
    }
    PngRecipe trns;
    trns.width = 4;
    trns.height = 4;
    trns.colourType = PNG_COLOR_TYPE_PALETTE;
    trns.bitDepth = 8;
    trns.palette = {{1, 2, 3}, {250, 0, 128}};
    trns.paletteAlpha = {0, 128};
    trns.samples = Bytes{0, 1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 1, 1, 0, 0};
    Save("png_pal_trns.png", WritePng(trns));
    trns.colourType = PNG_COLOR_TYPE_RGB;
    trns.palette.clear();
    trns.paletteAlpha.clear();
    trns.hasTransparentColour = true;
    trns.samples = Ramp(4 * 4 * 3);
    trns.transparentRgb[0] = trns.samples[0];
    trns.transparentRgb[1] = trns.samples[1];
    trns.transparentRgb[2] = trns.samples[2];
    Save("png_rgb_trns.png", WritePng(trns));

    Save("jpeg_grey.jpg", WriteJpeg(16, 8, 1, Ramp(16 * 8), 75));
    Save("jpeg_rgb.jpg", WriteJpeg(17, 9, 3, Ramp(17 * 9 * 3), 75));
    Save("jpeg_progressive.jpg", WriteJpeg(16, 16, 3, Ramp(16 * 16 * 3), 60, true));
    Save("jpeg_cmyk.jpg", WriteJpeg(8, 8, 4, Ramp(8 * 8 * 4), 75));
    Save("jpeg_two.jpg", WriteJpeg(8, 8, 2, Ramp(8 * 8 * 2), 75));
    std::printf("wrote %d seed files to %s\n", written, dir.c_str());
    return 0;
}
