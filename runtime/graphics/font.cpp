// Bitmap fonts: loading a character-grid picture, measuring each glyph's inked span for
// kerned text, falling back to the built-in font, and drawing text as one triangle strip.
#include "runtime/graphics/font.h"

#include <GLES/gl.h>

#include <cmath>
#include <cstdio>

#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/kstring.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/platform.h"

uint32_t FontColourKey = 0;

namespace {
FontRecord fonts[FONT_COUNT];
int currentFont = 0;
std::vector<FontVertex> textVertices;

const char* const STARTUP_FONT_NAMES[] = {"Media/smalfont.png", "Media/smalfont.bmp", "smalfont.png",
                                          "smalfont.bmp"};

bool Resolve(const char* name, char* resolved) {
    if (IsMemoryFileName(name)) {
        std::snprintf(resolved, PATH_BUFFER, "%s", name);
        return true;
    }
    VirtualFileTable* table = MediaFileTable();
    if (table) return MediaLookup(table, name, resolved, 1) != 0;
    std::snprintf(resolved, PATH_BUFFER, "%s", name);
    FILE* f = std::fopen(resolved, "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

void InstallBuiltInFont(int index) {
    FontRecord& font = fonts[index];
    font = FontRecord();
    const DecodedImage picture = BuiltInFontPicture();
    if (!UploadImageToSprite(picture, FIRST_FONT_SPRITE + index, true)) return;
    font.loaded = true;
    font.characters = 128;
    font.cellWidth = picture.width / 16;
    font.cellHeight = picture.height / 8;
    for (int c = 0; c < 256; ++c) {
        GlyphInfo& g = font.glyphs[c];
        const int cellX = ((c % 128) % 16) * font.cellWidth;
        g.left = 0;
        g.width = static_cast<uint8_t>(font.cellWidth);
        g.u0 = static_cast<float>(cellX) / picture.width;
        g.u1 = static_cast<float>(cellX + font.cellWidth) / picture.width;
    }
}
}  // namespace

int CurrentFont() { return currentFont; }

const FontRecord& GetFont(int index) {
    static const FontRecord none;
    return index >= 0 && index < FONT_COUNT ? fonts[index] : none;
}

const std::vector<FontVertex>& LastTextVertices() { return textVertices; }

void MeasureFont(const DecodedImage& picture, int paddedWidth, FontRecord& font) {
    font = FontRecord();
    const int w = picture.width, h = picture.height;
    font.characters = w < h ? 256 : 128;
    font.cellWidth = w / 16;
    font.cellHeight = h / (font.characters == 256 ? 16 : 8);
    // Glyph widths are bytes; such cells hold no usable grid.
    if (font.cellWidth <= 0 || font.cellHeight <= 0 || font.cellWidth > 255 || paddedWidth <= 0 ||
        picture.rgba.size() < static_cast<size_t>(w) * h * 4) {
        return;
    }
    const float pw = static_cast<float>(paddedWidth);
    for (int c = 0; c < font.characters; ++c) {
        const int cellX = (c % 16) * font.cellWidth, cellY = (c / 16) * font.cellHeight;
        int leftmost = -1, rightmost = -1;
        for (int col = 0; col < font.cellWidth; ++col) {
            for (int row = 0; row < font.cellHeight; ++row) {
                const size_t at = (static_cast<size_t>(cellY + row) * w + cellX + col) * 4 + 3;
                if (picture.rgba[at] != 0) {
                    if (leftmost < 0) leftmost = col;
                    rightmost = col;
                    break;
                }
            }
        }
        GlyphInfo& g = font.glyphs[c];
        if (leftmost < 0) {
            g.left = 0;
            g.width = static_cast<uint8_t>(font.cellWidth);
        } else {
            g.left = static_cast<uint8_t>(leftmost);
            int width = rightmost - leftmost + 1;
            if (rightmost != font.cellWidth - 1) ++width;
            g.width = static_cast<uint8_t>(width);
        }
        g.u0 = (cellX + g.left) / pw;
        g.u1 = (cellX + g.left + g.width) / pw;
        if (c == 'j') {
            // A kerned space is exactly as wide as a kerned j.
            GlyphInfo& space = font.glyphs[static_cast<unsigned char>(' ')];
            space.width = g.width;
            space.u0 = 0.0f;
            space.u1 = g.width / pw;
        }
    }
    if (font.characters == 128) {
        for (int c = 128; c < 256; ++c) font.glyphs[c] = font.glyphs[c - 128];
    }
    font.loaded = true;
}

void LoadFont(const KString& path, int index) {
    ClearError();
    int target = index;
    const bool outOfRange = index < 0 || index >= FONT_COUNT;
    if (outOfRange) {
        SetError(ERROR_OUT_OF_MEMORY);
        target = currentFont;
    }
    char resolved[PATH_BUFFER] = {0};
    DecodedImage picture;
    FontRecord measured;
    bool ok = !path.Empty() && Resolve(path.c_str(), resolved) &&
              ReadImageForSprite(resolved, picture, FontColourKey, false);
    if (ok) {
        MeasureFont(picture, PaddedTextureSide(picture.width), measured);
        ok = measured.loaded && UploadImageToSprite(picture, FIRST_FONT_SPRITE + target, true);
    }
    if (!ok) {
        SetError(ERROR_NO_SUCH_FILE);
        // The built-in font never lands outside the font table.
        if (outOfRange) return;
        InstallBuiltInFont(target);
        currentFont = target;
        return;
    }
    fonts[target] = measured;
    currentFont = target;
}

void LoadStartupFont() {
    char resolved[PATH_BUFFER];
    for (const char* name : STARTUP_FONT_NAMES) {
        if (Resolve(name, resolved)) {
            LoadFont(KString(name), 0);
            return;
        }
    }
    // No font picture shipped: runtime messages still need legible letters.
    InstallBuiltInFont(0);
    currentFont = 0;
}

void DrawFontText(const KString& text, float x, float y, float kerning) {
    textVertices.clear();
    if (text.Empty()) return;
    const FontRecord& font = fonts[currentFont];
    const SpriteRecord* sprite = GetSprite(FIRST_FONT_SPRITE + currentFont);
    GraphicsDevice* device = graphicsDevice;
    if (!device || !sprite) return;
    device->BindSprite(FIRST_FONT_SPRITE + currentFont);
    // Nothing was ever loaded into this font: there is nothing to print with.
    if (!font.loaded || sprite->texture == 0) return;

    float px = std::ceil(x);
    const float py = std::ceil(y);
    const bool wide = font.characters == 256;
    const float su = sprite->uMax / 16.0f;
    const float sv = sprite->vMax / (wide ? 16.0f : 8.0f);
    const int rows = wide ? 15 : 7;
    const float ch = static_cast<float>(font.cellHeight);
    const bool kerned = kerning != 0.0f;
    for (int i = 0; i < text.Length(); ++i) {
        const int c = static_cast<unsigned char>(text[i]) % font.characters;
        if (c == 0) break;
        const GlyphInfo& g = font.glyphs[c];
        const float advance = kerned ? g.width : static_cast<float>(font.cellWidth);
        const float u0 = kerned ? g.u0 : (c % 16) * su;
        const float u1 = kerned ? g.u1 : u0 + su;
        const float v = (rows - c / 16) * sv;
        textVertices.push_back({px, py + ch, 0.0f, u0, v});
        textVertices.push_back({px, py, 0.0f, u0, v + sv});
        textVertices.push_back({px + advance, py + ch, 0.0f, u1, v});
        textVertices.push_back({px + advance, py, 0.0f, u1, v + sv});
        px += advance;
    }
    if (textVertices.empty() || !Platform::HasGL()) return;
    const char* base = reinterpret_cast<const char*>(textVertices.data());
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(FontVertex), base);
    glTexCoordPointer(2, GL_FLOAT, sizeof(FontVertex), base + 12);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, static_cast<GLsizei>(textVertices.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
