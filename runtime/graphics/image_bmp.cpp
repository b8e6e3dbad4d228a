// BMP reader: uncompressed 1/4/8/16/24/32-bit images with the core or the information header.
// Every header field is checked against the real data size before a single pixel is read.
#include "runtime/graphics/image_decode.h"

#include <cstring>
#include <new>

namespace {

const uint32_t FILE_HEADER_SIZE = 14;
const uint32_t CORE_HEADER_SIZE = 12;
const uint32_t INFO_HEADER_SIZE = 40;
const uint32_t BI_RGB = 0;
const uint32_t BI_BITFIELDS = 3;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

struct BmpLayout {
    int width = 0;
    int height = 0;        // always positive here
    bool topDown = false;
    int bitsPerPixel = 0;
    uint64_t paletteOffset = 0;
    uint32_t paletteEntrySize = 0;  // 3 (core header) or 4 (information header)
    uint32_t paletteCount = 0;      // entries actually present in the file
    uint64_t pixelOffset = 0;
    uint64_t rowStride = 0;
};

// Fills `lay` from the headers; false for anything inconsistent with `size`.
bool ParseHeaders(const uint8_t* data, size_t size, BmpLayout& lay) {
    if (size < FILE_HEADER_SIZE + 4 || data[0] != 'B' || data[1] != 'M') return false;
    const uint64_t fileSize = size;
    const uint64_t pixelOffset = U32(data + 10);
    const uint32_t headerSize = U32(data + 14);
    if (headerSize != CORE_HEADER_SIZE && headerSize != INFO_HEADER_SIZE) return false;
    const uint64_t headersEnd = uint64_t(FILE_HEADER_SIZE) + headerSize;
    if (headersEnd > fileSize) return false;

    int64_t width, height;
    int bpp;
    const uint8_t* h = data + FILE_HEADER_SIZE;
    if (headerSize == CORE_HEADER_SIZE) {
        // The core header's sizes are 16-bit; read signed so a top-down core image works too.
        width = int16_t(U16(h + 4));
        height = int16_t(U16(h + 6));
        bpp = U16(h + 10);
        lay.paletteEntrySize = 3;
    } else {
        width = int32_t(U32(h + 4));
        height = int32_t(U32(h + 8));
        bpp = U16(h + 14);
        const uint32_t compression = U32(h + 16);
        // Compressed data read as plain rows would give a garbage picture; refuse it.
        if (compression != BI_RGB && compression != BI_BITFIELDS) return false;
        lay.paletteEntrySize = 4;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;

    // int64 arithmetic: -INT32_MIN does not overflow here.
    lay.topDown = height < 0;
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0) return false;
    if (width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE) return false;
    if (width * height > MAX_IMAGE_PIXELS) return false;

    lay.width = int(width);
    lay.height = int(height);
    lay.bitsPerPixel = bpp;
    lay.rowStride = ((uint64_t(width) * uint64_t(bpp) + 31) / 32) * 4;
    lay.pixelOffset = pixelOffset;
    lay.paletteOffset = headersEnd;

    if (pixelOffset < headersEnd || pixelOffset > fileSize) return false;
    if (lay.rowStride * uint64_t(height) > fileSize - pixelOffset) return false;

    if (bpp <= 8) {
        // The palette is what lies between the headers and the pixels, at most 2^bpp entries.
        const uint64_t available = (pixelOffset - headersEnd) / lay.paletteEntrySize;
        const uint64_t maxEntries = uint64_t(1) << bpp;
        lay.paletteCount = uint32_t(available < maxEntries ? available : maxEntries);
        if (lay.paletteCount == 0) return false;
    }
    return true;
}

void PutPixel(uint8_t* dst, uint8_t r, uint8_t g, uint8_t b) {
    dst[0] = r;
    dst[1] = g;
    dst[2] = b;
    dst[3] = 255;
}

void DecodeRow(const uint8_t* data, const BmpLayout& lay, const uint8_t* src, uint8_t* dst) {
    const int w = lay.width;
    const uint8_t* pal = data + lay.paletteOffset;
    auto paletteColour = [&](unsigned index, uint8_t* out) {
        if (index < lay.paletteCount) {
            const uint8_t* e = pal + size_t(index) * lay.paletteEntrySize;
            PutPixel(out, e[2], e[1], e[0]);
        } else {
            PutPixel(out, 0, 0, 0);  // index past a short palette
        }
    };
    switch (lay.bitsPerPixel) {
    case 1:
        for (int x = 0; x < w; ++x) paletteColour((src[x >> 3] >> (7 - (x & 7))) & 1, dst + x * 4);
        break;
    case 4:
        for (int x = 0; x < w; ++x) paletteColour((src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15, dst + x * 4);
        break;
    case 8:
        for (int x = 0; x < w; ++x) paletteColour(src[x], dst + x * 4);
        break;
    case 16:
        for (int x = 0; x < w; ++x) {
            const unsigned v = U16(src + x * 2);
            PutPixel(dst + x * 4, uint8_t(((v >> 10) & 31) * 255 / 31), uint8_t(((v >> 5) & 31) * 255 / 31),
                     uint8_t((v & 31) * 255 / 31));
        }
        break;
    case 24:
        for (int x = 0; x < w; ++x) PutPixel(dst + x * 4, src[x * 3 + 2], src[x * 3 + 1], src[x * 3]);
        break;
    case 32:
        for (int x = 0; x < w; ++x) PutPixel(dst + x * 4, src[x * 4 + 2], src[x * 4 + 1], src[x * 4]);
        break;
    }
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, DecodedImage& out, const char* /*name*/) {
    out = DecodedImage();
    if (!data) return false;
    BmpLayout lay;
    if (!ParseHeaders(data, size, lay)) return false;
    try {
        out.rgba.resize(size_t(lay.width) * size_t(lay.height) * 4);
    } catch (const std::bad_alloc&) {
        out = DecodedImage();
        return false;
    }
    const size_t dstStride = size_t(lay.width) * 4;
    for (int y = 0; y < lay.height; ++y) {
        const uint8_t* src = data + lay.pixelOffset + lay.rowStride * uint64_t(y);
        const int row = lay.topDown ? y : lay.height - 1 - y;
        DecodeRow(data, lay, src, out.rgba.data() + size_t(row) * dstStride);
    }
    out.width = lay.width;
    out.height = lay.height;
    out.hasAlpha = false;
    out.format = ImageFormat::BMP;
    return true;
}
