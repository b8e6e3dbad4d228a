// The sprite table: loading image files into numbered slots, uploading decoded pictures as
// padded textures, and emptying slots.
#include "runtime/graphics/sprites.h"

#include <GLES/gl.h>

#include <cstdio>
#include <string>

#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/kstring.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/platform/platform.h"

namespace {
// Texture sides are kept in 16-bit fields; nothing larger is ever uploaded.
const int LARGEST_TEXTURE_SIDE = 16384;
// Files larger than this cannot hold an image any reader accepts.
const long LARGEST_IMAGE_FILE = 256L * 1024 * 1024;

// Texture names on the headless twin, so that loaded and empty slots stay distinguishable.
uint32_t nextHeadlessTexture = 1;

bool ValidSlot(int id) { return id >= 0 && id < SPRITE_SLOTS; }

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = ok && size > 0 && size <= LARGEST_IMAGE_FILE && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    std::fclose(f);
    return ok;
}
}  // namespace

const SpriteRecord* GetSprite(int id) {
    if (!graphicsDevice || !ValidSlot(id)) return nullptr;
    return &graphicsDevice->sprites[id];
}

bool ReadImageForSprite(const char* path, DecodedImage& out, uint32_t key, bool allowJpeg) {
    out = DecodedImage();
    if (!path || !*path) return false;
    std::vector<uint8_t> bytes;
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (IsMemoryFileName(path)) {
        // Only blocks the runtime registered are readable under such a name.
        if (!ResolveMemoryFile(path, data, size)) return false;
    } else {
        if (!ReadWholeFile(path, bytes)) return false;
        data = bytes.data();
        size = bytes.size();
    }
    bool ok;
    if (allowJpeg) {
        ok = DecodeImage(data, size, out, path);
    } else {
        ok = DecodeBmp(data, size, out, path) || DecodePng(data, size, out, path);
    }
    if (!ok) {
        out = DecodedImage();
        return false;
    }
    if (AcceptsColourKey(out)) ApplyColourKey(out, key);
    return true;
}

void GraphicsDevice::DeleteSprite(int id) {
    if (!ValidSlot(id)) return;
    delete[] spritePixelCopies[id];
    spritePixelCopies[id] = nullptr;
    SpriteRecord& s = sprites[id];
    BindSprite(-1);
    if (Platform::HasGL()) {
        glBindTexture(GL_TEXTURE_2D, 0);
        if (s.texture != 0) glDeleteTextures(1, &s.texture);
        if (s.texture2 != 0) glDeleteTextures(1, &s.texture2);
    }
    s = SpriteRecord();
}

int GraphicsDevice::UploadImageToSprite(const DecodedImage& image, int id, bool nearest) {
    if (!ValidSlot(id)) return 0;
    DeleteSprite(id);
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() < static_cast<size_t>(image.width) * image.height * 4) {
        return 0;
    }
    const int paddedWidth = PaddedTextureSide(image.width);
    const int paddedHeight = PaddedTextureSide(image.height);
    int limit = LARGEST_TEXTURE_SIDE;
    if (maxTextureSize > 0 && maxTextureSize < limit) limit = maxTextureSize;
    // A texture the driver cannot hold would fail to upload anyway; refuse it up front.
    if (paddedWidth > limit || paddedHeight > limit) return 0;

    const std::vector<uint8_t> texels = BuildPaddedTexture(image, paddedWidth, paddedHeight);
    SpriteRecord& s = sprites[id];
    bool ok = true;
    if (Platform::HasGL()) {
        for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glGenTextures(1, &s.texture);
        glBindTexture(GL_TEXTURE_2D, s.texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        const GLint filter = nearest ? GL_NEAREST : GL_LINEAR;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, paddedWidth, paddedHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     texels.data());
        ok = s.texture != 0 && glGetError() == GL_NO_ERROR;
    } else {
        s.texture = nextHeadlessTexture++;
        if (nextHeadlessTexture == 0) nextHeadlessTexture = 1;
    }
    s.paddedWidth = static_cast<int16_t>(paddedWidth);
    s.paddedHeight = static_cast<int16_t>(paddedHeight);
    s.imageWidth = static_cast<int16_t>(image.width);
    s.imageHeight = static_cast<int16_t>(image.height);
    s.uMax = static_cast<float>(image.width) / paddedWidth;
    s.vMax = static_cast<float>(image.height) / paddedHeight;
    if (!ok) {
        DeleteSprite(id);
        return 0;
    }
    return 1;
}

void DeleteSprite(int id) {
    if (graphicsDevice) graphicsDevice->DeleteSprite(id);
}

int UploadImageToSprite(const DecodedImage& image, int id, bool nearest) {
    return graphicsDevice ? graphicsDevice->UploadImageToSprite(image, id, nearest) : 0;
}

void LoadSpriteImage(const KString& path, float id) {
    ClearError();
    GraphicsDevice* device = graphicsDevice;
    const int slot = TruncToInt(id);
    if (!device || !ValidSlot(slot)) {
        SetError(ERROR_OUT_OF_MEMORY);  // a number outside a fixed table
        return;
    }
    device->DeleteSprite(slot);
    if (path.Empty()) return;

    char resolved[PATH_BUFFER] = {0};
    VirtualFileTable* table = MediaFileTable();
    bool found;
    if (IsMemoryFileName(path.c_str())) {
        std::snprintf(resolved, sizeof resolved, "%s", path.c_str());
        found = true;
    } else if (table) {
        found = MediaLookup(table, path.c_str(), resolved, 1) != 0;
    } else {
        std::snprintf(resolved, sizeof resolved, "%s", path.c_str());
        FILE* f = std::fopen(resolved, "rb");
        found = f != nullptr;
        if (f) std::fclose(f);
    }
    if (!found) {
        SetError(ERROR_NO_SUCH_FILE);
        return;
    }

    DecodedImage image;
    if (!ReadImageForSprite(resolved, image, device->ColourKey, true)) {
        device->DeleteSprite(slot);
        SetError(ERROR_NO_SUCH_FILE);
        return;
    }
    if (!image.hasAlpha) BleedColours(image);
    if (!device->UploadImageToSprite(image, slot, false)) SetError(ERROR_NO_SUCH_FILE);
}
