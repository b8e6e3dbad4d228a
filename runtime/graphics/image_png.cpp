// PNG reader through libpng, from memory: expands palette, low-bit grey and tRNS, strips
// 16-bit samples, and accepts grey, RGB and RGBA at 8 bits. libpng errors longjmp back here.
#include "runtime/graphics/image_decode.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep dst, png_size_t length) {
    MemoryReader* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > r->size - r->pos) png_error(png, "read past end of data");
    std::memcpy(dst, r->data + r->pos, length);
    r->pos += length;
}

// libpng's own handlers print to stderr; a bad file is not worth a message.
void SilentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void SilentWarning(png_structp, png_const_charp) {}

// Owns the libpng structures; destroyed on every path, including after a longjmp.
struct PngReadGuard {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReadGuard() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

struct PngShape {
    png_uint_32 width;
    png_uint_32 height;
    int channels;
};

// The part that calls libpng: nothing here has a destructor, so a longjmp out of libpng
// skips no clean-up. Allocation may throw bad_alloc, which the caller catches.
// Returns 1 on success, 0 on a libpng error or a rejected image.
int ReadPng(png_structp png, png_infop info, MemoryReader* reader, DecodedImage& out,
            std::vector<png_bytep>& rows, const char* name) {
    if (setjmp(png_jmpbuf(png))) return 0;

    png_set_read_fn(png, reader, ReadFromMemory);
    png_set_user_limits(png, MAX_IMAGE_SIDE, MAX_IMAGE_SIDE);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Let the fuzzer reach the decoder instead of stopping at checksums.
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    if (width == 0 || height == 0 || width > png_uint_32(MAX_IMAGE_SIDE) ||
        height > png_uint_32(MAX_IMAGE_SIDE) || int64_t(width) * int64_t(height) > MAX_IMAGE_PIXELS)
        return 0;

    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if (bitDepth < 8) png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    bitDepth = png_get_bit_depth(png, info);
    colourType = png_get_color_type(png, info);
    const int channels = png_get_channels(png, info);
    if (bitDepth != 8) {
        std::printf("File %s has bit depth %d.\n", name ? name : "", bitDepth);
        std::printf("Only bit depth of 8 is supported.\n");
        std::fflush(stdout);
        return 0;
    }
    const bool typeOk = (colourType == PNG_COLOR_TYPE_GRAY && channels == 1) ||
                        (colourType == PNG_COLOR_TYPE_RGB && channels == 3) ||
                        (colourType == PNG_COLOR_TYPE_RGB_ALPHA && channels == 4);
    if (!typeOk) {
        std::printf("File %s has unsupported color type.\n", name ? name : "");
        std::printf("Types GRAY, RGB and RGB_ALPHA are supported.\n");
        std::fflush(stdout);
        return 0;
    }
    const size_t rgbaStride = size_t(width) * 4;
    if (png_get_rowbytes(png, info) > rgbaStride) return 0;

    // Each row is decoded at the start of its RGBA row and widened in place afterwards.
    out.rgba.resize(rgbaStride * height);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = out.rgba.data() + rgbaStride * y;
    png_read_image(png, rows.data());

    for (png_uint_32 y = 0; y < height; ++y) {
        uint8_t* row = rows[y];
        WidenRowToRgba(row, width, int(channels));
    }
    out.width = int(width);
    out.height = int(height);
    out.hasAlpha = channels == 4;
    out.format = ImageFormat::PNG;
    return 1;
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, DecodedImage& out, const char* name) {
    out = DecodedImage();
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;

    PngReadGuard guard;
    guard.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
    if (!guard.png) return false;
    guard.info = png_create_info_struct(guard.png);
    if (!guard.info) return false;

    MemoryReader reader{data, size, 0};
    std::vector<png_bytep> rows;
    int ok = 0;
    try {
        ok = ReadPng(guard.png, guard.info, &reader, out, rows, name);
    } catch (const std::bad_alloc&) {
        ok = 0;
    }
    if (!ok) out = DecodedImage();
    return ok != 0;
}
