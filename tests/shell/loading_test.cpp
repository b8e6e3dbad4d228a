// The loading screen's batch: the bar's filled part for each step, bad steps kept inside the
// bar, and the outro that closes it.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/state/globals.h"
#include "game/shell/resources.h"
#include "runtime/graphics/polygon_batch.h"
#include "tests/shell/shell_fixture.h"

namespace {

struct Box {
    float x1, y1, x2, y2;
};

// Bounding box of the six vertices of rectangle n of the last batch, in design units.
Box Rect(size_t n) {
    const std::vector<BatchVertex>& v = LastBatchVertices();
    Box b{1e9f, 1e9f, -1e9f, -1e9f};
    for (size_t i = n * 6; i < n * 6 + 6 && i < v.size(); ++i) {
        b.x1 = std::min(b.x1, v[i].x / scaleX);
        b.y1 = std::min(b.y1, v[i].y / scaleY);
        b.x2 = std::max(b.x2, v[i].x / scaleX);
        b.y2 = std::max(b.y2, v[i].y / scaleY);
    }
    return b;
}

class Loading : public ::testing::Test {
protected:
    void SetUp() override {
        StartRuntimeOnce();
        scalingOn = 1;
        scaleX = scaleY = 2;
        offsetX = offsetY = 0;
    }
};

TEST_F(Loading, EachStepFillsItsShareOfThe285UnitBarAndBadStepsStayInside) {
    // Step, steps, right end of the filled part (rectangle 3); the empty part (4) follows it.
    struct Case { int step, steps; float filledTo; } cases[] = {
        {73, 73, 302.5f}, {1, 73, 17.5f + 285.0f / 73}, {500, 73, 302.5f}, {-5, 73, 17.5f}, {5, 0, 17.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        uint64_t frames = NullPlatform::FramesPresented();
        ShowLoadingProgress(c.step, c.steps);
        EXPECT_EQ(NullPlatform::FramesPresented(), frames + 1);
        ASSERT_EQ(LastBatchVertices().size(), 30u);
        Box filled = Rect(3), empty = Rect(4);
        EXPECT_FLOAT_EQ(filled.x1, 17.5f);
        EXPECT_NEAR(filled.x2, c.filledTo, 1e-3);
        EXPECT_FLOAT_EQ(filled.y1, 240);
        EXPECT_FLOAT_EQ(filled.y2, 261);
        EXPECT_NEAR(empty.x1, c.filledTo, 1e-3);
        EXPECT_FLOAT_EQ(empty.x2, 302.5f);
    }
}

TEST_F(Loading, TheOutroRunsFiftyFramesAndEndsWithTheBarClosed) {
    uint64_t frames = NullPlatform::FramesPresented();
    PlayLoadingOutro();
    EXPECT_EQ(NullPlatform::FramesPresented(), frames + 50);
    // The last batch holds label, title and the three bar pieces of the last frame.
    ASSERT_EQ(LastBatchVertices().size(), 30u);
    EXPECT_NEAR(Rect(0).y1, 338 - 0.2 * 50, 1e-3);
    EXPECT_NEAR(Rect(1).y1, 160 + 0.2 * 50, 1e-3);
    EXPECT_NEAR(Rect(3).x2 - Rect(3).x1, 0, 1e-3);
    EXPECT_NEAR(Rect(2).x1, 160 - 11, 1e-3);
    EXPECT_NEAR(Rect(4).x2, 160 + 11, 1e-3);
}

}  // namespace
