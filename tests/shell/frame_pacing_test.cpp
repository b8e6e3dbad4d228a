// Frame pacing on the virtual clock: catch-up ticks after a long frame, and the display-rate
// classification of 50, 60 and 75 Hz frame sequences with the ticks each frame runs.
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
    static void ExpectAllOne(const std::vector<int>& t, size_t from) {
        for (size_t i = from; i < t.size(); ++i) ASSERT_EQ(t[i], 1) << "frame " << i;
    }
};

TEST_F(Pacing, ASixtyMillisecondFrameRunsThreeTicksAndKeepsTenMillisecondsOfDebt) {
    EXPECT_EQ(ticksThisFrame, 1);
    NullPlatform::AdvanceClock(60);
    PaceFrame();
    EXPECT_EQ(frameElapsed, 60);
    EXPECT_EQ(ticksThisFrame, 3);
    EXPECT_NEAR(tickDebt, -10.0f, 0.01f);
}

TEST_F(Pacing, AShortFrameRunsOneTickAndForgivesLargeCredit) {
    EXPECT_EQ(Run(1, {2})[0], 1);
    EXPECT_NEAR(tickDebt, 14.667f, 0.01f);
    EXPECT_EQ(Run(1, {0})[0], 1);   // credit above one tick is dropped rather than banked
    EXPECT_EQ(tickDebt, 0);
}

TEST_F(Pacing, SixtyHertzFramesRunOneTickEachAndLockSixty) {
    ExpectAllOne(Run(240, {16, 17, 17}), 0);
    EXPECT_EQ(detectedRate, 60);
    EXPECT_EQ(rateLocked60, 1);
    // Once sixty was seen, a run of 50 Hz frames never switches the tick to 20 ms.
    Run(300, {20});
    EXPECT_NEAR(tickMs, TICK60, 1e-4f);
    EXPECT_NE(detectedRate, 50);
}

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
    ExpectAllOne(ticks, 181);
}

TEST_F(Pacing, SeventyFiveHertzIsClassedFastAndLimitsTheFrameRate) {
    ExpectAllOne(Run(240, {13, 13, 14}), 0);
    EXPECT_EQ(detectedRate, -1);
    EXPECT_EQ(frameLimitSet, 1);
    EXPECT_NEAR(tickMs, TICK60, 1e-4f);
}

TEST_F(Pacing, DisagreeingWindowsGiveNoRate) {
    Run(60, {20});
    Run(60, {16, 17, 17});
    Run(60, {20});
    EXPECT_EQ(detectedRate, 0);
    EXPECT_NEAR(tickMs, TICK60, 1e-4f);
}

}  // namespace
