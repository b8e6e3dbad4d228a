// The in-game buttons below the board.
#include <gtest/gtest.h>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/state/globals.h"

namespace {

void StripTick(float x, float y, bool down) {
    touchX = x;
    touchY = y;
    touchDown = down ? 1 : 0;
    InGameControls();   // counts its own cooldown down
}

void TapButton(float x) {
    StripTick(x, 450, true);
    StripTick(x, 450, true);
    StripTick(x, 450, false);
}

}  // namespace

TEST(Controls, ButtonsActOncePerTouchAfterTheCooldown) {
    PrepareEmptyGame();
    brightnessTarget = -1;
    soundOn = 1;
    runState = 1;  // nothing acts while the play area slides in, nor between the buttons
    TapButton(300);
    runState = 2;
    TapButton(150);
    EXPECT_EQ(soundOn, 1);
    EXPECT_EQ(overlayState, 0);
    for (int t = 0; t < 30; ++t) StripTick(300, 450, true);  // held on the sound switch
    EXPECT_EQ(soundOn, 0);
    StripTick(300, 450, false);
    TapButton(300);
    EXPECT_EQ(soundOn, 1);
    EXPECT_EQ(musicOn, 0);  // music was off and stays off
    TapButton(300);         // straight after an action: ignored
    EXPECT_EQ(soundOn, 1);
}
