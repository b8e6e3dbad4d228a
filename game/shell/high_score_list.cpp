// The high-score list: the four tables one under the other in an endless loop that the finger
// drags and flicks; left alone it drifts slowly upwards. Rows fade out towards the list's edges.
#include "game/draw/draw.h"
#include "game/draw/menu_parts.h"
#include "game/shell/menu_fade.h"
#include "game/shell/menus.h"
#include "game/state/globals.h"
#include "game/state/high_scores.h"
#include "runtime/core/number_text.h"
#include "runtime/graphics/graphics_device.h"

namespace {
const float LIST_HEIGHT = 1260;            // the loop's length: four sections
const float SECTION_HEIGHT = LIST_HEIGHT / 4;
const float BAND_TOP = 58, BAND_BOTTOM = 424;   // only what lies strictly between is drawn
const float IDLE_BEFORE_DRIFT = 120;
const float DRIFT_STEP = 0.01f, DRIFT_MAX = -1;
const float AFTER_TOUCH = -60;
const float COAST_STOP = 0.01f;

const int MODE_ICON = 25, DIVIDER = 27;
// Sections in list order, tables 0 to 3: the mode icon frame (by game mode - 1) and the name.
const int ICON_FRAME[4] = {2, 0, 1, 3};
const char* const NAMES[4] = {"TIME TRIAL", "ARCADE", "PUZZLE", "ZEN"};

// y of an element placed at `top` in the unscrolled list, on the screen as the loop repeats it;
// false when no copy of it lies inside the band.
bool OnScreen(float top, float& y) {
    float at = top + highScoreScroll;
    for (float candidate : {at, at + LIST_HEIGHT, at - LIST_HEIGHT}) {
        if (candidate > BAND_TOP && candidate < BAND_BOTTOM) {
            y = candidate;
            return true;
        }
    }
    return false;
}

bool Faded(float top, float& y) {
    if (!OnScreen(top, y)) return false;
    SetBlendMode(ListFadeAlpha(y, menuAlpha));
    return true;
}

KString LevelText(float level) {
    return level < 10 ? KString("L0") + level : KString("L") + level;
}

void Coast() {
    float v = highScoreVelocity;
    if (v > 0) {
        v = v - v / 15 - COAST_STOP;
        if (v < COAST_STOP) v = 0;
    } else {
        v = v - v / 15 + COAST_STOP;
        if (v > COAST_STOP) v = 0;
    }
    highScoreVelocity = v;
    if (v == 0) highScoreIdle = 0;
    userActed = 1;
}
}  // namespace

void HighScoresTick() {
    if (!EnterMenuScreen() && FadeMenu() == FadeArrival::GONE) {
        screen = 0;
        gameMode = 0;
        phase = 14;
    }
    if (highScoreVelocity == 0 && highScoreIdle < IDLE_BEFORE_DRIFT) highScoreIdle += 1;
    if (highScoreIdle >= IDLE_BEFORE_DRIFT) {
        highScoreVelocity -= DRIFT_STEP;
        if (highScoreVelocity < DRIFT_MAX) highScoreVelocity = DRIFT_MAX;
    }
    if (highScoreIdle < 0) Coast();
    if (touchDown != 1) {
        if (highScoreDragY != 0) {
            highScoreDragY = 0;
            highScoreIdle = AFTER_TOUCH;
        }
    } else if (InBackBar() && highScoreDragY == 0) {
        if (menuStage < 3) {
            StartLeavingMenu();
            userActed = 1;
        }
        highScoreDragY = touchY;
        highScoreIdle = AFTER_TOUCH;
    } else {
        if (highScoreDragY != 0) highScoreVelocity = touchY - highScoreDragY;
        highScoreDragY = touchY;
        highScoreIdle = AFTER_TOUCH;
    }
    highScoreScroll += highScoreVelocity;
    if (highScoreScroll <= -LIST_HEIGHT) highScoreScroll += LIST_HEIGHT;
    if (highScoreScroll > 0) highScoreScroll -= LIST_HEIGHT;
    // A damaged value far outside the loop is brought back at once rather than over many ticks.
    if (!(highScoreScroll > -LIST_HEIGHT && highScoreScroll <= 0)) highScoreScroll = -LIST_HEIGHT + 1;
    StepTitleWave();
}

void DrawHighScoreScreen() {
    if (!MenuVisible()) return;
    SetBlendMode(menuAlpha);
    DrawBouncingTitle("HIGHSCORES", 0);
    bool tables = highScores.ArraySize(0) == HIGH_SCORE_TABLES && highScores.ArraySize(1) == HIGH_SCORE_SLOTS;
    for (int t = 0; t < 4; ++t) {
        float top = SECTION_HEIGHT * t;
        float y = 0;
        if (Faded(top + 58, y)) DrawAtlasFrame(MODE_ICON, ICON_FRAME[t], 132, y);
        if (Faded(top + 114, y)) DrawText(NAMES[t], 0, 160, y);
        if (Faded(top + 144, y)) DrawAtlasItem(DIVIDER, 20, y);
        for (int i = 0; i < 5 && tables; ++i) {
            if (!Faded(top + 163 + 30 * i, y)) continue;
            DrawText(KString(IntToStr(i + 1)) + ".  " + highScores(t, i, 0), -1, 26, y);
            DrawText(LevelText(highScores(t, i, 1)), 1, 286, y);
        }
    }
    DrawBackToMainMenu();
}
