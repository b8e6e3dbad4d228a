// The results screen (YOUR SCORE) after a scored game: the mode, the score counting up, level,
// creatures and combos, and the place in the mode's table when the game made one. A tap after
// the short cooldown returns to the main menu.
#include "game/draw/draw.h"
#include "game/draw/menu_parts.h"
#include "game/shell/menu_fade.h"
#include "game/shell/menus.h"
#include "game/state/globals.h"
#include "runtime/graphics/graphics_device.h"

namespace {
const int MODE_ICON = 25;   // frames by game mode 1..4
const float COUNT_UP_TICKS = 60;
const char* const MODE_NAMES[5] = {"", "ARCADE MODE", "PUZZLE MODE", "TIME TRIAL MODE", "ZEN MODE"};

float Whole(float v) { return static_cast<float>(static_cast<long long>(v)); }

float ShownScore() {
    if (resultsTicks >= COUNT_UP_TICKS) return score;
    return Whole(score * resultsTicks / COUNT_UP_TICKS);
}
}  // namespace

void ResultsTick() {
    StepTitleWave();
    if (EnterMenuScreen()) {
        resultsTicks = 0;
    } else if (FadeMenu() == FadeArrival::GONE) {
        screen = 0;
        skipIntroMusic = 0;
        phase = 14;
    }
    if (menuStage < 3 && touchDown == 1) {
        if (inputCooldown == 0) {
            StartLeavingMenu();
            userActed = 1;
        } else {
            inputCooldown -= 1;
        }
    } else if (inputCooldown > 0) {
        inputCooldown -= 1;
    }
    if (resultsTicks < COUNT_UP_TICKS) resultsTicks += 1;
}

void DrawResultsScreen() {
    if (!MenuVisible()) return;
    SetBlendMode(menuAlpha);
    DrawBouncingTitle("YOUR SCORE", 0);
    int mode = static_cast<int>(gameMode);
    float y = 58;
    if (mode >= 1 && mode <= 4 && gameMode == static_cast<float>(mode)) {
        DrawAtlasFrame(MODE_ICON, static_cast<float>(mode - 1), 132, 58);
        DrawText(MODE_NAMES[mode], 0, 160, 114);
        y = 174;
    }
    DrawText(KString("SCORE: ") + ShownScore(), 0, 160, y);
    DrawText(KString("LEVEL: ") + level, 0, 160, y + 45);
    DrawText(KString("CREATURES: ") + creaturesConnected, 0, 160, y + 90);
    DrawText(KString("COMBOS: ") + comboCount, 0, 160, y + 135);
    if (newHighScore == 1) {
        DrawText("NEW HIGH SCORE", 0, 160, y + 180);
        if (resultRank > 0) DrawText(KString("YOUR RANK: ") + resultRank, 0, 160, y + 210);
    }
    // The way on is a tap anywhere; the line shows once a tap is taken.
    if (inputCooldown == 0) DrawBackToMainMenu();
}
