// The layer order of the game screens, and the board's own layers: the creatures by state and
// kind, the selection marker and the PAUSED word of the in-game overlay. Reads gameplay state only.
#include "game/draw/game_screen_layers.h"

#include "game/draw/draw.h"
#include "game/state/globals.h"
#include "runtime/graphics/graphics_device.h"

namespace {

const float BOARD_LEFT = 10;  // the board's top-left corner in design units
const float BOARD_TOP = 10;
const int EGG = 9;
const int USED_POWER = 16;
const int CLEAR_BURST = 46;
const int REMOVAL_BURST = 44;
const int SELECTION_MARKER = 17;
const int BIG_FONT = 42;
const float PUZZLE = 2;

// Cells entering from above fade in over the last 49 units.
float EntryBlend(float y) {
    if (y < -49) return -0.001f;
    if (y < 0) return y * -0.02f - 1;
    return -1;
}

// A burst frame from the cell's timer; a timer outside the animation (as a damaged saved game
// could hold) shows no burst rather than ending the program on the table's bounds.
void DrawBurst(int item, float timer, float x, float y) {
    if (timer >= 0 && timer < ATLAS_FRAMES) DrawAtlasFrame(item, timer, x, y);
}

void DrawCreature(const Creature& c) {
    int kind = static_cast<int>(c.kind);
    int state = static_cast<int>(c.state);
    float x = c.x + BOARD_LEFT, y = c.y + BOARD_TOP;
    // An empty cell, or a kind without a picture (only a damaged saved game holds one).
    if (kind < 1 || kind >= ATLAS_ITEMS) return;
    // Ordinary creatures pose by their own idle animation; power-ups share the common frame.
    float frame = kind <= 8 ? c.idlePose : kind >= 10 && kind <= 15 ? animFrame : 0;
    if (!(frame >= 0 && frame < ATLAS_FRAMES)) frame = 0;
    bool animated = kind <= 15 && kind != EGG;
    switch (state) {
    case 0: case 1: case 2: case 9:
        if (animated) {
            DrawAtlasFrame(kind, frame, x, y);
        } else {
            DrawAtlasItem(kind, x, y);
        }
        return;
    case 3:  // bouncing after a fall
        DrawAtlasFrameZoomed(kind, frame, x, y, c.timer);
        return;
    case 4: case 5: case 6:  // switching, swapping, hatching
        DrawAtlasFrameZoomed(kind, frame, x, y, c.effect);
        return;
    case 7:
        DrawBurst(CLEAR_BURST, c.timer, x, y);
        return;
    case 8:
        DrawBurst(kind == USED_POWER ? CLEAR_BURST : REMOVAL_BURST, c.timer, x, y);
        return;
    default:
        // A used power-up keeps bursting after its cell has gone; every other creature is gone.
        if (state >= 10 && kind == USED_POWER) DrawBurst(CLEAR_BURST, c.timer, x, y);
        return;
    }
}

}  // namespace

void DrawCreatureLayer() {
    for (int i = 0; i <= static_cast<int>(lastCell); ++i) {
        const Creature& c = creatures(i);
        SetBlendMode(EntryBlend(c.y));
        DrawCreature(c);
    }
}

void DrawSelectionMarker() {
    SetBlendMode(-1);
    if (selectedCell != 0 && busyCount == 0) DrawAtlasFrame(SELECTION_MARKER, selectionFrame, selectedX, selectedY);
}

void DrawPausedOverlay() {
    static const int LETTERS[6] = {32, 17, 37, 35, 21, 20};  // P A U S E D
    SetBlendMode(overlayAlpha);
    for (int i = 0; i < 6; ++i) {
        float bob = 2 * titleWave(static_cast<int>(titleWavePhase + 10 * i));
        DrawAtlasFrame(BIG_FONT, LETTERS[i], 64 + 32 * i, 154 + bob);
    }
}

void DrawGameScreen() {
    DrawCreatureLayer();
    DrawBonusSparkles();
    DrawSelectionMarker();
    DrawClockBar();
    if (runState > 0) DrawInfoPanel();
    DrawEffectLayer();
    DrawCentreBanners();
    if (gameMode == PUZZLE) DrawClockGainIndicator();
}

void DrawTutorialScreen() {
    DrawCreatureLayer();
    DrawBonusSparkles();
    DrawSelectionMarker();
    DrawClockBar();
    DrawEffectLayer();
    DrawTutorialOverlay();
}

void DrawOverlayScreen() {
    DrawBonusSparkles();
    DrawPausedOverlay();
    DrawClockBar();
    if (runState > 0) DrawInfoPanel();
}

void DrawPauseMenuScreen() {
    DrawBonusSparkles();
    DrawPauseMenu();
    DrawClockBar();
    if (runState > 0) DrawInfoPanel();
}
