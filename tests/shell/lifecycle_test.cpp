// Lifecycle callbacks found by name, the paused frame that only waits, and quitting.
#include <gtest/gtest.h>

#include "game/play/play.h"
#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "runtime/core/lifecycle.h"
#include "tests/shell/shell_fixture.h"

namespace {

class Lifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        StartRuntimeOnce();
        StartPacing();
        DimensionPlayTables();
        highScores.DimArray(4, 6, 2);
        lifecycleRequest = 0;
        quitRequested = 0;
    }
};

// Before start-up has finished a callback must neither act nor lose the frame clock's debt; after
// it, each raises its request for the frame loop.
TEST_F(Lifecycle, CallbacksDoNothingBeforeStartUpHasFinishedAndRaiseTheirRequestsAfter) {
    startupComplete = 0;
    tickDebt = 5;
    for (const char* name : {"KRT_ON_PAUSE", "KRT_ON_QUIT", "KRT_ON_RESUME"}) EXPECT_EQ(CALLBYNAME(name), 1.0f) << name;
    EXPECT_EQ(lifecycleRequest, 0);
    EXPECT_EQ(tickDebt, 5);

    startupComplete = 1;
    ticksThisFrame = 4;
    CALLBYNAME("KRT_ON_PAUSE");
    EXPECT_EQ(lifecycleRequest, 3);
    EXPECT_EQ(tickDebt, 0);
    EXPECT_EQ(ticksThisFrame, 1);
    EXPECT_EQ(resetFrameClock, 1);
    CALLBYNAME("KRT_ON_RESUME");
    EXPECT_EQ(lifecycleRequest, 1);
    resetFrameClock = 1;
    CALLBYNAME("KRT_ON_QUIT");
    EXPECT_EQ(lifecycleRequest, 4);
    EXPECT_EQ(resetFrameClock, 0);
}

TEST_F(Lifecycle, WhilePausedNoTickRunsAndNothingIsDrawnAndAQuitEndsTheLoopOnce) {
    startupComplete = 1;
    lifecycleRequest = 3;
    long long ticks = logicTickCount;
    uint64_t frames = NullPlatform::FramesPresented();
    // The device goes away and comes back while the loop waits.
    NullPlatform::PushActive(false, Platform::APP_ACTIVE | Platform::APP_INPUTFOCUS);
    NullPlatform::PushActive(true, Platform::APP_ACTIVE | Platform::APP_INPUTFOCUS);
    EXPECT_TRUE(HandleLifecycleRequests());
    EXPECT_EQ(lifecycleRequest, 0);
    EXPECT_EQ(logicTickCount, ticks);
    EXPECT_EQ(NullPlatform::FramesPresented(), frames);
    EXPECT_EQ(ticksThisFrame, 1);
    EXPECT_EQ(resetFrameClock, 1);

    lifecycleRequest = 4;
    EXPECT_TRUE(HandleLifecycleRequests());
    EXPECT_EQ(lifecycleRequest, 0);
    phase = 99;
    RunPhaseTick();
    EXPECT_EQ(quitRequested, 1);
    EXPECT_FALSE(HandleLifecycleRequests());
}

}  // namespace
