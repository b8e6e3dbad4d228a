// Writers of small BMP, PNG and JPEG files for the reader tests and the fuzz seed corpus.
#include "tests/images/image_writers.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

void PutU16(Bytes& b, size_t at, uint16_t v) { b[at] = uint8_t(v), b[at + 1] = uint8_t(v >> 8); }

void PutU32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

Bytes WriteBmp(const IndexedPicture& pic, const BmpOptions& opt) {
    const int bpp = opt.bitsPerPixel;
    const uint32_t headerSize = opt.coreHeader ? 12 : 40;
    const uint32_t entrySize = opt.coreHeader ? 3 : 4;
    uint32_t entries = 0;
    if (bpp <= 8) entries = opt.paletteEntries >= 0 ? uint32_t(opt.paletteEntries) : uint32_t(pic.palette.size());
    const uint32_t pixelOffset = 14 + headerSize + entries * entrySize;
    const uint32_t stride = ((uint32_t(pic.width) * bpp + 31) / 32) * 4;
    Bytes b(pixelOffset + stride * pic.height, 0);

    b[0] = 'B', b[1] = 'M';
    PutU32(b, 2, uint32_t(b.size()));
    PutU32(b, 10, pixelOffset);
    PutU32(b, 14, headerSize);
    const int storedHeight = opt.topDown ? -pic.height : pic.height;
    if (opt.coreHeader) {
        PutU16(b, 18, uint16_t(pic.width));
        PutU16(b, 20, uint16_t(int16_t(storedHeight)));
        PutU16(b, 22, 1);
        PutU16(b, 24, uint16_t(bpp));
    } else {
        PutU32(b, 18, uint32_t(pic.width));
        PutU32(b, 22, uint32_t(storedHeight));
        PutU16(b, 26, 1);
        PutU16(b, 28, uint16_t(bpp));
        PutU32(b, 34, stride * pic.height);
        PutU32(b, 46, entries);
    }
    size_t p = 14 + headerSize;
    for (uint32_t i = 0; i < entries; ++i, p += entrySize) {
        const Rgb c = i < pic.palette.size() ? pic.palette[i] : Rgb{0, 0, 0};
        b[p] = c.b, b[p + 1] = c.g, b[p + 2] = c.r;
    }
    for (int fileRow = 0; fileRow < pic.height; ++fileRow) {
        const int y = opt.topDown ? fileRow : pic.height - 1 - fileRow;
        uint8_t* row = b.data() + pixelOffset + size_t(stride) * fileRow;
        for (int x = 0; x < pic.width; ++x) {
            const int idx = pic.index[size_t(y) * pic.width + x];
            const Rgb c = (bpp > 8 && size_t(idx) < pic.palette.size()) ? pic.palette[idx] : Rgb{0, 0, 0};
            switch (bpp) {
            case 1: row[x / 8] |= uint8_t((idx & 1) << (7 - x % 8)); break;
            case 4: row[x / 2] |= uint8_t((idx & 15) << (x % 2 ? 0 : 4)); break;
            case 8: row[x] = uint8_t(idx); break;
            case 16: {
                const unsigned v = ((c.r & 31) << 10) | ((c.g & 31) << 5) | (c.b & 31);
                row[x * 2] = uint8_t(v), row[x * 2 + 1] = uint8_t(v >> 8);
                break;
            }
            default: row[x * bpp / 8] = c.b, row[x * bpp / 8 + 1] = c.g, row[x * bpp / 8 + 2] = c.r;
            }
        }
    }
    return b;
}

namespace {

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// Samples per pixel by PNG colour type (0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA).
int PngChannels(int colourType) { return colourType == 6 ? 4 : colourType == 2 ? 3 : colourType == 4 ? 2 : 1; }

}  // namespace

Bytes WritePng(const PngRecipe& recipe) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const size_t rowBytes = (size_t(recipe.width) * PngChannels(recipe.colourType) * recipe.bitDepth + 7) / 8;
    Bytes samples = recipe.samples;
    samples.resize(rowBytes * recipe.height, 0);
    std::vector<png_bytep> rows;
    for (int y = 0; y < recipe.height; ++y) rows.push_back(samples.data() + rowBytes * y);
    if (setjmp(png_jmpbuf(png))) return png_destroy_write_struct(&png, &info), Bytes();
    png_set_write_fn(png, &out, AppendToBytes, FlushNothing);
    png_set_IHDR(png, info, recipe.width, recipe.height, recipe.bitDepth, recipe.colourType,
                 recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (const Rgb& c : recipe.palette) palette.push_back(png_color{c.r, c.g, c.b});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_color_16 colour{0, recipe.transparentRgb[0], recipe.transparentRgb[1], recipe.transparentRgb[2], recipe.transparentGrey};
    if (!recipe.paletteAlpha.empty()) {
        png_set_tRNS(png, info, recipe.paletteAlpha.data(), int(recipe.paletteAlpha.size()), nullptr);
    } else if (recipe.hasTransparentColour) {
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes WriteJpeg(int width, int height, int components, const Bytes& samples, int quality, bool progressive) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width), cinfo.image_height = JDIMENSION(height), cinfo.input_components = components;
    cinfo.in_color_space = components == 1   ? JCS_GRAYSCALE
                           : components == 3 ? JCS_RGB
                           : components == 4 ? JCS_CMYK
                                             : JCS_UNKNOWN;
    jpeg_set_defaults(&cinfo);
    if (components == 2) jpeg_set_colorspace(&cinfo, JCS_UNKNOWN);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t stride = size_t(width) * components;
    Bytes padded = samples;
    padded.resize(stride * height, 0);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = padded.data() + stride * cinfo.next_scanline;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}
