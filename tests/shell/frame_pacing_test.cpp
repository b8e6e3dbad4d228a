// Frame pacing on the virtual clock: a 50 Hz display is recognised and its frames run one 20 ms
// tick each; until then they catch up to sixty ticks a second.
#include <gtest/gtest.h>

#include <vector>

#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "runtime/platform/null_platform.h"

namespace {

const float TICK60 = 1000.0f / 60.0f;

class Pacing : public ::testing::Test {
protected:
    void SetUp() override {
        NullPlatform::Reset();
        StartPacing();
        resetFrameClock = 1;
        PaceFrame();   // the first frame only starts the clock (and banks one tick of credit)
        tickDebt = 0;
    }
    // Runs frames of the given lengths (cycled) and returns the ticks each frame asked for.
    std::vector<int> Run(int frames, const std::vector<int>& lengths) {
        std::vector<int> ticks;
        for (int i = 0; i < frames; ++i) {
            NullPlatform::AdvanceClock(lengths[i % lengths.size()]);
            PaceFrame();
            ticks.push_back(static_cast<int>(ticksThisFrame));
        }
        return ticks;
    }
};

TEST_F(Pacing, FiftyHertzIsRecognisedAfterThreeWindowsThenEachFrameIsOneTwentyMillisecondTick) {
    std::vector<int> ticks = Run(300, {20});
    EXPECT_EQ(detectedRate, 50);
    EXPECT_EQ(tickMs, 20);
    // Until the three windows agree (frame 180) 60 ticks a second are kept: 3600 ms hold 216
    // ticks, some frames running two, none more.
    int before = 0, doubles = 0;
    for (size_t i = 0; i < 180; ++i) {
        EXPECT_LE(ticks[i], 2);
        before += ticks[i];
        doubles += ticks[i] == 2;
    }
    EXPECT_GE(before, 214);
    EXPECT_LE(before, 217);
    EXPECT_GE(doubles, 30);
    for (size_t i = 181; i < ticks.size(); ++i) ASSERT_EQ(ticks[i], 1) << "frame " << i;
}

// A machine that slows down for a while must not switch a locked 60 Hz game to 20 ms ticks.
TEST_F(Pacing, SixtyHertzLocksSoALaterRunOfSlowFramesNeverChangesTheTick) {
    for (int ticks : Run(240, {16, 17, 17})) ASSERT_EQ(ticks, 1);
    EXPECT_EQ(std::make_pair(detectedRate, rateLocked60), std::make_pair(int32_t{60}, 1.0f));
    for (int ticks : Run(300, {20})) ASSERT_LE(ticks, 2);
    EXPECT_NEAR(tickMs, TICK60, 1e-4f);
}

}  // namespace
