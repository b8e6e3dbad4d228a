// Frame pacing on the virtual clock: catch-up ticks after a long frame, and the display-rate
// classification of 50, 60 and 75 Hz frame sequences with the ticks each frame runs.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/shell/globals.h"
#include "game/shell/main_routine.h"
#include "runtime/platform/null_platform.h"

namespace {

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
    static int Sum(const std::vector<int>& v, size_t from, size_t to) {
        int s = 0;
        for (size_t i = from; i < to && i < v.size(); ++i) s += v[i];
        return s;
    }
};

TEST_F(Pacing, ASixtyMillisecondFrameRunsThreeTicksAndKeepsTenMillisecondsOfDebt) {
    EXPECT_EQ(ticksThisFrame, 1);
    EXPECT_EQ(frameElapsed, 0);
    NullPlatform::AdvanceClock(60);
    PaceFrame();
    EXPECT_EQ(frameElapsed, 60);
    EXPECT_EQ(ticksThisFrame, 3);
    EXPECT_NEAR(tickDebt, -10.0f, 0.01f);
    EXPECT_EQ(tickCatchUp, 1);
}

TEST_F(Pacing, AShortFrameRunsOneTickAndForgivesLargeCredit) {
    NullPlatform::AdvanceClock(2);
    PaceFrame();
    EXPECT_EQ(ticksThisFrame, 1);
    EXPECT_NEAR(tickDebt, 14.667f, 0.01f);
    NullPlatform::AdvanceClock(0);
    PaceFrame();   // credit above one tick is dropped rather than banked
    EXPECT_EQ(ticksThisFrame, 1);
    EXPECT_EQ(tickDebt, 0);
}

TEST_F(Pacing, SixtyHertzFramesRunOneTickEachAndLockSixty) {
    std::vector<int> ticks = Run(240, {16, 17, 17});
    for (size_t i = 0; i < ticks.size(); ++i) ASSERT_EQ(ticks[i], 1) << "frame " << i;
    EXPECT_EQ(detectedRate, 60);
    EXPECT_EQ(rateLocked60, 1);
    EXPECT_NEAR(tickMs, 1000.0f / 60.0f, 1e-4f);
    // Once sixty was seen, a run of 50 Hz frames never switches the tick to 20 ms.
    Run(300, {20});
    EXPECT_NEAR(tickMs, 1000.0f / 60.0f, 1e-4f);
    EXPECT_NE(detectedRate, 50);
}

TEST_F(Pacing, FiftyHertzIsRecognisedAfterThreeWindowsThenEachFrameIsOneTwentyMillisecondTick) {
    std::vector<int> ticks = Run(300, {20});
    // Three windows of 60 frames pass before the three classifications agree (frame 180).
    EXPECT_EQ(detectedRate, 50);
    EXPECT_EQ(tickMs, 20);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(rateHistory(i), 50);
    // Before the switch logic keeps 60 ticks a second: 3600 ms hold 216 ticks of 16.67 ms.
    int before = Sum(ticks, 0, 180);
    EXPECT_GE(before, 214);
    EXPECT_LE(before, 217);
    // Some frames ran two ticks to keep up, none ran more.
    int doubles = 0;
    for (size_t i = 0; i < 180; ++i) {
        EXPECT_LE(ticks[i], 2);
        doubles += ticks[i] == 2;
    }
    EXPECT_GE(doubles, 30);
    for (size_t i = 181; i < ticks.size(); ++i) ASSERT_EQ(ticks[i], 1) << "frame " << i;
}

TEST_F(Pacing, SeventyFiveHertzIsClassedFastAndLimitsTheFrameRate) {
    std::vector<int> ticks = Run(240, {13, 13, 14});
    for (size_t i = 0; i < ticks.size(); ++i) ASSERT_EQ(ticks[i], 1) << "frame " << i;
    EXPECT_NEAR(frameWindowSum, 800, 1);
    EXPECT_EQ(detectedRate, -1);
    EXPECT_EQ(frameLimitSet, 1);
    EXPECT_NEAR(tickMs, 1000.0f / 60.0f, 1e-4f);
}

TEST_F(Pacing, DisagreeingWindowsGiveNoRate) {
    Run(60, {20});
    Run(60, {16, 17, 17});
    Run(60, {20});
    EXPECT_EQ(detectedRate, 0);
    EXPECT_NEAR(tickMs, 1000.0f / 60.0f, 1e-4f);
}

TEST_F(Pacing, TheWindowSumFollowsTheRingOfTheLastSixtyFrames) {
    Run(60, {10});
    Run(30, {30});
    float sum = 0;
    for (int i = 0; i < 60; ++i) sum += frameTimes(i);
    EXPECT_EQ(frameWindowSum, sum);
    // Slot 0 held the start frame's 0 until the 60th frame of 10 ms replaced it.
    EXPECT_EQ(frameWindowSum, 30 * 30 + 30 * 10);
    EXPECT_EQ(frameSampleIndex, 31);
}

TEST(PacingReset, DetectRefreshRateWithOneOnlyRewindsTheHistory) {
    StartPacing();
    rateHistoryIndex = 2;
    detectedRate = 60;
    DetectRefreshRate(1);
    EXPECT_EQ(rateHistoryIndex, 0);
    EXPECT_EQ(detectedRate, 60);
}

}  // namespace
