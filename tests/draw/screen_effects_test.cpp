// Per-tick upkeep of the background and the screen effects.
#include <gtest/gtest.h>

#include <cmath>

#include "game/play/screen_effects.h"
#include "game/shell/globals.h"

namespace {

class ScreenEffects : public testing::Test {
protected:
    void SetUp() override {
        DimensionPlayTables();
        SeedGameRandom(1234);
        toggleTick = 0;
        animFrame = animSubTicks = blinkCounter = 0;
        brightness = brightnessTarget = -1;
        backdropScroll = 0;
        swapsToAward = 0;
        controlsTicks = 0;
    }
};

// Ticks a bubble needs from the bottom of the screen until it restarts below it.
int RiseTicks(int i) {
    bubbleY(i) = 480;
    for (int tick = 1; tick < 5000; ++tick) {
        float before = bubbleY(i);
        UpdateBubbles();
        if (bubbleY(i) > before) {
            EXPECT_GE(bubbleY(i), 480);
            EXPECT_LE(bubbleY(i), 500);
            return tick;
        }
    }
    return -1;
}

TEST_F(ScreenEffects, SlowestBubbleRisesInAboutAThousandTicksFastestInHalf) {
    LayoutBubbles();
    int slow = RiseTicks(0), fast = RiseTicks(19);
    EXPECT_NEAR(slow, 980, 3);
    EXPECT_NEAR(fast, 503, 3);
}

TEST_F(ScreenEffects, BrightnessReachesItsTargetInThirtyTicksAndStays) {
    brightnessTarget = -0.7f;
    for (int t = 1; t <= 29; ++t) FadeBrightness();
    EXPECT_LT(brightness, -0.705f);
    FadeBrightness();
    EXPECT_FLOAT_EQ(brightness, -0.7f);
    for (int t = 0; t < 10; ++t) FadeBrightness();
    EXPECT_FLOAT_EQ(brightness, -0.7f);
    brightnessTarget = -1;
    for (int t = 0; t < 30; ++t) FadeBrightness();
    EXPECT_FLOAT_EQ(brightness, -1);
}

TEST_F(ScreenEffects, FrameCountersAndTheSlowBackdropScroll) {
    std::vector<float> frames, blinks, toggles;
    for (int t = 0; t < 48; ++t) {
        FadeBrightness();
        AdvanceFrameCounters();
        frames.push_back(animFrame);
        blinks.push_back(blinkCounter);
        toggles.push_back(toggleTick);
    }
    // animFrame moves every fourth tick and wraps after 5; blinkCounter wraps after 9.
    for (int t = 0; t < 48; ++t) {
        EXPECT_EQ(frames[t], ((t + 1) / 4) % 6) << t;
        EXPECT_EQ(blinks[t], (t + 1) % 10) << t;
        EXPECT_EQ(toggles[t], (t + 1) % 2) << t;
    }
    EXPECT_EQ(backdropScroll, -24);  // one step on every tick that found toggleTick at 1
}

TEST_F(ScreenEffects, PopupTimerFallsEverySecondTickAndStopsAtZero) {
    popupTimer(4) = 40;
    popupWait(4) = 2;
    int ticks = 0;
    while (popupTimer(4) > 0 && ticks < 1000) {
        UpdatePopups();
        ++ticks;
    }
    EXPECT_EQ(ticks, 80);
    for (int t = 0; t < 100; ++t) UpdatePopups();
    EXPECT_EQ(popupTimer(4), 0);
    EXPECT_EQ(popupWait(4), 0);
    EXPECT_EQ(popupTimer(3), 0);  // untouched slots stay idle
}

TEST_F(ScreenEffects, StarFliesItsCourseAndPaysOnArrival) {
    effectX(1) = 100;
    effectY(1) = 200;
    effectSpeedX(1) = (278 - 100) / 60.0f;
    effectSpeedY(1) = (381 - 200) / 60.0f;
    effectAngle(1) = 350;
    effectTimer(1) = 60;
    effectValue(1) = 3;
    for (int t = 0; t < 59; ++t) UpdateEffectPool();
    EXPECT_EQ(swapsToAward, 0);
    UpdateEffectPool();
    EXPECT_EQ(swapsToAward, 3);
    EXPECT_NEAR(effectX(1), 278, 0.01);
    EXPECT_NEAR(effectY(1), 381, 0.01);
    EXPECT_GE(effectAngle(1), 0);
    EXPECT_LT(effectAngle(1), 360);
    for (int t = 0; t < 30; ++t) UpdateEffectPool();
    EXPECT_EQ(swapsToAward, 3);  // pays once
}

TEST_F(ScreenEffects, StarTrailSparklesFadeAndLeaveTheStarSlotsAlone) {
    effectTimer(0) = 60;
    effectValue(0) = 1;
    int most = 0;
    for (int t = 0; t < 80; ++t) {
        UpdateEffectPool();
        int live = 0;
        for (int s = 2; s < EFFECT_SLOTS; ++s) {
            if (effectTimer(s) <= 0) continue;
            ++live;
            EXPECT_GE(effectValue(s), 53);
            EXPECT_LE(effectValue(s), 56);
        }
        most = std::max(most, live);
    }
    EXPECT_GE(most, 1);
    for (int s = 0; s < EFFECT_SLOTS; ++s) EXPECT_LE(effectTimer(s), 0) << s;
    EXPECT_EQ(swapsToAward, 1);
}

TEST_F(ScreenEffects, BurstPieceLivesFifteenTicks) {
    effectTimer(7) = 15;
    effectValue(7) = 64;
    effectSpeedX(7) = 6;
    effectX(7) = 10;
    for (int t = 0; t < 14; ++t) UpdateEffectPool();
    EXPECT_EQ(effectTimer(7), 1);
    UpdateEffectPool();
    EXPECT_EQ(effectTimer(7), 0);
    EXPECT_FLOAT_EQ(effectX(7), 10 + 6 * 15);
    UpdateEffectPool();
    EXPECT_FLOAT_EQ(effectX(7), 10 + 6 * 15);  // a finished piece stays put
    EXPECT_EQ(swapsToAward, 0);                // pieces never pay
}

}  // namespace
