// One frame of the main loop on the headless twin: the pointer mapped into design units, the
// ticks a frame runs, and the viewport in whole pixels.
#include <gtest/gtest.h>

#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "runtime/graphics/graphics_device.h"
#include "tests/shell/shell_fixture.h"

namespace {

class FrameLoop : public ::testing::Test {
protected:
    void SetUp() override {
        StartRuntimeOnce();
        graphicsDevice->Orientation = 0;
        graphicsDevice->deviceWidth = 768;
        graphicsDevice->deviceHeight = 1024;
        ComputeDisplayScaling();
        DimensionPlayTables();
        StartPacing();
        phase = 6;   // a phase that runs nothing: only the frame's own work is seen
        screen = 11;
    }
};

TEST_F(FrameLoop, TicksRunUntilTheFrameHasNoneLeftAndReadTheTouchInDesignUnits) {
    NullPlatform::SetPointer(static_cast<int>(offsetX + 100 * scaleX), static_cast<int>(200 * scaleY), 1);
    long long before = logicTickCount;
    ticksThisFrame = 2;
    RunLogicTicks();
    EXPECT_EQ(ticksThisFrame, 0);
    EXPECT_EQ(logicTickCount - before, 2);
    EXPECT_NEAR(touchX, 100, 0.5f);
    EXPECT_NEAR(touchY, 200, 0.5f);
    EXPECT_EQ(touchDown, 1);
    NullPlatform::SetPointer(0, 0, 0);
    ticksThisFrame = 1;
    RunLogicTicks();
    EXPECT_EQ(touchDown, 0);
    EXPECT_LT(touchX, 0);   // the border left of the design area lies below 0
}

TEST_F(FrameLoop, TheViewportIsTheScaledDesignAreaInWholePixels) {
    DrawFrame();
    EXPECT_EQ(graphicsDevice->viewX, 42);
    EXPECT_EQ(graphicsDevice->viewWidth, 682);
    EXPECT_EQ(graphicsDevice->viewHeight, 1024);
    scalingOn = 0;
    DrawFrame();
    EXPECT_EQ(graphicsDevice->viewX, 0);
    EXPECT_EQ(graphicsDevice->viewWidth, 320);
    EXPECT_EQ(graphicsDevice->viewHeight, 480);
}

}  // namespace
