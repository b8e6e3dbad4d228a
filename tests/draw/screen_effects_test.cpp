// Per-tick upkeep of the effect pool: the reward star, its sparkles and the burst pieces.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/play/screen_effects.h"
#include "game/state/globals.h"

namespace {

class ScreenEffects : public testing::Test {
protected:
    void SetUp() override {
        DimensionPlayTables();
        SeedGameRandom(1234);
        toggleTick = animFrame = animSubTicks = blinkCounter = backdropScroll = swapsToAward = controlsTicks = 0;
    }
};

TEST_F(ScreenEffects, StarPaysOnceOnArrivalSparklesAndBurstPiecesFadeWithoutPay) {
    effectX(1) = 100, effectY(1) = 200, effectAngle(1) = 350, effectTimer(1) = 60, effectValue(1) = 3;
    effectSpeedX(1) = (278 - 100) / 60.0f, effectSpeedY(1) = (381 - 200) / 60.0f;
    effectTimer(30) = 15, effectValue(30) = 64, effectSpeedX(30) = 6, effectX(30) = 10;  // a burst piece flying right
    int most = 0;
    for (int t = 0; t < 59; ++t) {
        UpdateEffectPool();
        EXPECT_EQ(effectTimer(30), std::max(14 - t, 0)) << t;
        int live = 0;
        for (int s = 2; s < EFFECT_SLOTS - 1; ++s) {
            if (effectTimer(s) <= 0) continue;
            ++live;
            EXPECT_TRUE(effectValue(s) >= 53 && effectValue(s) <= 56) << effectValue(s);
        }
        most = std::max(most, live);
    }
    EXPECT_GE(most, 1) << "the star leaves sparkles";
    EXPECT_EQ(swapsToAward, 0);
    UpdateEffectPool();
    EXPECT_EQ(swapsToAward, 3);
    EXPECT_NEAR(effectX(1), 278, 0.01);
    EXPECT_NEAR(effectY(1), 381, 0.01);
    EXPECT_TRUE(effectAngle(1) >= 0 && effectAngle(1) < 360) << effectAngle(1);
    for (int t = 0; t < 30; ++t) UpdateEffectPool();
    EXPECT_EQ(swapsToAward, 3);
    for (int s = 0; s < EFFECT_SLOTS; ++s) EXPECT_LE(effectTimer(s), 0) << s;  // sparkles faded, star slots alone
    EXPECT_FLOAT_EQ(effectX(30), 10 + 6 * 15);  // a finished piece stays put
}

}  // namespace
