// Text rows from the atlas fonts: one frame per character, frame = code - 48, so only codes
// 48 to 95 have pictures; other codes (space, dot, minus, lower case) leave a gap.
#include "game/draw/draw.h"

namespace {

const int SMALL_FONT = 86;
const int BIG_FONT = 42;
const float SMALL_ADVANCE = 13;
const float BIG_ADVANCE = 32;

void DrawRow(const KString& text, float align, float x, float y, int font, float advance, bool truncateCentre) {
    int n = text.Length();
    float width = n * advance;
    float start;
    if (align == 1) {
        start = x - width;
    } else if (align == -1) {
        start = x;
    } else if (align == 0) {
        start = truncateCentre ? x - static_cast<float>(static_cast<int>(width / 2)) : x - width / 2;
    } else {
        start = 0;
    }
    for (int i = 0; i < n; ++i) {
        int frame = static_cast<unsigned char>(text.c_str()[i]) - 48;
        // A character without a picture must not reach past the font's 48 frames.
        if (frame >= 0 && frame < ATLAS_FRAMES) DrawAtlasFrame(font, frame, start + i * advance, y + 1);
    }
}

}  // namespace

void DrawText(const KString& text, float align, float x, float y) {
    DrawRow(text, align, x, y, SMALL_FONT, SMALL_ADVANCE, true);
}

void DrawBigText(const KString& text, float align, float x, float y) {
    DrawRow(text, align, x, y, BIG_FONT, BIG_ADVANCE, false);
}
