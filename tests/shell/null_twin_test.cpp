// The headless twin on its own: the virtual clock rule, events and the pointer kept from them,
// keys, and the emulated display without GL.
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

TEST_F(NullTwin, SleepAdvancesTheClockAndAnEmptyPollCostsOneMillisecond) {
    EXPECT_EQ(Platform::Ticks(), 0u);
    Platform::Sleep(16);
    EXPECT_EQ(Platform::Ticks(), 16u);
    EXPECT_FALSE(Platform::PollEvent(&e));
    EXPECT_EQ(Platform::Ticks(), 17u);
    NullPlatform::PushQuit();
    EXPECT_TRUE(Platform::PollEvent(&e));   // a delivered event costs no time
    EXPECT_EQ(e.type, Platform::EVENT_QUIT);
    EXPECT_EQ(Platform::Ticks(), 17u);
    // A loop that waits for time by polling always gets there.
    uint32_t start = Platform::Ticks();
    while (Platform::Ticks() - start < 50) Platform::PollEvent(&e);
    EXPECT_EQ(Platform::Ticks(), start + 50);
}

TEST_F(NullTwin, EventsMoveThePointerInOrderAndAQuickTapStillReadsAsPressedOnce) {
    NullPlatform::PushPointerMove(10, 20);
    ASSERT_TRUE(Platform::PollEvent(&e));
    EXPECT_EQ(e.type, Platform::EVENT_MOUSEMOTION);
    EXPECT_EQ(Platform::PointerState(0, &x, &y), 0u);
    EXPECT_EQ(x + 100 * y, 10 + 100 * 20);
    EXPECT_EQ(Platform::PointerState(1, &x, &y), 0u);   // only pointer 0 exists
    NullPlatform::PushPointerButton(5, 5, true);
    NullPlatform::PushPointerButton(5, 5, false);
    while (NullPlatform::PendingEvents() > 0) Platform::PollEvent(&e);
    EXPECT_EQ(Platform::PointerState(0, &x, &y), 1u);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(Platform::PointerState(0, &x, &y), 0u);
    // A press set directly is latched the same way.
    NullPlatform::SetPointer(7, 8, 1);
    NullPlatform::SetPointer(7, 8, 0);
    EXPECT_EQ(Platform::PointerState(0, &x, &y), 1u);
    EXPECT_EQ(Platform::PointerState(0, &x, &y), 0u);
}

TEST_F(NullTwin, KeysFollowTheirEventsAndCanBePeeked) {
    NullPlatform::PushKey(27, true);
    EXPECT_TRUE(Platform::PeekKeyDown(&e));
    EXPECT_EQ(e.keySym, 27);
    int count = 0;
    uint8_t* keys = Platform::KeyState(&count);
    ASSERT_GT(count, 323);
    EXPECT_EQ(keys[27], 0);   // peeking delivers nothing
    Platform::PollEvent(&e);
    EXPECT_EQ(keys[27], 1);
    NullPlatform::PushKey(27, false);
    Platform::PollEvent(&e);
    EXPECT_EQ(keys[27], 0);
    NullPlatform::PushKey(100000, true);   // out of the table: delivered, ignored
    EXPECT_TRUE(Platform::PollEvent(&e));
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
