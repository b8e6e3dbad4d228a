// The main menu: the bobbing logo and the column of picture buttons. A chosen button swells
// while the others fade out, then its screen opens.
#include "game/draw/draw.h"
#include "game/play/game_audio.h"
#include "game/shell/menu_fade.h"
#include "game/shell/menus.h"
#include "game/state/globals.h"
#include "runtime/graphics/graphics_device.h"

namespace {

struct MenuButton {
    int item;
    float x, offset;          // drawn at (x, mainMenuTop + offset)
    float left, right, height; // tap area: x range, and the height below its top
    float screen, phase;      // where it leads
};
// Choice numbers are the button's place + 2.
const MenuButton BUTTONS[6] = {
    {97, 69, 0, 64, 256, 27, 2, 2},      // PLAY: game mode selection
    {98, 61, 48, 56, 264, 29, 3, 3},     // TUTORIAL
    {99, 98, 96, 93, 226, 27, 4, 4},     // OPTIONS
    {100, 73, 144, 68, 251, 29, 5, 15},  // CHALLENGES
    {101, 71, 192, 66, 253, 27, 10, 16}, // HIGH SCORES
    {88, 78, 240, 73, 246, 27, 0, 99},   // QUIT (desktops only)
};
const float TOUCH_SLACK = 5;
const int LOGO[7] = {90, 96, 91, 95, 94, 93, 92};
const float LOGO_LEFT = 20, LOGO_STEP = 40, LOGO_TOP = 40;
const float SOUND_CHOOSE = 5;
const float FADE_FULL = 80;
const float DELAY_FULL = 89;
const float FADE_DELAY = 9;   // the buttons wait this long after the logo starts to drop
const float FADE_UNIT = 0.0125f;
const float ZOOM_UNIT = 0.0125f;

bool OnDesktop() { return platform == 0 || platform == 5 || platform == 6; }

int ButtonCount() { return OnDesktop() ? 6 : 5; }

bool Hit(const MenuButton& b) {
    float top = mainMenuTop + b.offset;
    return touchX >= b.left && touchX <= b.right && touchY > top - TOUCH_SLACK &&
           touchY < top + b.height + TOUCH_SLACK;
}

void ResetScales() {
    for (int i = 0; i < 6; ++i) buttonScale(i) = 1;
}

float AlphaOfFade() { return mainMenuFade == 0 ? 0.001f : mainMenuFade * FADE_UNIT; }

void Choose(int button) {
    mainMenuChoice = static_cast<float>(button + 2);
    mainMenuStage = 3;
    mainMenuLatch = 1;
    userActed = 1;
    PlayShellSound(SOUND_CHOOSE);
    if (button == 4) {   // the high-score list starts from its top, at rest
        highScoreScroll = -1260;
        highScoreIdle = 0;
        highScoreVelocity = 0;
        highScoreDragY = 0;
    }
}

void OpenChosenScreen() {
    int button = static_cast<int>(mainMenuChoice) - 2;
    if (button < 0 || button >= 6) button = 0;
    screen = BUTTONS[button].screen;
    phase = BUTTONS[button].phase;
    // Every menu screen starts its fade from nothing, whatever the last one (or a restored game)
    // left behind.
    inputCooldown = 0;
    menuAlpha = 0;
    menuStage = 0;
    menuAlphaTarget = -1;
    mainMenuFade = 0;
    mainMenuDelay = 0;
    mainMenuChoice = 0;
    mainMenuZoom = 0;
    mainMenuAlpha = 0.001f;
    mainMenuLatch = 0;
    mainMenuStage = 1;
    ResetScales();
}

}  // namespace

void ResetMainMenu() {
    mainMenuFade = 0;
    mainMenuDelay = 0;
    mainMenuChoice = 0;
    mainMenuZoom = 0;
    mainMenuLatch = 0;
    mainMenuTop = 144;
    mainMenuStage = 1;
    mainMenuAlpha = 0.001f;
}

void MainMenuTick() {
    brightnessTarget = -0.7f;
    menuWavePhase += 1;
    if (menuWavePhase >= 360) menuWavePhase -= 360;
    StepTitleWave();

    if (touchDown == 1 && mainMenuLatch == 0) {
        for (int i = 0; i < ButtonCount(); ++i) {
            if (Hit(BUTTONS[i])) {
                Choose(i);
                break;
            }
        }
    }

    if (mainMenuStage == 1) {
        ResetScales();
        if (mainMenuDelay < DELAY_FULL) mainMenuDelay += 1;
        if (mainMenuDelay > FADE_DELAY && mainMenuFade < FADE_FULL) mainMenuFade += 1;
        mainMenuAlpha = AlphaOfFade();
        if (mainMenuFade >= FADE_FULL) mainMenuStage = 2;
    } else if (mainMenuStage == 2) {
        ResetScales();
    } else if (mainMenuStage == 3) {
        if (mainMenuDelay > 0) mainMenuDelay -= 1;
        if (mainMenuFade > 0) mainMenuFade -= 1;
        mainMenuAlpha = mainMenuFade > FADE_FULL ? 1 : AlphaOfFade();
        mainMenuZoom += 1;
        int chosen = static_cast<int>(mainMenuChoice) - 2;
        if (chosen >= 0 && chosen < 6) buttonScale(chosen) = 1 + ZOOM_UNIT * mainMenuZoom;
        if (mainMenuFade <= 0) OpenChosenScreen();
    } else if (mainMenuStage == 4) {
        mainMenuAlpha = 0.001f;
    }
}

void DrawMainMenu() {
    SetBlendMode(-1);
    // The logo drops in from above as the menu enters and rises away as it leaves; each letter
    // bobs and sways on the two waves a little after its neighbour.
    int delay = static_cast<int>(mainMenuDelay);
    if (delay < 0) delay = 0;
    if (delay > 89) delay = 89;
    float drop = dipTable(delay);
    int bob = static_cast<int>(titleWavePhase);
    int sway = static_cast<int>(menuWavePhase);
    if (bob < 0 || bob >= 360) bob = 0;
    if (sway < 0 || sway >= 360) sway = 0;
    for (int i = 0; i < 7; ++i) {
        float x = LOGO_LEFT + LOGO_STEP * i + 0.6f * textWave(sway + 30 * i);
        float y = LOGO_TOP + (i % 2) * 6 + titleWave(bob + 20 * i) - drop;
        DrawAtlasItem(LOGO[i], x, y);
    }
    SetBlendMode(-mainMenuAlpha);
    for (int i = 0; i < ButtonCount(); ++i) {
        const MenuButton& b = BUTTONS[i];
        DrawAtlasItemWaving(30.0f * i, b.item, b.x, mainMenuTop + b.offset, buttonScale(i));
    }
    SetBlendMode(-1);
    DrawAtlasItem(87, 0, 467);
    DrawAtlasItem(89, 291, 467);
}
