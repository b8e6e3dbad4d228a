// The sprite table: numbered texture slots, loading image files into them, colour key,
// colour bleeding and power-of-two padding with rows stored upside down.
#pragma once

#include <cstdint>
#include <vector>

class KString;
struct DecodedImage;

const int SPRITE_SLOTS = 65537;         // ids 0 to 65536
const int FIRST_FONT_SPRITE = 65504;    // font N lives in slot 65504 + N
const int SCREEN_COPY_SPRITE = 65503;   // keeps the screen while drawing offscreen without FBOs
const uint32_t NO_COLOUR_KEY = 0xFFFFFFFF;

struct SpriteRecord {
    uint32_t texture = 0;
    uint32_t texture2 = 0;
    float uMax = 1.0f;
    float vMax = 1.0f;
    int16_t paddedWidth = -1;
    int16_t paddedHeight = -1;
    int16_t imageWidth = 0;
    int16_t imageHeight = 0;
};

// Game-callable: loads an image file (BMP, PNG or JPEG by content) into slot `id`.
// Failure leaves the slot empty with error code 3.
void LoadSpriteImage(const KString& path, float id);
// Empties a slot and unbinds any texture.
void DeleteSprite(int id);
// Pads and uploads a decoded image into a slot; 1 on success, 0 on failure.
int UploadImageToSprite(const DecodedImage& image, int id, bool nearest);
// The record of a slot, or null for an id outside the table.
const SpriteRecord* GetSprite(int id);

// Helpers shared with the font and offscreen code (and checked by tests).
int PaddedTextureSide(int side);  // 8 doubled until >= side, so at least 16
// Pixels equal to `key` (R + G*256 + B*65536) become 0,0,0,0; NO_COLOUR_KEY does nothing.
void ApplyColourKey(DecodedImage& image, uint32_t key);
// Transparent texels take the mean colour of their opaque neighbours; alpha stays 0.
void BleedColours(DecodedImage& image);
// The padded texture bytes: image row r lands in texture row height - 1 - r.
std::vector<uint8_t> BuildPaddedTexture(const DecodedImage& image, int paddedWidth, int paddedHeight);
// Reads an image file as the sprite loader does (resolved path or "mem://" name).
bool ReadImageForSprite(const char* path, DecodedImage& out, uint32_t key, bool allowJpeg);
