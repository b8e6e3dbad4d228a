// The in-game buttons: one action per touch with its cooldown, the sound switch remembering the
// music, the pause menu and the overlay opening and giving way to each other.
#include <gtest/gtest.h>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/shell/globals.h"

namespace {

void StripTick(float x, float y, bool down) {
    touchX = x;
    touchY = y;
    touchDown = down ? 1 : 0;
    InGameControls();
    PlayAreaTick();  // counts the cooldown down
}

void Tap(float x) {
    StripTick(x, 450, true);
    StripTick(x, 450, true);
    StripTick(x, 450, false);
}

void RunningGame() {
    PrepareEmptyGame();
    runState = 2;
    screen = 7;
    phase = 7;
    brightnessTarget = -1;
    overlayState = 0;
    controlsCooldown = 0;
    stripTouch = 0;
    soundOn = 1;
    musicOn = 0;
}

}  // namespace

TEST(Controls, HoldingAButtonActsOnceAndTheNextTapWaitsForTheCooldown) {
    RunningGame();
    for (int t = 0; t < 30; ++t) StripTick(300, 450, true);  // held on the sound switch
    EXPECT_EQ(soundOn, 0);
    EXPECT_EQ(musicOn, 2);  // music was off: remembered as off
    StripTick(300, 450, false);
    Tap(300);
    EXPECT_EQ(soundOn, 1);
    EXPECT_EQ(musicOn, 0);
    // A new touch straight after an action is ignored until the cooldown has run out.
    Tap(300);
    EXPECT_EQ(soundOn, 1);
    for (int t = 0; t < 10; ++t) StripTick(0, 0, false);
    Tap(300);
    EXPECT_EQ(soundOn, 0);
}

TEST(Controls, PauseAndOverlayOpenCloseAndGiveWay) {
    RunningGame();
    Tap(75);
    EXPECT_EQ(overlayState, 2);
    EXPECT_EQ(screen, 9);
    EXPECT_EQ(phase, 10);
    EXPECT_FLOAT_EQ(brightnessTarget, -0.7f);
    for (int t = 0; t < 10; ++t) StripTick(0, 0, false);
    Tap(25);  // the overlay takes over from the pause menu
    EXPECT_EQ(overlayState, 1);
    EXPECT_EQ(screen, 8);
    EXPECT_EQ(phase, 9);
    for (int t = 0; t < 10; ++t) StripTick(0, 0, false);
    Tap(25);  // and closes back to the game
    EXPECT_EQ(overlayState, 0);
    EXPECT_EQ(screen, 7);
    EXPECT_EQ(phase, 7);
    EXPECT_EQ(brightnessTarget, -1);
}

TEST(Controls, NothingActsWhileThePlayAreaSlidesOrOnTheBoard) {
    RunningGame();
    runState = 1;
    Tap(300);
    EXPECT_EQ(soundOn, 1);
    runState = 2;
    StripTick(300, 420, true);  // on the strip, above the buttons: only the bar wakes
    EXPECT_EQ(soundOn, 1);
    EXPECT_EQ(controlsTicks, 140);
    StripTick(300, 200, false);
    Tap(150);  // between the buttons
    EXPECT_EQ(soundOn, 1);
    EXPECT_EQ(overlayState, 0);
}
