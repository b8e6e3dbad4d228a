// The tutorial overlay of screen 3: the instruction panel of the current step (from the tutorial
// atlas) with stars that count what it asks for, the NEXT and EXIT answer buttons, and a pulsing
// ring round the egg or power-up the panel talks about. Reads gameplay state only.
#include "game/draw/draw.h"
#include "game/draw/game_screen_layers.h"
#include "game/state/globals.h"
#include "runtime/graphics/graphics_device.h"

namespace {

// The nine panels, one for every three steps of the script.
const int PANELS[9] = {37, 38, 39, 40, 41, 43, 48, 49, 60};
const int NEXT_BUTTON = 61;
const int EXIT_BUTTON = 118;
const int MARKER = 17;
const int STAR = 63;
const float PANEL_X = 10;
const float BUTTON_Y = 446;
const float NEXT_X = 24;
const float EXIT_X = 218;
const float EXIT_DROP = 60;
const int LAST_STEP = 26;

bool Waiting(int step) { return (step - 1) % 3 == 1 && tutorialPanel == 0; }

// The kind the waiting panel asks the player to act on: the egg, then each power-up in turn.
float KindToShow(int step) {
    switch (step) {
        case 11: return 9;
        case 14: return 10;
        case 17: return 12;
        case 20: return 14;
        default: return 0;
    }
}

void DrawHint(int step) {
    float kind = KindToShow(step);
    if (kind == 0 || !Waiting(step) || busyCount != 0 || selectedCell != 0) return;
    float scale = 1.08f + 0.06f * FastSin(playTicks * 6);
    SetBlendMode(-1);
    for (int cell = 0; cell <= 35; ++cell) {
        const Creature& c = creatures(cell);
        if (c.kind == kind && c.state == 1) DrawAtlasFrameZoomed(MARKER, 1, c.x + 10, c.y + 10, scale);
    }
}

// How far the player has come with a panel that asks for three of something.
float Progress(int step) {
    float done = step == 2 ? movesMade : step == 5 ? comboCount : step == 8 ? flipsMade : -1;
    return done > 3 ? 3 : done;
}

// Three small stars in the panel's top-right corner, lit one by one.
void DrawProgress(int step, float alpha, float panelY) {
    float done = Progress(step);
    if (done < 0 || !Waiting(step)) return;
    for (int i = 0; i < 3; ++i) {
        SetBlendMode(i < done ? alpha : alpha * 0.3f);
        DrawAtlasFrameZoomed(STAR, 0, PANEL_X + 235 + 17 * i, panelY - 2, 0.55f);
    }
}

bool PressedOn(float left) {
    return tutorialTouch > 0 && touchY > BUTTON_Y && touchY < BUTTON_Y + 30 && touchX > left && touchX < left + 75;
}

}  // namespace

void DrawTutorialOverlay() {
    int step = static_cast<int>(tutorialStep);
    if (step < 1 || step > LAST_STEP || tutorialStep != static_cast<float>(step)) return;
    float drop = tutorialDrop > 0 ? tutorialDrop : 0;
    float shown = 1 - drop / EXIT_DROP;
    if (shown < 0.01f) shown = 0.01f;
    if (drop == 0) DrawHint(step);

    SetBlendMode(tutorialAlpha * shown);
    DrawAtlasItem(PANELS[(step - 1) / 3], PANEL_X, tutorialY + drop);
    DrawProgress(step, tutorialAlpha * shown, tutorialY + drop);

    // The buttons come in with the first panel; NEXT is dim while a panel fades and gone at the end.
    float buttons = (step == 1 ? tutorialAlpha : -1) * shown;
    float y = BUTTON_Y + drop;
    if (step < LAST_STEP) {
        bool live = Waiting(step) && drop == 0;
        SetBlendMode(live ? buttons : buttons * 0.35f);
        DrawAtlasFrameZoomed(NEXT_BUTTON, 0, NEXT_X, y, live && PressedOn(NEXT_X) ? 0.92f : 1);
    }
    SetBlendMode(buttons);
    DrawAtlasFrameZoomed(EXIT_BUTTON, 0, EXIT_X, y, drop == 0 && PressedOn(EXIT_X) ? 0.92f : 1);
}
