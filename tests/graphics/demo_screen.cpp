// Demo screen: a grid of atlas-like rectangles cut from a generated texture, drawn through
// the runtime's display, sprite, batch and font code. A test program, not part of the game.
// Usage: demo_screen [frames]   (0 or nothing: until the window is closed)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "runtime/core/kstring.h"
#include "runtime/graphics/font.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/platform.h"

namespace {
const int ATLAS = 1;
const int ATLAS_SIDE = 512;
const int CELL = 64;

// An atlas of 8 x 8 cells: each a framed, shaded tile with a ring in its own hue, the
// colour key between the tiles, so every cell is a rectangle the batch cuts out.
DecodedImage MakeAtlas() {
    DecodedImage img;
    img.width = img.height = ATLAS_SIDE;
    img.rgba.assign(static_cast<size_t>(ATLAS_SIDE) * ATLAS_SIDE * 4, 0);
    for (int y = 0; y < ATLAS_SIDE; ++y) {
        for (int x = 0; x < ATLAS_SIDE; ++x) {
            uint8_t* p = &img.rgba[(static_cast<size_t>(y) * ATLAS_SIDE + x) * 4];
            const int cx = x % CELL, cy = y % CELL, cell = (y / CELL) * 8 + x / CELL;
            const float hue = cell / 64.0f * 6.2831853f;
            const int r = 128 + static_cast<int>(110 * std::cos(hue));
            const int g = 128 + static_cast<int>(110 * std::cos(hue - 2.094f));
            const int b = 128 + static_cast<int>(110 * std::cos(hue + 2.094f));
            const float shade = 0.55f + 0.45f * (1.0f - cy / static_cast<float>(CELL));
            const float dx = cx - 31.5f, dy = cy - 31.5f, d = std::sqrt(dx * dx + dy * dy);
            p[3] = 255;
            if (cx < 2 || cy < 2 || cx >= CELL - 2 || cy >= CELL - 2) {
                p[0] = 255, p[1] = 0, p[2] = 128;  // colour key: cut away around each tile
            } else if (cx < 5 || cy < 5 || cx >= CELL - 5 || cy >= CELL - 5) {
                p[0] = p[1] = p[2] = 30;  // dark frame
            } else if (cx + cy < 22) {
                p[0] = p[1] = p[2] = 250;  // corner mark: shows which way up and round a tile is
            } else if (d > 14 && d < 22) {
                p[0] = p[1] = p[2] = 245;  // light ring
            } else {
                p[0] = static_cast<uint8_t>(r * shade);
                p[1] = static_cast<uint8_t>(g * shade);
                p[2] = static_cast<uint8_t>(b * shade);
            }
        }
    }
    ApplyColourKey(img, 0x8000FF);
    BleedColours(img);
    return img;
}

void AtlasRect(float x, float y, float w, float h, int cell, float colour, bool mirrored) {
    float tx0 = (cell % 8) * CELL + 2.0f, ty0 = (cell / 8) * CELL + 2.0f;
    float tx1 = tx0 + CELL - 4.0f, ty1 = ty0 + CELL - 4.0f;
    if (mirrored) std::swap(tx0, tx1);
    AddPolygonVertex(x, y, tx0, ty0, colour);
    AddPolygonVertex(x, y + h, tx0, ty1, colour);
    AddPolygonVertex(x + w, y + h, tx1, ty1, colour);
    AddPolygonVertex(x + w, y + h, tx1, ty1, colour);
    AddPolygonVertex(x + w, y, tx1, ty0, colour);
    AddPolygonVertex(x, y, tx0, ty0, colour);
}

void DrawFrame(int frame) {
    float sw = 0, sh = 0;
    GetScreenSize(sw, sh);
    BeginPolygonBatch(-1, 1);  // backdrop: a vertical two-tone panel
    const float top = 0x402010, bottom = 0x804020;
    AddPolygonVertex(0, 0, 0, 0, top);
    AddPolygonVertex(0, sh, 0, 0, bottom);
    AddPolygonVertex(sw, sh, 0, 0, bottom);
    AddPolygonVertex(sw, sh, 0, 0, bottom);
    AddPolygonVertex(sw, 0, 0, 0, top);
    AddPolygonVertex(0, 0, 0, 0, top);
    EndPolygonBatch();

    SetBlendMode(-1);
    BeginPolygonBatch(ATLAS, 1);
    const int columns = 8;
    const float gap = 8.0f, size = (sw - gap * (columns + 1)) / columns;
    const float gridTop = 80.0f, fadedTop = sh - size - gap;
    const int rows = static_cast<int>((fadedTop - gap - gridTop) / (size + gap));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int cell = (r * columns + c + frame / 30) % 64;
            // Odd cells of odd rows are mirrored; the last column is tinted by its vertex colour.
            const float colour = c == columns - 1 ? 0x80FFFF : 16777215.0f;
            AtlasRect(gap + c * (size + gap), gridTop + r * (size + gap), size, size, cell, colour,
                      r % 2 == 1 && c % 2 == 1);
        }
    }
    EndPolygonBatch();

    SetBlendMode(-0.5f);  // a faded row along the bottom
    BeginPolygonBatch(ATLAS, 1);
    for (int c = 0; c < columns; ++c) AtlasRect(gap + c * (size + gap), fadedTop, size, size, c * 9, 16777215.0f, false);
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
    graphicsDevice = new ZiruZADavuzovi();
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
    graphicsDevice = nullptr;
    Platform::CloseWindow();
    Platform::QuitSystem();
    return 0;
}
