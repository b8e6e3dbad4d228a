// Where the atlas routines put a picture's corners and which texels they take.
#include <cmath>

#include "game/draw/draw.h"
#include "game/shell/globals.h"
#include "runtime/graphics/polygon_batch.h"
#include "tests/draw/draw_fixture.h"

namespace {

class AtlasGeometry : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        SetRect(5, 2, 400, 200, 50, 30);  // a 50 x 30 frame
        SetRect(5, 0, 500, 300, 50, 30);
    }
    static Quad Only() {
        std::vector<Quad> q = Quads();
        EXPECT_EQ(q.size(), 1u);
        return q.empty() ? Quad{} : q[0];
    }
};

void ExpectCorner(const QuadVertex& v, float x, float y, float u, float t) {
    EXPECT_NEAR(v.x, x, 1e-3) << "screen x";
    EXPECT_NEAR(v.y, y, 1e-3) << "screen y";
    EXPECT_NEAR(v.u, u, 1e-3) << "texel x";
    EXPECT_NEAR(v.v, t, 1e-3) << "texel y";
}

// Top-left, bottom-left, bottom-right twice, top-right, top-left again.
void ExpectRect(const Quad& q, float l, float t, float r, float b, float u0, float v0, float u1, float v1) {
    ExpectCorner(q.p[0], l, t, u0, v0);
    ExpectCorner(q.p[1], l, b, u0, v1);
    ExpectCorner(q.p[2], r, b, u1, v1);
    ExpectCorner(q.p[3], r, b, u1, v1);
    ExpectCorner(q.p[4], r, t, u1, v0);
    ExpectCorner(q.p[5], l, t, u0, v0);
}

TEST_F(AtlasGeometry, FrameIsSixVerticesInFixedOrderWithWhiteColour) {
    Begin();
    DrawAtlasFrame(5, 2, 10, 20);
    Quad q = Only();
    ExpectRect(q, 10, 20, 60, 50, 400, 200, 450, 230);
    const std::vector<BatchVertex>& vs = LastBatchVertices();
    for (const BatchVertex& v : vs) EXPECT_TRUE(v.r == 255 && v.g == 255 && v.b == 255 && v.a == 255);
}

TEST_F(AtlasGeometry, ItemIsFrameZeroAndArgumentsTruncate) {
    Begin();
    DrawAtlasItem(5.9f, 0, 0);
    DrawAtlasFrame(5, 2.7f, 0, 0);
    std::vector<Quad> q = Quads();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].item, 5);
    EXPECT_EQ(q[0].frame, 0);
    EXPECT_EQ(q[1].frame, 2);
}

TEST_F(AtlasGeometry, ScalingMultipliesPositionAndSizeWithoutBorder) {
    scalingOn = 1;
    scaleX = scaleY = 2;
    offsetX = 42;  // the border belongs to the viewport, never to the vertices
    Begin();
    DrawAtlasItem(5, 10, 20);
    ExpectRect(Only(), 20, 40, 120, 100, 500, 300, 550, 330);
    offsetX = 0;
}

TEST_F(AtlasGeometry, PartialCutsTexelsAndScreenTogether) {
    Begin();
    DrawAtlasItemPartial(5, 10, 20, 40);
    ExpectRect(Only(), 10, 20, 30, 50, 500, 300, 520, 330);

    Begin();
    DrawAtlasItemPartial(5, 10, 20, 0);
    Quad empty = Only();
    EXPECT_FLOAT_EQ(empty.p[2].x, empty.p[0].x);
    EXPECT_FLOAT_EQ(empty.p[2].u, empty.p[0].u);

    Begin();
    DrawAtlasItemPartial(5, 10, 20, 100);
    ExpectRect(Only(), 10, 20, 60, 50, 500, 300, 550, 330);

    scalingOn = 1;
    scaleX = scaleY = 2;
    Begin();
    DrawAtlasItemPartial(5, 10, 20, 50);
    ExpectRect(Only(), 20, 40, 70, 100, 500, 300, 525, 330);
}

TEST_F(AtlasGeometry, WidenedFollowsTheClock) {
    gameClock = -20;
    Begin();
    DrawAtlasItemWidened(5, 10, 20);
    ExpectRect(Only(), 10, 20, 40, 50, 500, 300, 530, 330);

    gameClock = -50;  // the whole width: nothing left
    Begin();
    DrawAtlasItemWidened(5, 10, 20);
    Quad q = Only();
    EXPECT_FLOAT_EQ(q.p[2].x, q.p[0].x);
    EXPECT_FLOAT_EQ(q.p[2].u, q.p[0].u);

    gameClock = -20;
    scalingOn = 1;
    scaleX = scaleY = 2;
    Begin();
    DrawAtlasItemWidened(5, 10, 20);
    ExpectRect(Only(), 20, 40, 80, 100, 500, 300, 530, 330);
    gameClock = 0;
}

TEST_F(AtlasGeometry, ZoomScalesAboutTheCentreOfTheUnscaledPlace) {
    Begin();
    DrawAtlasFrameZoomed(5, 2, 10, 20, 1);
    ExpectRect(Only(), 10, 20, 60, 50, 400, 200, 450, 230);

    // Centre (35, 35); 10 % larger: 55 x 33.
    Begin();
    DrawAtlasFrameZoomed(5, 2, 10, 20, 1.1f);
    ExpectRect(Only(), 7.5f, 18.5f, 62.5f, 51.5f, 400, 200, 450, 230);

    scalingOn = 1;
    scaleX = scaleY = 2;
    Begin();
    DrawAtlasFrameZoomed(5, 2, 10, 20, 0.5f);  // centre (70, 70), 50 x 30 on screen
    ExpectRect(Only(), 45, 55, 95, 85, 400, 200, 450, 230);
}

TEST_F(AtlasGeometry, RotatedWithAngleMinusOneIsPlain) {
    Begin();
    DrawAtlasFrameRotated(5, 2, 10, 20, -1, 1);
    Quad q = Only();
    const float corners[6][2] = {{10, 20}, {10, 50}, {60, 50}, {60, 50}, {60, 20}, {10, 20}};
    for (int k = 0; k < 6; ++k) {
        EXPECT_NEAR(q.p[k].x, corners[k][0], 0.05);
        EXPECT_NEAR(q.p[k].y, corners[k][1], 0.05);
    }
    EXPECT_FLOAT_EQ(q.p[2].u, 450);
    EXPECT_FLOAT_EQ(q.p[2].v, 230);
}

TEST_F(AtlasGeometry, RotatedTurnsClockwiseOnScreenAsAGrows) {
    // a = 359 - 269 = 90: a quarter turn clockwise (y grows downwards), scaled by 2.
    // The 50 x 30 frame at (10, 20) has its centre at (35, 35).
    Begin();
    DrawAtlasFrameRotated(5, 2, 10, 20, 269, 2);
    Quad q = Only();
    // Top-left offset (-25, -15) turns to (15, -25), doubled.
    EXPECT_NEAR(q.p[0].x, 35 + 30, 0.1);
    EXPECT_NEAR(q.p[0].y, 35 - 50, 0.1);
    // Bottom-right offset (25, 15) turns to (-15, 25), doubled.
    EXPECT_NEAR(q.p[2].x, 35 - 30, 0.1);
    EXPECT_NEAR(q.p[2].y, 35 + 50, 0.1);

    // An off-axis angle against the library's trigonometry.
    const float angle = 329, scale = 1.5f;
    double a = (359 - angle) * M_PI / 180;
    Begin();
    DrawAtlasFrameRotated(5, 2, 10, 20, angle, scale);
    q = Only();
    const float offsets[6][2] = {{-25, -15}, {-25, 15}, {25, 15}, {25, 15}, {25, -15}, {-25, -15}};
    for (int k = 0; k < 6; ++k) {
        double dx = offsets[k][0], dy = offsets[k][1];
        EXPECT_NEAR(q.p[k].x, 35 + (std::cos(a) * dx - std::sin(a) * dy) * scale, 0.1) << k;
        EXPECT_NEAR(q.p[k].y, 35 + (std::sin(a) * dx + std::cos(a) * dy) * scale, 0.1) << k;
    }
}

TEST_F(AtlasGeometry, WavingDisplacesEachCornerByItsOwnWaveEntry) {
    for (int k = 0; k < 600; ++k) textWave(k) = 0.01f * k;  // entry k reads k / 100
    titleWavePhase = 5;
    Begin();
    DrawAtlasItemWaving(3, 5, 10, 20, 1);  // p = 8; plain corners (10, 20) .. (60, 50)
    Quad q = Only();
    auto T = [](int k) { return 0.01f * (8 + k); };
    ExpectCorner(q.p[0], 10 + T(10), 20 + T(0), 500, 300);
    ExpectCorner(q.p[1], 10 + T(20), 50 + T(10), 500, 330);
    ExpectCorner(q.p[2], 60 + T(30), 50 + T(20), 550, 330);
    ExpectCorner(q.p[3], 60 + T(30), 50 + T(20), 550, 330);
    ExpectCorner(q.p[4], 60 + T(40), 20 + T(40), 550, 300);
    ExpectCorner(q.p[5], 10 + T(10), 20 + T(0), 500, 300);

    // Scaled: corners scale about the centre, displacements by scaleY on both axes.
    scalingOn = 1;
    scaleX = scaleY = 2;
    Begin();
    DrawAtlasItemWaving(3, 5, 10, 20, 0.5f);  // centre (70, 70), 50 x 30
    q = Only();
    ExpectCorner(q.p[0], 45 + 2 * T(10), 55 + 2 * T(0), 500, 300);
    ExpectCorner(q.p[4], 95 + 2 * T(40), 55 + 2 * T(40), 550, 300);
}

TEST_F(AtlasGeometry, NegativeItemIsTheLastTableEntry) {
    SetRect(121, 0, 600, 900, 10, 10);
    Begin();
    DrawAtlasItem(-1, 0, 0);
    EXPECT_EQ(Only().item, 121);
}

TEST_F(AtlasGeometry, ItemOutsideTheTableEndsTheProgram) {
    EXPECT_EXIT(
        {
            Begin();
            DrawAtlasItem(122, 0, 0);
        },
        testing::ExitedWithCode(0), "bounds");
    EXPECT_EXIT(
        {
            Begin();
            DrawAtlasFrame(5, 48, 0, 0);
        },
        testing::ExitedWithCode(0), "bounds");
}

}  // namespace
