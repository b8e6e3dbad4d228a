// libFuzzer harness over the three image readers: any input must decode to a whole image
// of the stated size or fail with nothing left behind, without touching memory it should not.
#include <cstdlib>

#include "runtime/graphics/image_decode.h"

namespace {

void Check(bool ok, const DecodedImage& img) {
    if (ok) {
        if (img.width <= 0 || img.height <= 0 || img.width > MAX_IMAGE_SIDE || img.height > MAX_IMAGE_SIDE)
            std::abort();
        if (img.rgba.size() != size_t(img.width) * size_t(img.height) * 4) std::abort();
        if (img.format == ImageFormat::NONE) std::abort();
        // Touch every byte so reads of uninitialised or freed memory surface here.
        unsigned sum = 0;
        for (uint8_t b : img.rgba) sum += b;
        if (img.format == ImageFormat::BMP && !img.rgba.empty() && img.rgba[3] != 255) std::abort();
        (void)sum;
    } else if (img.width != 0 || img.height != 0 || !img.rgba.empty() || img.format != ImageFormat::NONE) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodedImage img;
    // The chosen reader by content, then each reader on its own so none hides behind another.
    Check(DecodeImage(data, size, img, "fuzz"), img);
    Check(DecodeBmp(data, size, img), img);
    Check(DecodePng(data, size, img), img);
    Check(DecodeJpeg(data, size, img), img);
    return 0;
}
