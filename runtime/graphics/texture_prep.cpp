// Preparing decoded pictures for upload: colour key, colour bleeding around keyed-out
// texels, and the power-of-two buffer with the image stored upside down.
#include <cstring>

#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/sprites.h"

int PaddedTextureSide(int side) {
    int padded = 8;
    while (padded < side && padded < (1 << 30)) padded *= 2;
    return padded < 16 ? 16 : padded;
}

void ApplyColourKey(DecodedImage& image, uint32_t key) {
    if (key == NO_COLOUR_KEY) return;
    const size_t pixels = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (image.rgba.size() < pixels * 4) return;
    uint8_t* p = image.rgba.data();
    for (size_t i = 0; i < pixels; ++i, p += 4) {
        const uint32_t colour = p[0] | (p[1] << 8) | (p[2] << 16);
        if (colour == key) std::memset(p, 0, 4);
    }
}

void BleedColours(DecodedImage& image) {
    const int w = image.width, h = image.height;
    if (w <= 0 || h <= 0 || image.rgba.size() < static_cast<size_t>(w) * h * 4) return;
    uint8_t* px = image.rgba.data();
    // Bled texels keep alpha 0, so they never feed their neighbours: one pass in place is exact.
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = px + (static_cast<size_t>(y) * w + x) * 4;
            if (p[3] != 0) continue;
            unsigned sum[3] = {0, 0, 0};
            unsigned count = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                const int ny = y + dy;
                if (ny < 0 || ny >= h) continue;
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx;
                    if ((dx == 0 && dy == 0) || nx < 0 || nx >= w) continue;
                    const uint8_t* q = px + (static_cast<size_t>(ny) * w + nx) * 4;
                    if (q[3] == 0) continue;
                    sum[0] += q[0];
                    sum[1] += q[1];
                    sum[2] += q[2];
                    ++count;
                }
            }
            for (int c = 0; c < 3; ++c) p[c] = count ? static_cast<uint8_t>(sum[c] / count) : 0;
            p[3] = 0;
        }
    }
}

std::vector<uint8_t> BuildPaddedTexture(const DecodedImage& image, int paddedWidth, int paddedHeight) {
    std::vector<uint8_t> out(static_cast<size_t>(paddedWidth) * paddedHeight * 4, 0);
    const int w = image.width < paddedWidth ? image.width : paddedWidth;
    const int h = image.height < paddedHeight ? image.height : paddedHeight;
    if (w <= 0 || h <= 0 || image.rgba.size() < static_cast<size_t>(image.width) * image.height * 4) return out;
    for (int r = 0; r < h; ++r) {
        const uint8_t* src = image.rgba.data() + static_cast<size_t>(r) * image.width * 4;
        uint8_t* dst = out.data() + static_cast<size_t>(h - 1 - r) * paddedWidth * 4;
        std::memcpy(dst, src, static_cast<size_t>(w) * 4);
    }
    return out;
}
