// Fades and shared bits of the menu screens.
#include "game/shell/menu_fade.h"

#include "game/shell/save_files.h"
#include "game/state/globals.h"
#include "runtime/core/files.h"

namespace {
const float FADE_STEP = 0.04f;
// A fade of 25 steps of 0.04 lands within float error of its target; this snaps it there.
const float ARRIVED = 0.0001f;
}  // namespace

bool EnterMenuScreen() {
    if (menuStage != 0 && menuStage != 4) return false;
    menuAlpha = 0;
    menuStage = 1;
    menuAlphaTarget = -1;
    return true;
}

FadeArrival FadeMenu() {
    if (menuAlpha == menuAlphaTarget) return FadeArrival::NONE;
    if (menuAlpha > menuAlphaTarget) {
        menuAlpha -= FADE_STEP;
        if (menuAlpha > menuAlphaTarget + ARRIVED) return FadeArrival::NONE;
        menuAlpha = menuAlphaTarget;
        menuStage = 2;
        return FadeArrival::SHOWN;
    }
    menuAlpha += FADE_STEP;
    if (menuAlpha < menuAlphaTarget - ARRIVED) return FadeArrival::NONE;
    menuAlpha = menuAlphaTarget;
    menuStage = 4;
    return FadeArrival::GONE;
}

void StartLeavingMenu() {
    menuAlphaTarget = 0;
    menuStage = 3;
}

bool MenuVisible() {
    return menuAlpha != 0 && menuStage > 0 && menuStage < 4;
}

void StepTitleWave() {
    titleWavePhase -= 1;
    if (titleWavePhase <= -1) titleWavePhase += 360;
}

bool InBackBar() {
    return touchY > 448 && touchX > 39 && touchX < 277;
}

void SaveSettingsNow() {
    SetCurrentDir(saveDir);
    SaveSettings();
    SetCurrentDir(mediaDir);
}
