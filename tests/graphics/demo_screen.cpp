// Demo screen: a grid of atlas-like rectangles cut from a generated texture, drawn through
// the runtime's display, sprite, batch and font code. A test program, not part of the game.
// Usage: demo_screen [frames]   (0 or nothing: until the window is closed)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "runtime/core/kstring.h"
#include "runtime/graphics/font.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/platform.h"

namespace {
const int ATLAS = 1, SIDE = 512, CELL = 64;

// 8 x 8 cells: each a framed, shaded tile with a ring in its own hue and a light corner mark
// (which way up and round it is), the colour key between the tiles.
DecodedImage MakeAtlas() {
    DecodedImage img;
    img.width = img.height = SIDE;
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            const int cx = x % CELL, cy = y % CELL, edge = std::min(std::min(cx, cy), std::min(CELL - 1 - cx, CELL - 1 - cy));
            const float hue = ((y / CELL) * 8 + x / CELL) / 64.0f * 6.2831853f;
            const float shade = 0.55f + 0.45f * (1.0f - cy / static_cast<float>(CELL));
            const float d = std::hypot(cx - 31.5f, cy - 31.5f);
            uint8_t p[4] = {0, 0, 0, 255};
            if (edge < 2) {
                p[0] = 255, p[2] = 128;  // the colour key
            } else if (edge < 5 || cx + cy < 22 || (d > 14 && d < 22)) {
                p[0] = p[1] = p[2] = edge < 5 ? 30 : 248;  // dark frame, light mark and ring
            } else {
                for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((128 + 110 * std::cos(hue - k * 2.094f)) * shade);
            }
            img.rgba.insert(img.rgba.end(), p, p + 4);
        }
    }
    ApplyColourKey(img, 0x8000FF);
    BleedColours(img);
    return img;
}

void AtlasRect(float x, float y, float size, int cell, float colour, bool mirrored) {
    float tx0 = (cell % 8) * CELL + 2.0f, ty0 = (cell / 8) * CELL + 2.0f, tx1 = tx0 + CELL - 4, ty1 = ty0 + CELL - 4;
    if (mirrored) std::swap(tx0, tx1);
    const float v[6][4] = {{x, y, tx0, ty0}, {x, y + size, tx0, ty1}, {x + size, y + size, tx1, ty1},
                           {x + size, y + size, tx1, ty1}, {x + size, y, tx1, ty0}, {x, y, tx0, ty0}};
    for (const auto& p : v) AddPolygonVertex(p[0], p[1], p[2], p[3], colour);
}

void DrawFrame(int frame) {
    float sw = 0, sh = 0;
    GetScreenSize(sw, sh);
    BeginPolygonBatch(-1, 1);  // backdrop: a vertical two-tone panel
    const float v[6][3] = {{0, 0, 0x402010}, {0, sh, 0x804020}, {sw, sh, 0x804020},
                           {sw, sh, 0x804020}, {sw, 0, 0x402010}, {0, 0, 0x402010}};
    for (const auto& p : v) AddPolygonVertex(p[0], p[1], 0, 0, p[2]);
    EndPolygonBatch();

    const float gap = 8.0f, size = (sw - gap * 9) / 8, fadedTop = sh - size - gap;
    const int rows = static_cast<int>((fadedTop - gap - 80.0f) / (size + gap));
    SetBlendMode(-1);
    BeginPolygonBatch(ATLAS, 1);
    for (int r = 0; r < rows; ++r) {
        // Odd cells of odd rows are mirrored; the last column is tinted by its vertex colour.
        for (int c = 0; c < 8; ++c) {
            AtlasRect(gap + c * (size + gap), 80.0f + r * (size + gap), size, (r * 8 + c + frame / 30) % 64,
                      c == 7 ? 0x80FFFF : 16777215.0f, r % 2 == 1 && c % 2 == 1);
        }
    }
    EndPolygonBatch();
    SetBlendMode(-0.5f);  // a faded row along the bottom
    BeginPolygonBatch(ATLAS, 1);
    for (int c = 0; c < 8; ++c) AtlasRect(gap + c * (size + gap), fadedTop, size, c * 9, 16777215.0f, false);
    EndPolygonBatch();
    SetBlendMode(-1);
    DrawFontText(KString("SQUIBLY RUNTIME DEMO - atlas grid"), 16, 24, 1);
    DrawFontText(KString("0123456789 !?.,:;()[]+-*/=<>"), 16, 40, 0);
    DrawFontText(KString("The quick brown fox jumps over the lazy dog"), 16, 56, 1);
}
}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 0;
    if (!Platform::InitSystem(0x21)) {
        std::printf("SDL_Init: %s\n", Platform::LastError());
        return 1;
    }
    graphicsDevice = new GraphicsDevice();
    graphicsDevice->SetScreen(0, 768, 1024, 0, 60, 0);
    Platform::SetCaption("Squibly demo");
    LoadFont(KString("/nonexistent/smalfont.png"), 0);  // the built-in font
    UploadImageToSprite(MakeAtlas(), ATLAS, false);
    std::printf("orientation %d, device %dx%d\n", graphicsDevice->Orientation, graphicsDevice->deviceWidth,
                graphicsDevice->deviceHeight);
    for (int frame = 0; frames <= 0 || frame < frames; ++frame) {
        DrawFrame(frame);
        if (!graphicsDevice->PresentFrame()) break;
        graphicsDevice->Reset2DState();
        if (frame == 2) {
            std::puts("demo ready");
            std::fflush(stdout);
        }
    }
    delete graphicsDevice;
    Platform::CloseWindow();
    Platform::QuitSystem();
    return 0;
}
