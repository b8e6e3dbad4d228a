// The in-game buttons below the board and the bonus-period sparkles.
#include <gtest/gtest.h>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/play/screen_effects.h"
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

TEST(BonusSparkles, FourStartEveryEightTicksRunRoundTheEdgeAndFadeOver31Ticks) {
    DimensionPlayTables();
    ClearBonusSparkles();
    bonusTicks = 600;
    int tick = 0;
    auto runTo = [&](int end) {
        for (; tick < end; ++tick) UpdateBonusSparkles();
    };
    auto alive = [] {
        int n = 0;
        for (int i = 0; i < 12; ++i) n += sparkleAlpha(i) > 0;
        return n;
    };
    runTo(7);
    EXPECT_EQ(alive(), 0);
    runTo(8);   // the eighth tick starts the first four
    ASSERT_EQ(alive(), 4);
    const float FIRST[4][2] = {{-7, -7}, {303, -7}, {303, 303}, {-7, 303}};   // the four corners
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(sparkleX(k), FIRST[k][0]) << k;
        EXPECT_EQ(sparkleY(k), FIRST[k][1]) << k;
        EXPECT_EQ(sparkleItem(k), 53);
        EXPECT_FLOAT_EQ(sparkleAlpha(k), 31.0f / 32);
    }
    runTo(16);
    EXPECT_EQ(alive(), 8);
    EXPECT_FLOAT_EQ(sparkleX(4), -7 + 19.0625f);   // the next step along the top
    EXPECT_FLOAT_EQ(sparkleY(5), -7 + 19.0625f);   // and down the right side
    EXPECT_EQ(sparkleItem(4), 54);
    // Sixteen steps of 8 ticks take them once round: tick 136 starts at the corner again. Slots
    // are taken again before a sparkle has quite faded, so its fade shows once the period ends.
    runTo(136);
    EXPECT_EQ(sparkleStep, 1);
    bool corner = false;
    for (int i = 0; i < 12; ++i) corner = corner || (sparkleAlpha(i) > 0.9f && sparkleX(i) == -7 && sparkleY(i) == -7);
    EXPECT_TRUE(corner) << "the top-left corner again after one round";
    bonusTicks = 0;
    runTo(165);
    EXPECT_EQ(alive(), 4) << "the last four, started on tick 136, are shown for 30 more ticks";
    runTo(166);
    EXPECT_EQ(alive(), 0);
}
