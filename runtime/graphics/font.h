// Bitmap fonts: a picture of a 16-column character grid, per-glyph measurement for kerned
// text, and a built-in 5 x 7 font for when no font picture is present.
#pragma once

#include <cstdint>
#include <vector>

class KString;
struct DecodedImage;

const int FONT_COUNT = 32;

struct GlyphInfo {
    uint8_t left = 0;   // first inked column within the cell
    uint8_t width = 0;  // inked width plus spacing
    float u0 = 0.0f, u1 = 0.0f;
};

struct FontRecord {
    bool loaded = false;
    int characters = 0;      // 256 or 128
    int cellWidth = 0, cellHeight = 0;
    GlyphInfo glyphs[256];
};

// Transparent colour of font pictures (black), separate from the sprite colour key.
extern uint32_t FontColourKey;

// Loads a font picture into font `index` and makes it current; a missing or unreadable file
// puts the built-in font there instead (error code 3).
void LoadFont(const KString& path, int index);
// The start-up font: the first of the usual "smalfont" names that exists, else the built-in one.
void LoadStartupFont();
void DrawFontText(const KString& text, float x, float y, float kerning);

int CurrentFont();
const FontRecord& GetFont(int index);
// Glyph measurement of a picture (exposed for tests); fills `font` from the picture's alpha.
void MeasureFont(const DecodedImage& picture, int paddedWidth, FontRecord& font);
// The built-in font picture: 128 x 64, 16 x 8 cells of 8 x 8, white glyphs on transparent.
DecodedImage BuiltInFontPicture();

struct FontVertex {
    float x, y, z, u, v;
};
// Vertices of the last text drawn (one strip), kept for tests and tools.
const std::vector<FontVertex>& LastTextVertices();
