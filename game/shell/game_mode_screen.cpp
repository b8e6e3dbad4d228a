// The game mode screen: four mode tiles (ZEN locked until ten challenges are complete) and the
// way back; a chosen mode fades the screen out and the game starts. The rating prompt, when due,
// sits over it.
#include "game/draw/draw.h"
#include "game/draw/menu_parts.h"
#include "game/play/game_audio.h"
#include "game/shell/menu_fade.h"
#include "game/shell/menus.h"
#include "game/shell/rating_prompt.h"
#include "game/state/globals.h"
#include "runtime/graphics/graphics_device.h"

namespace {

struct ModeTile {
    float top, bottom;       // tap band
    float mode;
    int tile, name;
    float tileY, nameX, nameY;
};
const ModeTile TILES[4] = {
    {57, 148, 3, 102, 106, 58, 99, 102},    // TIME TRIAL
    {153, 244, 1, 103, 107, 154, 88, 198},  // ARCADE
    {249, 340, 2, 104, 108, 250, 94, 294},  // PUZZLE
    {345, 436, 4, 105, 109, 346, 104, 390}, // ZEN
};
const int ZEN = 3;
const int LOCKED_TAG = 26;
const float UNLOCK_CHALLENGES = 10;
const float ENTRY_COOLDOWN = 15;
const float TAP_COOLDOWN = 60;
const float SOUND_START = 6;
const float SOUND_ERROR = 3;
const float PROMPT_SHOWN = -0.9f;   // the prompt and the way back appear once the screen is this opaque

bool ZenUnlocked() { return challengesCompleted >= UNLOCK_CHALLENGES; }

// A tap on a tile or on the way back; returns true when it was one of them.
bool ModeTap() {
    for (int i = 0; i < 4; ++i) {
        const ModeTile& t = TILES[i];
        if (touchY < t.top || touchY > t.bottom) continue;
        if (i == ZEN && !ZenUnlocked()) {
            PlayShellSound(SOUND_ERROR);
        } else {
            gameMode = t.mode;
            StartLeavingMenu();
            PlayShellSound(SOUND_START);
        }
        return true;
    }
    if (InBackBar()) {
        gameMode = 0;
        StartLeavingMenu();
        return true;
    }
    return false;
}

}  // namespace

void GameModeTick() {
    if (EnterMenuScreen()) inputCooldown = ENTRY_COOLDOWN;
    if (FadeMenu() == FadeArrival::GONE) {
        if (gameMode == 0) {
            screen = 0;
            phase = 14;
        } else {
            screen = 7;
            phase = 8;
        }
    }
    bool handled = false;
    if (menuStage < 3 && touchDown == 1 && inputCooldown == 0) {
        if (RatingPromptDue() != RatingPrompt::NONE) {
            // Only a prompt the player can see answers; until then the tap goes nowhere.
            if (menuAlpha < PROMPT_SHOWN) {
                RatingPromptTap();
                handled = true;
            }
        } else if (ModeTap()) {
            inputCooldown = TAP_COOLDOWN;
            userActed = 1;
            handled = true;
        }
    }
    if (!handled && inputCooldown > 0) inputCooldown -= 1;
    StepTitleWave();
}

void DrawGameModeScreen() {
    if (!MenuVisible()) return;
    SetBlendMode(menuAlpha);
    DrawBouncingTitle("GAME MODE", 16);
    for (int i = 0; i < 4; ++i) {
        const ModeTile& t = TILES[i];
        DrawAtlasItem(t.tile, 3, t.tileY);
        if (i == ZEN && !ZenUnlocked()) {
            DrawAtlasItem(LOCKED_TAG, 97, 388);
        } else {
            DrawAtlasItem(t.name, t.nameX, t.nameY);
        }
    }
    if (menuAlpha >= PROMPT_SHOWN) return;
    RatingPrompt prompt = RatingPromptDue();
    if (prompt != RatingPrompt::NONE) {
        DrawRatingPrompt(prompt);
    } else {
        DrawBackToMainMenu();
    }
}
