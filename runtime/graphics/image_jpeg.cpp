// JPEG reader through libjpeg (IJG 6b interface), from memory: 1, 3 or 4 components into RGBA.
// libjpeg's fatal errors longjmp back here instead of ending the process.
#include "runtime/graphics/image_decode.h"

#include <cstddef>
#include <cstdio>
#include <csetjmp>
#include <cstring>
#include <new>

#include <jpeglib.h>

namespace {

// Progressive files may hold any number of scans; each costs a pass over the image.
const int MAX_SCANS = 500;
// Ceiling for libjpeg's own working memory (coefficient buffers of progressive files).
const long MAX_DECODER_MEMORY = 512L * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) {
    ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    longjmp(err->jump, 1);
}

void OutputMessage(j_common_ptr) {}  // warnings about a bad file are not worth a message

struct MemorySource {
    jpeg_source_mgr pub;
    const uint8_t* data;
    size_t size;
    bool ranOut;  // the decoder asked for bytes past the end: the file is truncated
    JOCTET eoi[2];
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    MemorySource* src = reinterpret_cast<MemorySource*>(cinfo->src);
    src->ranOut = true;
    // Feed an end-of-image marker so libjpeg winds down; the caller rejects the image.
    src->eoi[0] = 0xFF;
    src->eoi[1] = JPEG_EOI;
    src->pub.next_input_byte = src->eoi;
    src->pub.bytes_in_buffer = 2;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    MemorySource* src = reinterpret_cast<MemorySource*>(cinfo->src);
    if (count <= 0) return;
    while (size_t(count) > src->pub.bytes_in_buffer) {
        count -= long(src->pub.bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= size_t(count);
}

void ScanLimit(j_common_ptr cinfo) {
    j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->is_decompressor && d->input_scan_number > MAX_SCANS) ErrorExit(cinfo);
}

// The part that calls libjpeg: nothing here has a destructor, so a longjmp skips no
// clean-up. Allocation may throw bad_alloc, which the caller catches.
// Returns 1 on success, 0 on any error or rejected image.
int ReadJpeg(jpeg_decompress_struct* cinfo, ErrorManager* err, MemorySource* src,
             jpeg_progress_mgr* progress, DecodedImage& out, const char* name) {
    if (setjmp(err->jump)) return 0;

    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = MAX_DECODER_MEMORY;
    cinfo->src = &src->pub;
    cinfo->progress = progress;
    jpeg_read_header(cinfo, TRUE);

    const int channels = cinfo->num_components;
    if (channels != 1 && channels != 3 && channels != 4) {
        std::printf("JPEG: Channels: %d not supported!\n", channels);
        std::fflush(stdout);
        (void)name;
        return 0;
    }
    if (cinfo->image_width == 0 || cinfo->image_height == 0 ||
        cinfo->image_width > JDIMENSION(MAX_IMAGE_SIDE) || cinfo->image_height > JDIMENSION(MAX_IMAGE_SIDE) ||
        int64_t(cinfo->image_width) * int64_t(cinfo->image_height) > MAX_IMAGE_PIXELS)
        return 0;
    if (channels == 1) cinfo->out_color_space = JCS_GRAYSCALE;
    if (channels == 3 && (cinfo->jpeg_color_space == JCS_YCbCr || cinfo->jpeg_color_space == JCS_RGB))
        cinfo->out_color_space = JCS_RGB;

    jpeg_start_decompress(cinfo);
    const int outChannels = cinfo->output_components;
    const JDIMENSION width = cinfo->output_width, height = cinfo->output_height;
    if (outChannels != channels || width == 0 || height == 0 || width > JDIMENSION(MAX_IMAGE_SIDE) ||
        height > JDIMENSION(MAX_IMAGE_SIDE))
        return 0;

    // Each scanline is decoded at the start of its RGBA row and widened in place.
    const size_t stride = size_t(width) * 4;
    out.rgba.resize(stride * height);
    while (cinfo->output_scanline < height) {
        JSAMPROW row = out.rgba.data() + stride * cinfo->output_scanline;
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return 0;
        WidenRowToRgba(row, width, int(outChannels));
    }
    if (src->ranOut) return 0;
    out.width = int(width);
    out.height = int(height);
    out.hasAlpha = outChannels == 4;
    out.format = ImageFormat::JPEG;
    return 1;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, DecodedImage& out, const char* name) {
    out = DecodedImage();
    // Every JPEG stream opens with the start-of-image marker.
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;

    // Zeroed so that destroying after a failed create finds no memory manager.
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = OutputMessage;

    MemorySource src;
    src.pub.init_source = InitSource;
    src.pub.fill_input_buffer = FillInputBuffer;
    src.pub.skip_input_data = SkipInputData;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = TermSource;
    src.pub.next_input_byte = data;
    src.pub.bytes_in_buffer = size;
    src.data = data;
    src.size = size;
    src.ranOut = false;

    jpeg_progress_mgr progress;
    progress.progress_monitor = ScanLimit;

    int ok = 0;
    try {
        ok = ReadJpeg(&cinfo, &err, &src, &progress, out, name);
    } catch (const std::bad_alloc&) {
        ok = 0;
    }
    jpeg_destroy_decompress(&cinfo);
    if (!ok) out = DecodedImage();
    return ok != 0;
}
