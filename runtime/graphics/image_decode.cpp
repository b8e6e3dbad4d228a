// Chooses the image reader by content and reads image files whole for the readers.
#include "runtime/graphics/image_decode.h"

#include <cstdio>
#include <new>

namespace {

// No picture the game loads comes near this; a larger file is refused before reading.
const long MAX_IMAGE_FILE_BYTES = 256L * 1024 * 1024;

}  // namespace

bool DecodeImage(const uint8_t* data, size_t size, DecodedImage& out, const char* name) {
    return DecodeBmp(data, size, out, name) || DecodePng(data, size, out, name) ||
           DecodeJpeg(data, size, out, name);
}

bool LoadImageFile(const char* path, DecodedImage& out) {
    out = DecodedImage();
    if (!path || !*path) return false;
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::vector<uint8_t> bytes;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long length = ok ? std::ftell(f) : -1;
    ok = ok && length >= 0 && length <= MAX_IMAGE_FILE_BYTES && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        try {
            bytes.resize(size_t(length));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    ok = ok && std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::fclose(f);
    return ok && DecodeImage(bytes.data(), bytes.size(), out, path);
}

void WidenRowToRgba(uint8_t* row, size_t width, int channels) {
    // Backwards, so every sample is read before its wider RGBA slot overwrites it.
    if (channels == 1) {
        for (size_t x = width; x-- > 0;) {
            const uint8_t g = row[x];
            row[x * 4] = row[x * 4 + 1] = row[x * 4 + 2] = g;
            row[x * 4 + 3] = 255;
        }
    } else if (channels == 3) {
        for (size_t x = width; x-- > 0;) {
            const uint8_t r = row[x * 3], g = row[x * 3 + 1], b = row[x * 3 + 2];
            row[x * 4] = r;
            row[x * 4 + 1] = g;
            row[x * 4 + 2] = b;
            row[x * 4 + 3] = 255;
        }
    }
}
