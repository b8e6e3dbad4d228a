// The four touch buttons of the strip below the board: the in-game overlay, the pause menu, the
// music switch and the sound switch, and the control bar's visibility timer.
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "game/play/game_audio.h"
#include "game/state/save_links.h"
#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"

namespace {

const float STRIP_TOP = 409;
const float BUTTON_TOP = 429;
const float DIMMED = -0.7f;

void RestartTrack() { PlayMusic(musicTrack, musicVolume); }

void KeepField() {
    keptScreen = screen;
    keptPhase = phase;
    keptBrightness = brightnessTarget;
}

void RestoreField() {
    overlayState = 0;
    screen = keptScreen;
    phase = keptPhase;
    brightnessTarget = keptBrightness;
}

void SoundSwitch() {
    if (soundOn == 1) {
        soundOn = 0;
        StopAllSounds();
        if (musicOn == 0) musicOn = 2;
        else if (musicOn == 1) musicOn = 3;
        StopMusic();
    } else {
        soundOn = 1;
        if (musicOn == 2) {
            musicOn = 0;
        } else if (musicOn == 3) {
            musicOn = 1;
            RestartTrack();
        }
    }
}

void MusicSwitch() {
    if (musicOn == 1) {
        musicOn = 0;
        StopMusic();
    } else {
        musicOn = 1;
        RestartTrack();
    }
}

void PauseButton() {
    if (overlayState == 0) {
        KeepField();
        phase = 10;
        screen = 9;
        brightnessTarget = DIMMED;
        overlayState = 2;
    } else if (overlayState == 2) {
        RestoreField();
        SaveSettingsFromPlay();
    } else {
        overlayState = 2;
        phase = 10;
        screen = 9;
        if (musicOn == 1) RestartTrack();
    }
}

void OverlayButton() {
    if (overlayState == 0) {
        KeepField();
        screen = 8;
        phase = 9;
        brightnessTarget = DIMMED;
        overlayState = 1;
        if (musicOn == 1) StopMusic();
    } else if (overlayState == 2) {
        overlayState = 1;
        screen = 8;
        phase = 9;
        if (musicOn == 1) StopMusic();
    } else {
        RestoreField();
        if (musicOn == 1) RestartTrack();
    }
}

void ControlsTick() {
    if (runState != 2) return;
    if (touchDown == 0) {
        stripTouch = 0;
    } else {
        stripTouch = stripTouch == 0 ? 1 : 2;
    }
    // A finger resting after release would otherwise keep the bar shown for ever.
    if (touchDown == 0 || touchY <= STRIP_TOP) return;
    if (controlsTicks == 0) {
        controlsTicks = 140;
    } else if (controlsTicks <= 120 && controlsTicks > 20) {
        controlsTicks = 120;
    } else if (controlsTicks <= 20) {
        controlsTicks = 140 - (20 - controlsTicks);
    }
    if (stripTouch != 1 || touchY <= BUTTON_TOP || controlsCooldown != 0) return;
    bool acted = true;
    if (touchX > 269) {
        SoundSwitch();
    } else if (touchX > 219) {
        MusicSwitch();
    } else if (touchX >= 50 && touchX < 100) {
        PauseButton();
    } else if (touchX < 50) {
        OverlayButton();
    } else {
        acted = false;
    }
    if (acted) {
        controlsCooldown = 10;
        userActed = 1;
    }
}

}  // namespace

// The cooldown is counted here, where the buttons are read, so it runs out on every screen the
// buttons serve: the game, the in-game overlay and the pause menu.
void InGameControls() {
    ControlsTick();
    if (controlsCooldown > 0) controlsCooldown -= 1;
}
