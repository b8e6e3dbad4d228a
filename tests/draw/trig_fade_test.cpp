// The fast sine and cosine, and the fade of list rows near the list window's edges.
#include <gtest/gtest.h>

#include <cmath>

#include "game/draw/draw.h"

namespace {

TEST(FastTrig, KnownValues) {
    EXPECT_FLOAT_EQ(FastSin(0), 0);
    EXPECT_NEAR(FastSin(90), 1, 0.001);
    EXPECT_NEAR(FastSin(-90), -1, 0.001);
    EXPECT_NEAR(FastSin(30), 0.5, 0.001);
    EXPECT_NEAR(FastCos(0), 1, 0.001);
    EXPECT_NEAR(FastCos(180), -1, 0.001);
    EXPECT_NEAR(FastCos(60), 0.5, 0.001);
    // Angles far beyond a turn still give a sine; no number at all gives 0.
    EXPECT_NEAR(FastSin(90 + 360 * 10), 1, 0.002);
    EXPECT_LE(std::fabs(FastSin(1e12f)), 1.001f);
    EXPECT_FLOAT_EQ(FastSin(std::nanf("")), 0);
}

TEST(FastTrig, FollowsTheLibrarySineOverSeveralTurns) {
    double worst = 0;
    for (float d = -720; d <= 720; d += 0.25f) {
        double exact = std::sin(d * M_PI / 180);
        worst = std::max(worst, std::fabs(FastSin(d) - exact));
        ASSERT_NEAR(FastCos(d), std::cos(d * M_PI / 180), 0.002) << d;
    }
    EXPECT_LT(worst, 0.002);
}

TEST(ListFade, RowsInsideTheWindowKeepTheirAlpha) {
    EXPECT_FLOAT_EQ(ListFadeAlpha(200, -1), -1);
    EXPECT_FLOAT_EQ(ListFadeAlpha(88, -1), -1);
    EXPECT_FLOAT_EQ(ListFadeAlpha(394, -1), -1);
    EXPECT_FLOAT_EQ(ListFadeAlpha(200, -0.6f), -0.6f);
}

TEST(ListFade, RowsFadeOverThirtyUnitsAtBothEdges) {
    EXPECT_FLOAT_EQ(ListFadeAlpha(73, -1), -0.5f);
    EXPECT_FLOAT_EQ(ListFadeAlpha(409, -1), -0.5f);
    EXPECT_NEAR(ListFadeAlpha(82, -1), -0.8f, 1e-6);
    EXPECT_NEAR(ListFadeAlpha(400, -1), -0.8f, 1e-6);
}

TEST(ListFade, RowsBeyondTheWindowArePracticallyInvisible) {
    EXPECT_FLOAT_EQ(ListFadeAlpha(40, -1), -0.000001f);
    EXPECT_FLOAT_EQ(ListFadeAlpha(450, -1), -0.000001f);
    EXPECT_FLOAT_EQ(ListFadeAlpha(-1000, -1), -0.000001f);
    // On the boundary itself a row is hidden like its neighbours beyond it.
    EXPECT_FLOAT_EQ(ListFadeAlpha(58, -1), -0.000001f);
    EXPECT_FLOAT_EQ(ListFadeAlpha(424, -1), -0.000001f);
    // Every result is a normal-blend value (negative).
    for (float y = -100; y < 600; y += 0.5f) ASSERT_LT(ListFadeAlpha(y, -1), 0) << y;
}

}  // namespace
