// The loading screen's batch: the bar's filled part for each step, bad steps kept inside the
// bar, and the outro that closes it.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/state/globals.h"
#include "game/shell/resources.h"
#include "runtime/graphics/draw_stats.h"
#include "runtime/graphics/polygon_batch.h"
#include "tests/shell/shell_fixture.h"

namespace {

struct Box {
    float x1, y1, x2, y2;
};

// Bounding box of the six vertices of rectangle n of a batch, in design units.
Box Rect(size_t n, const std::vector<BatchVertex>& v = LastBatchVertices()) {
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
        EXPECT_TRUE(filled.x1 == 17.5f && filled.y1 == 240 && filled.y2 == 261) << filled.x1 << " " << filled.y1;
        EXPECT_NEAR(filled.x2, c.filledTo, 1e-3);
        EXPECT_NEAR(empty.x1, c.filledTo, 1e-3);
        EXPECT_FLOAT_EQ(empty.x2, 302.5f);
    }
}

std::vector<FrameDrawStats> outroFrames;
std::vector<BatchVertex> lastDrawn;
void KeepFrame(const FrameDrawStats& s) {
    outroFrames.push_back(s);
    if (s.vertices > 0) lastDrawn = LastBatchVertices();
}

TEST_F(Loading, TheOutroFadesToBlackInFiftyFramesClosingTheBarTowardsTheMiddle) {
    uint64_t frames = NullPlatform::FramesPresented();
    outroFrames.clear();
    EnableDrawStats(true);
    SetFrameDrawStatsListener(KeepFrame);
    PlayLoadingOutro();
    SetFrameDrawStatsListener(nullptr);
    EnableDrawStats(false);
    EXPECT_EQ(NullPlatform::FramesPresented(), frames + 50);
    ASSERT_EQ(outroFrames.size(), 50u);
    // Never brighter than the frame before, and black at the end: the last frame draws nothing.
    for (size_t i = 1; i < outroFrames.size(); ++i) {
        SCOPED_TRACE(i);
        const FrameDrawStats& s = outroFrames[i];
        EXPECT_LE(s.peakAlpha, outroFrames[i - 1].peakAlpha);
        // The background covers the design area unblended; only the elements blend.
        if (i < 49) {
            EXPECT_NEAR(s.opaquePixels, 320 * 480 * scaleX * scaleY, 1);
            EXPECT_LT(s.blendedPixels, 320 * 480 * scaleX * scaleY / 4);
        }
    }
    EXPECT_GT(outroFrames[0].peakAlpha, 0.9f);
    EXPECT_EQ(outroFrames.back().vertices, 0u);
    EXPECT_EQ(outroFrames.back().peakAlpha, 0.0f);
    // The 49th frame, the last with anything on it: label, title and the three bar pieces after
    // the background.
    const std::vector<BatchVertex>& v = lastDrawn;
    ASSERT_EQ(v.size(), 36u);
    EXPECT_NEAR(Rect(1, v).y1, 338 - 0.2 * 49, 1e-3);
    EXPECT_NEAR(Rect(2, v).y1, 160 + 0.2 * 49, 1e-3);
    EXPECT_NEAR(Rect(4, v).x2 - Rect(4, v).x1, 2 * (134 - 2.68 * 49), 1e-2);
    EXPECT_NEAR(Rect(3, v).x2, Rect(4, v).x1, 1e-3);
    EXPECT_NEAR(Rect(5, v).x1 - Rect(3, v).x1, 11 + 2 * (134 - 2.68 * 49), 1e-2);
    EXPECT_TRUE(v[0].a == 255 && v[0].r < 10) << "the background is drawn opaque, darkened by its colour";
    EXPECT_LT(v[6].a, 10) << "the elements fade by their alpha";
}

}  // namespace
