// The options screen: the three volume sliders, sound and music switches, resetting scores and
// challenges behind an ARE YOU SURE? box, and the quality switch. Settings are saved on leaving.
#include "game/draw/draw.h"
#include "game/draw/menu_parts.h"
#include "game/play/game_audio.h"
#include "game/shell/menu_fade.h"
#include "game/shell/menus.h"
#include "game/shell/save_files.h"
#include "game/shell/volume_sliders.h"
#include "game/state/globals.h"
#include "runtime/audio/music.h"
#include "runtime/graphics/graphics_device.h"

namespace {
const float BUTTON_COOLDOWN = 15;
const float SOUND_ON_SAMPLE = 43;
const float SOUND_RESET = 1;

struct Area {
    float top, bottom, left, right;
    bool Hit() const { return touchY >= top && touchY <= bottom && touchX >= left && touchX <= right; }
};
const Area SOUND_BUTTON = {269, 301, 83, 227};
const Area MUSIC_BUTTON = {314, 345, 83, 227};
const Area RESET_BUTTON = {359, 391, 15, 304};
const Area QUALITY_BUTTON = {404, 435, 23, 297};
const Area YES = {254, 286, 45, 98};
const Area NO = {254, 286, 239, 275};

void Pressed() {
    optionsCooldown = BUTTON_COOLDOWN;
    userActed = 1;
}

void Confirmation() {
    if (YES.Hit()) {
        ResetProgress(0);
        SaveSettingsNow();
        resetConfirmOpen = 0;
        Pressed();
        PlayShellSound(SOUND_RESET);
    } else if (NO.Hit()) {
        resetConfirmOpen = 0;
        Pressed();
    }
}

void Buttons() {
    if (SOUND_BUTTON.Hit()) {
        if (soundOn != 1) {
            soundOn = 1;
            PlayShellSound(SOUND_ON_SAMPLE);
        } else {
            soundOn = 0;
        }
    } else if (MUSIC_BUTTON.Hit()) {
        if (musicOn == 1) {
            musicOn = 0;
            StopMusic();
        } else {
            musicOn = 1;
            musicTrack = "intro";
            PlayMusic(musicTrack, musicVolume);
        }
    } else if (RESET_BUTTON.Hit()) {
        resetConfirmOpen = 1;
    } else if (QUALITY_BUTTON.Hit()) {
        lowQuality = lowQuality == 0 ? 1 : 0;
    } else {
        return;
    }
    Pressed();
}

void SettingsPart() {
    if (touchDown == 1 && resetConfirmOpen == 0) DragVolumeSliders();
    // A button answers the first tick of a touch only: a finger left resting on it does not
    // switch it back and forth.
    bool fresh = touchDown == 1 && menuTouchHeld == 0;
    if (touchDown == 1 && optionsCooldown == 0) {
        if (fresh && resetConfirmOpen == 1) {
            Confirmation();
        } else if (fresh) {
            Buttons();
        }
    } else if (optionsCooldown > 0) {
        optionsCooldown -= 1;
    }
    menuTouchHeld = touchDown == 1 ? 1 : 0;
}

// The box behind ARE YOU SURE?, in screen pixels.
void DrawConfirmationBox() {
    float sx = scalingOn != 0 ? scaleX : 1, sy = scalingOn != 0 ? scaleY : 1;
    DrawPlainFill(16 * sx, 165 * sy, 304 * sx, 315 * sy);
}
}  // namespace

void OptionsTick() {
    StepTitleWave();
    if (!EnterMenuScreen() && FadeMenu() == FadeArrival::GONE) {
        screen = 0;
        gameMode = 0;
        phase = 14;
        SaveSettingsNow();
    }
    if (menuStage < 3 && touchDown == 1 && resetConfirmOpen == 0 && InBackBar()) StartLeavingMenu();
    SettingsPart();
}

void DrawOptionsScreen() {
    if (!MenuVisible()) return;
    SetBlendMode(menuAlpha);
    DrawBouncingTitle("OPTIONS", 48);
    DrawVolumeSliders();
    DrawTextButton(soundOn == 1 ? "SOUND OFF" : "SOUND ON", 0, 160, 270);
    DrawTextButton(musicOn == 1 ? "MUSIC OFF" : "MUSIC ON", 0, 160, 315);
    DrawTextButton("RESET YOUR SCORES", 0, 160, 360);
    DrawTextButton(lowQuality != 0 ? "HIGH QUALITY ON" : "HIGH QUALITY OFF", 0, 160, 405);
    if (resetConfirmOpen == 1) {
        // Three times over, so the rows beneath hardly show through the box.
        for (int pass = 0; pass < 3; ++pass) DrawConfirmationBox();
        DrawText("ARE YOU SURE?", 0, 160, 195);
        DrawTextButton("YES", -1, 46, 255);
        DrawTextButton("NO", 1, 274, 255);
    } else {
        DrawBackToMainMenu();
    }
}
