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
