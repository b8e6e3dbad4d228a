// Image readers: BMP (own code), PNG (libpng) and JPEG (libjpeg) into one RGBA8 form.
// Image files are untrusted; every reader fails cleanly on malformed data and never exits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class ImageFormat { NONE, BMP, PNG, JPEG };

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // RGBA8, width * height * 4 bytes, top row first
    bool hasAlpha = false;      // true only when the source carried its own alpha channel
    ImageFormat format = ImageFormat::NONE;  // which reader produced the image
};

// The colour key is applied by the sprite loader, not by the readers. It applies to BMP and
// to PNG images without their own alpha (grey, RGB, palette without tRNS), never to JPEG.
inline bool AcceptsColourKey(const DecodedImage& img) {
    return !img.hasAlpha && (img.format == ImageFormat::BMP || img.format == ImageFormat::PNG);
}

// Largest side and largest pixel count any reader accepts.
const int MAX_IMAGE_SIDE = 16384;
const int64_t MAX_IMAGE_PIXELS = int64_t(1) << 26;  // 64 M pixels, 256 MB of RGBA

// Each reader returns false on data not in its format or malformed; `out` is then left
// empty (width = height = 0, no pixels). `name` is only used in the messages the PNG and
// JPEG readers print for unsupported depths, colour types and channel counts.
bool DecodeBmp(const uint8_t* data, size_t size, DecodedImage& out, const char* name = nullptr);
bool DecodePng(const uint8_t* data, size_t size, DecodedImage& out, const char* name = nullptr);
bool DecodeJpeg(const uint8_t* data, size_t size, DecodedImage& out, const char* name = nullptr);

// Tries BMP, PNG, JPEG in that order and takes the first that succeeds; the file name's
// extension plays no part.
bool DecodeImage(const uint8_t* data, size_t size, DecodedImage& out, const char* name = nullptr);

// Reads the whole file at `path` (already resolved; no case-insensitive lookup, no
// "mem://" names - decode those with DecodeImage) and decodes it.
bool LoadImageFile(const char* path, DecodedImage& out);

// Widens one decoded row of grey (1) or RGB (3) samples, stored at the start of its RGBA
// row, to opaque RGBA in place; 4-channel rows are left as they are. Shared by the readers.
void WidenRowToRgba(uint8_t* row, size_t width, int channels);
