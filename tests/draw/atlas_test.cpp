// The atlas routines' corners and texels, the fast trigonometry, the list fade and the
// filling of the atlas table by its frame rule (the generated list itself is checked with the media).
#include <cmath>
#include <functional>

#include "game/draw/draw.h"
#include "game/state/globals.h"
#include "runtime/core/data_list.h"
#include "runtime/graphics/polygon_batch.h"
#include "tests/draw/draw_fixture.h"

namespace {

class Atlas : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        SetRect(5, 2, 400, 200, 50, 30);  // 50 x 30 frames
        SetRect(5, 0, 500, 300, 50, 30);
    }
    static Quad Only() {
        std::vector<Quad> q = Quads();
        EXPECT_EQ(q.size(), 1u);
        return q.empty() ? Quad{} : q[0];
    }
};

TEST_F(Atlas, RectanglesAreSixVerticesInFixedOrder) {
    struct Case {
        const char* name;
        float scale, clock;
        std::function<void()> draw;
        float l, t, r, b, u0, v0, u1, v1;
    };
    const Case cases[] = {
        {"frame", 1, 0, [] { DrawAtlasFrame(5, 2, 10, 20); }, 10, 20, 60, 50, 400, 200, 450, 230},
        {"frame truncates", 1, 0, [] { DrawAtlasFrame(5, 2.7f, 10, 20); }, 10, 20, 60, 50, 400, 200, 450, 230},
        {"item truncates", 1, 0, [] { DrawAtlasItem(5.9f, 10, 20); }, 10, 20, 60, 50, 500, 300, 550, 330},
        // Scaling multiplies position and size; the border belongs to the viewport, not the vertices.
        {"scaled item", 2, 0, [] { DrawAtlasItem(5, 10, 20); }, 20, 40, 120, 100, 500, 300, 550, 330},
        {"partial 40", 1, 0, [] { DrawAtlasItemPartial(5, 10, 20, 40); }, 10, 20, 30, 50, 500, 300, 520, 330},
        {"partial 0", 1, 0, [] { DrawAtlasItemPartial(5, 10, 20, 0); }, 10, 20, 10, 50, 500, 300, 500, 330},
        {"scaled partial", 2, 0, [] { DrawAtlasItemPartial(5, 10, 20, 50); }, 20, 40, 70, 100, 500, 300, 525, 330},
        {"widened", 1, -20, [] { DrawAtlasItemWidened(5, 10, 20); }, 10, 20, 40, 50, 500, 300, 530, 330},
        {"widened to nothing", 1, -50, [] { DrawAtlasItemWidened(5, 10, 20); }, 10, 20, 10, 50, 500, 300, 500, 330},
        {"scaled widened", 2, -20, [] { DrawAtlasItemWidened(5, 10, 20); }, 20, 40, 80, 100, 500, 300, 530, 330},
        // Zoom scales about the centre of the unscaled place: (35, 35), or (70, 70) scaled.
        {"zoom 1.1", 1, 0, [] { DrawAtlasFrameZoomed(5, 2, 10, 20, 1.1f); }, 7.5f, 18.5f, 62.5f, 51.5f, 400, 200, 450, 230},
        {"scaled zoom", 2, 0, [] { DrawAtlasFrameZoomed(5, 2, 10, 20, 0.5f); }, 45, 55, 95, 85, 400, 200, 450, 230},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scalingOn = c.scale != 1;
        scaleX = scaleY = c.scale;
        offsetX = c.scale != 1 ? 42 : 0;
        gameClock = c.clock;
        Begin();
        c.draw();
        const Quad q = Only();
        // Top-left, bottom-left, bottom-right twice, top-right, top-left again.
        const float want[6][4] = {{c.l, c.t, c.u0, c.v0}, {c.l, c.b, c.u0, c.v1}, {c.r, c.b, c.u1, c.v1},
                                  {c.r, c.b, c.u1, c.v1}, {c.r, c.t, c.u1, c.v0}, {c.l, c.t, c.u0, c.v0}};
        for (int k = 0; k < 6; ++k) {
            const QuadVertex& v = q.p[k];
            EXPECT_TRUE(std::fabs(v.x - want[k][0]) + std::fabs(v.y - want[k][1]) + std::fabs(v.u - want[k][2]) +
                            std::fabs(v.v - want[k][3]) < 1e-3)
                << "corner " << k << ": " << v.x << "," << v.y << " texel " << v.u << "," << v.v;
            EXPECT_EQ(LastBatchVertices()[k].r + LastBatchVertices()[k].a, 510) << "white, opaque";
        }
    }
    offsetX = 0;
    gameClock = 0;
}

TEST_F(Atlas, TableBounds) {
    SetRect(121, 0, 600, 900, 10, 10);
    Begin();
    DrawAtlasItem(-1, 0, 0);  // a negative item is the last table entry
    EXPECT_EQ(Only().item, 121);
    EXPECT_EXIT({ Begin(); DrawAtlasItem(122, 0, 0); }, testing::ExitedWithCode(0), "bounds");
    EXPECT_EXIT({ Begin(); DrawAtlasFrame(5, 48, 0, 0); }, testing::ExitedWithCode(0), "bounds");
}

TEST(FastTrig, KnownValuesAndLibrarySineOverSeveralTurns) {
    for (float d = -720; d <= 720; d += 0.25f) {
        ASSERT_NEAR(FastSin(d), std::sin(d * M_PI / 180), 0.002) << d;
        ASSERT_NEAR(FastCos(d), std::cos(d * M_PI / 180), 0.002) << d;
    }
    // Angles far beyond a turn still give a sine; no number at all gives 0.
    EXPECT_NEAR(FastSin(90 + 360 * 10), 1, 0.002);
    EXPECT_LE(std::fabs(FastSin(1e12f)), 1.001f);
    EXPECT_FLOAT_EQ(FastSin(std::nanf("")), 0);
}

TEST(ListFade, RowsFadeOverThirtyUnitsAtTheWindowEdges) {
    const float cases[][2] = {{200, -1}, {88, -1}, {394, -1}, {73, -0.5f}, {409, -0.5f}, {82, -0.8f}, {400, -0.8f},
                              {40, -0.000001f}, {450, -0.000001f}, {-1000, -0.000001f},
                              {58, -0.000001f}, {424, -0.000001f}};  // on the boundary: hidden
    for (const auto& c : cases) EXPECT_NEAR(ListFadeAlpha(c[0], -1), c[1], 1e-7) << c[0];
    EXPECT_FLOAT_EQ(ListFadeAlpha(200, -0.6f), -0.6f);
    for (float y = -100; y < 600; y += 0.5f) ASSERT_LT(ListFadeAlpha(y, -1), 0) << y;  // always normal blend
}

TEST(GlyphTable, RecordsAndFrameRunsThatWrapAtTheAtlasEdge) {
    static const float LIST[] = {
        16, 1, 5, 5, 320, 480,     // one frame
        20, 5, 924, 100, 50, 40,   // 924, 974, then x reaches 1024 and wraps to the next row
        42, 3, 0, 600, 32.5f, 36,  // fractional widths keep advancing exactly
        255, 7, 1, 1, 1, 1, 1,     // after the end: never read
    };
    DataList list(LIST);
    FillGlyphTable(list);
    const int expect[][6] = {{16, 0, 5, 5, 320, 480}, {20, 0, 924, 100, 50, 40}, {20, 1, 974, 100, 50, 40},
                             {20, 2, 0, 140, 50, 40},  {20, 4, 100, 140, 50, 40},  {20, 5, 0, 0, 0, 0},
                             {42, 1, 32, 600, 32, 36}, {42, 2, 65, 600, 32, 36},   {7, 0, 0, 0, 0, 0}};
    for (const auto& e : expect)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(glyphTable(e[0], e[1], k), e[2 + k]) << e[0] << "/" << e[1] << "/" << k;
    EXPECT_EQ(list.readIndex, 19);

    static const float NO_END[] = {1, 1, 0, 0, 50, 50};
    EXPECT_EXIT({ DataList l(NO_END); FillGlyphTable(l); }, testing::ExitedWithCode(0), "");  // out of data
}

}  // namespace
