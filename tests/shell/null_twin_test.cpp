// The headless twin on its own: the virtual clock rule, the pointer kept from events, and the
// emulated display without GL. (Its keys are read through the input tests.)
#include <gtest/gtest.h>

#include <cstdlib>

#include "runtime/platform/null_platform.h"
#include "runtime/platform/platform.h"

namespace {

class NullTwin : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("SQUIBLY_DISPLAY");
        NullPlatform::Reset();
    }
    Platform::Event e;
    int x = 0, y = 0;
};

// Only sleeping and empty polls move the clock, so a loop that waits for time by polling always
// gets there.
TEST_F(NullTwin, SleepAdvancesTheClockAndAnEmptyPollCostsOneMillisecond) {
    Platform::Sleep(16);
    EXPECT_FALSE(Platform::PollEvent(&e));
    EXPECT_EQ(Platform::Ticks(), 17u);
    NullPlatform::PushQuit();
    EXPECT_TRUE(Platform::PollEvent(&e));
    EXPECT_EQ(e.type, Platform::EVENT_QUIT);
    EXPECT_EQ(Platform::Ticks(), 17u) << "a delivered event costs no time";
    while (Platform::Ticks() < 67) Platform::PollEvent(&e);
    EXPECT_EQ(Platform::Ticks(), 67u);
}

TEST_F(NullTwin, EventsMoveThePointerAndAQuickTapStillReadsAsPressedOnce) {
    NullPlatform::PushPointerMove(10, 20);
    NullPlatform::PushPointerButton(5, 5, true);
    NullPlatform::PushPointerButton(5, 5, false);
    ASSERT_TRUE(Platform::PollEvent(&e));
    EXPECT_EQ(e.type, Platform::EVENT_MOUSEMOTION);
    EXPECT_EQ(Platform::PointerState(0, &x, &y), 0u);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(10, 20));
    EXPECT_EQ(Platform::PointerState(1, &x, &y), 0u);   // only pointer 0 exists
    while (NullPlatform::PendingEvents() > 0) Platform::PollEvent(&e);
    EXPECT_EQ(Platform::PointerState(0, &x, &y), 1u);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(Platform::PointerState(0, &x, &y), 0u);
}

TEST_F(NullTwin, TheDisplayIsATabletWithoutGLUnlessChosenOtherwise) {
    EXPECT_EQ(Platform::DesktopInfo().width, 768);
    EXPECT_EQ(Platform::DesktopInfo().height, 1024);
    EXPECT_FALSE(Platform::HasGL());
    EXPECT_EQ(Platform::GetGLProc("glGenFramebuffersOES"), nullptr);
    setenv("SQUIBLY_DISPLAY", "320x480", 1);
    EXPECT_EQ(Platform::DesktopInfo().width, 320);
    setenv("SQUIBLY_DISPLAY", "garbage", 1);
    NullPlatform::Reset();
    EXPECT_EQ(Platform::DesktopInfo().width, 768);
    NullPlatform::SetDisplaySize(1024, 768);   // an explicit choice wins over the environment
    setenv("SQUIBLY_DISPLAY", "320x480", 1);
    EXPECT_EQ(Platform::DesktopInfo().width, 1024);
    unsetenv("SQUIBLY_DISPLAY");
}

}  // namespace
