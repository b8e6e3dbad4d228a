// The water background: fifteen swaying bands (or one static picture in low quality) and the bubbles.
#include <cmath>

#include "game/play/screen_effects.h"
#include "game/shell/globals.h"
#include "game/shell/menu_background.h"
#include "runtime/graphics/polygon_batch.h"
#include "tests/draw/draw_fixture.h"

namespace {

class Background : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        backdropScroll = 0;
        SetRect(16, 0, 5, 5, 320, 480);  // the static picture lives in the background region
    }
};

TEST_F(Background, BandsReadTheWaveAtTheScrollAndLeaveItWhereItWas) {
    Begin();
    DrawBackgroundLayer();
    const std::vector<BatchVertex>& vs = LastBatchVertices();
    ASSERT_EQ(vs.size(), 90u);
    std::vector<Quad> q = Quads();
    for (int k = 0; k < 15; ++k) {
        float y0 = 32.0f * k, y1 = y0 + 32;
        float wt = Wave(32 * k), wb = Wave(32 * k + 32);
        // (0,y0) (0,y1) (320,y1) (0,y0) (320,y0) (320,y1)
        const float expect[6][4] = {
            {0, y0, wt + 5, y0 + 5 - wt},      {0, y1, wb + 5, y1 + 5 - wb},
            {320, y1, wb + 325, y1 + 5 - wb},  {0, y0, wt + 5, y0 + 5 - wt},
            {320, y0, wt + 325, y0 + 5 - wt},  {320, y1, wb + 325, y1 + 5 - wb},
        };
        for (int n = 0; n < 6; ++n) {
            EXPECT_FLOAT_EQ(q[k].p[n].x, expect[n][0]) << k << "," << n;
            EXPECT_FLOAT_EQ(q[k].p[n].y, expect[n][1]) << k << "," << n;
            EXPECT_NEAR(q[k].p[n].u, expect[n][2], 1e-3) << k << "," << n;
            EXPECT_NEAR(q[k].p[n].v, expect[n][3], 1e-3) << k << "," << n;
        }
    }
    EXPECT_EQ(backdropScroll, 0);
    // The bands never read outside the 5-texel margin of the 330 x 490 region.
    for (const Quad& band : q)
        for (const QuadVertex& v : band.p) {
            EXPECT_GE(v.u, 0);
            EXPECT_LE(v.u, 330);
            EXPECT_GE(v.v, 0);
            EXPECT_LE(v.v, 490);
        }
}

TEST_F(Background, ScrollFarBelowZeroDrawsTheSamePicture) {
    backdropScroll = 440;
    Begin();
    DrawBackgroundLayer();
    std::vector<BatchVertex> reference = LastBatchVertices();
    backdropScroll = 440 - 480 * 300;  // many minutes of the static background
    Begin();
    DrawBackgroundLayer();
    const std::vector<BatchVertex>& vs = LastBatchVertices();
    ASSERT_EQ(vs.size(), reference.size());
    for (size_t i = 0; i < vs.size(); ++i) {
        EXPECT_FLOAT_EQ(vs[i].s, reference[i].s);
        EXPECT_FLOAT_EQ(vs[i].t, reference[i].t);
    }
    EXPECT_EQ(backdropScroll, 440);

    // A scroll above the period, or no number at all, still keeps the wave reads inside the table.
    backdropScroll = 440 + 480 * 1000;
    Begin();
    DrawBackgroundLayer();
    EXPECT_EQ(backdropScroll, 440);
    backdropScroll = std::nanf("");
    Begin();
    DrawBackgroundLayer();
    EXPECT_EQ(LastBatchVertices().size(), 90u);
    EXPECT_EQ(backdropScroll, 0);
}

TEST_F(Background, ScaledBandsAndBrightness) {
    scalingOn = 1;
    scaleX = scaleY = 2.5f;
    brightness = -0.7f;
    Begin();
    DrawBackgroundLayer();
    std::vector<Quad> q = Quads();
    ASSERT_EQ(q.size(), 15u);
    EXPECT_FLOAT_EQ(q[14].p[2].x, 800);
    EXPECT_FLOAT_EQ(q[14].p[2].y, 1200);
    EXPECT_EQ(q[0].p[0].alpha, static_cast<int>(0.7f * 255));
}

TEST_F(Background, LowQualityDrawsOnlyTheStaticPictureAndNoBubbles) {
    lowQuality = 1;
    brightness = -0.7f;
    for (int i = 0; i < 20; ++i) {
        bubbleX(i) = 100;
        bubbleY(i) = 100;
    }
    Begin();
    DrawBackgroundLayer();
    DrawBubbleLayer();
    std::vector<Quad> q = Quads();
    ASSERT_EQ(q.size(), 1u) << Describe(q);
    EXPECT_EQ(q[0].item, 16);
    EXPECT_FLOAT_EQ(q[0].p[0].x, 0);
    EXPECT_FLOAT_EQ(q[0].p[0].y, 0);
    EXPECT_FLOAT_EQ(q[0].p[2].x, 320);
    EXPECT_FLOAT_EQ(q[0].p[2].y, 480);
    EXPECT_EQ(q[0].p[0].alpha, static_cast<int>(0.7f * 255));

    // Back to full quality: the bands come back.
    lowQuality = 0;
    Begin();
    DrawBackgroundLayer();
    EXPECT_EQ(Quads().size(), 15u);
}

TEST_F(Background, BubblesDriftAlongTheWaveBySize) {
    for (int i = 0; i < 20; ++i) {
        bubbleX(i) = 10 + i;
        bubbleY(i) = 200 + 5 * i;
        bubblePhase(i) = 17 * i;
    }
    brightness = -0.5f;  // bubbles draw at full strength whatever the background does
    Begin();
    DrawBubbleLayer();
    std::vector<Quad> q = Quads();
    ASSERT_EQ(q.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(q[i].item, i < 10 ? 57 : i < 15 ? 58 : 59) << i;
        EXPECT_NEAR(q[i].p[0].x, 10 + i + Wave(17 * i), 1e-4) << i;
        EXPECT_FLOAT_EQ(q[i].p[0].y, 200 + 5 * i);
        EXPECT_EQ(q[i].p[0].alpha, 255);
    }
}

}  // namespace
