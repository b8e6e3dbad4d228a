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
};

TEST_F(Pacing, ALongFrameCatchesUpKeepingItsDebtAndAShortOneForgivesLargeCredit) {
    EXPECT_EQ(Run(1, {60})[0], 3);
    EXPECT_EQ(frameElapsed, 60);
    EXPECT_NEAR(tickDebt, -10.0f, 0.01f);
    tickDebt = 0;
    EXPECT_EQ(Run(1, {2})[0], 1);
    EXPECT_NEAR(tickDebt, 14.667f, 0.01f);
    EXPECT_EQ(Run(1, {0})[0], 1);   // credit above one tick is dropped rather than banked
    EXPECT_EQ(tickDebt, 0);
}

// 60 Hz locks sixty (a run of 50 Hz frames after it never switches the tick to 20 ms), 75 Hz is
// classed fast and limits the frame rate, and windows that disagree give no rate; in each a frame
// runs one tick.
TEST_F(Pacing, SixtyAndSeventyFiveHertzAndDisagreeingWindowsKeepOneSixtiethTickAFrame) {
    struct Case { std::vector<std::vector<int>> windows; float rate, locked, limited; } cases[] = {
        {{{16, 17, 17}, {16, 17, 17}, {16, 17, 17}, {16, 17, 17}}, 60, 1, 0},
        {{{16, 17, 17}, {16, 17, 17}, {16, 17, 17}, {16, 17, 17}, {20}, {20}, {20}, {20}, {20}}, 0, 1, 0},
        {{{13, 13, 14}, {13, 13, 14}, {13, 13, 14}, {13, 13, 14}}, -1, 0, 1},
        {{{20}, {16, 17, 17}, {20}}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.windows.size());
        SetUp();
        for (const std::vector<int>& window : c.windows)
            for (int ticks : Run(60, window)) ASSERT_TRUE(window[0] == 20 ? ticks <= 2 : ticks == 1) << ticks;
        EXPECT_EQ(detectedRate, c.rate);
        EXPECT_EQ(rateLocked60, c.locked);
        EXPECT_EQ(frameLimitSet, c.limited);
        EXPECT_NEAR(tickMs, TICK60, 1e-4f);
    }
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
    for (size_t i = 181; i < ticks.size(); ++i) ASSERT_EQ(ticks[i], 1) << "frame " << i;
}

}  // namespace
