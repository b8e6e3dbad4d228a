// The atlas routines' corners and texels, text rows, the fast trigonometry, the list fade and the
// filling of the atlas table (the generated list is parsed here independently of the game's reader).
#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

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

void ExpectCorner(const QuadVertex& v, float x, float y, float u, float t) {
    EXPECT_NEAR(v.x, x, 1e-3) << "screen x";
    EXPECT_NEAR(v.y, y, 1e-3) << "screen y";
    EXPECT_NEAR(v.u, u, 1e-3) << "texel x";
    EXPECT_NEAR(v.v, t, 1e-3) << "texel y";
}

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
        {"partial 100", 1, 0, [] { DrawAtlasItemPartial(5, 10, 20, 100); }, 10, 20, 60, 50, 500, 300, 550, 330},
        {"scaled partial", 2, 0, [] { DrawAtlasItemPartial(5, 10, 20, 50); }, 20, 40, 70, 100, 500, 300, 525, 330},
        {"widened", 1, -20, [] { DrawAtlasItemWidened(5, 10, 20); }, 10, 20, 40, 50, 500, 300, 530, 330},
        {"widened to nothing", 1, -50, [] { DrawAtlasItemWidened(5, 10, 20); }, 10, 20, 10, 50, 500, 300, 500, 330},
        {"scaled widened", 2, -20, [] { DrawAtlasItemWidened(5, 10, 20); }, 20, 40, 80, 100, 500, 300, 530, 330},
        // Zoom scales about the centre of the unscaled place: (35, 35), or (70, 70) scaled.
        {"zoom 1", 1, 0, [] { DrawAtlasFrameZoomed(5, 2, 10, 20, 1); }, 10, 20, 60, 50, 400, 200, 450, 230},
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
        Quad q = Only();
        // Top-left, bottom-left, bottom-right twice, top-right, top-left again.
        ExpectCorner(q.p[0], c.l, c.t, c.u0, c.v0);
        ExpectCorner(q.p[1], c.l, c.b, c.u0, c.v1);
        ExpectCorner(q.p[2], c.r, c.b, c.u1, c.v1);
        ExpectCorner(q.p[3], c.r, c.b, c.u1, c.v1);
        ExpectCorner(q.p[4], c.r, c.t, c.u1, c.v0);
        ExpectCorner(q.p[5], c.l, c.t, c.u0, c.v0);
        for (const BatchVertex& v : LastBatchVertices()) EXPECT_TRUE(v.r == 255 && v.g == 255 && v.b == 255 && v.a == 255);
    }
    offsetX = 0;
    gameClock = 0;
}

TEST_F(Atlas, RotatedTurnsAboutTheCentreAgainstLibraryTrigonometry) {
    // The 50 x 30 frame at (10, 20) has its centre at (35, 35); the turn is by 359 - angle degrees,
    // so angle -1 with scale 1 is the plain frame and 269 a clockwise quarter turn on screen.
    const float offsets[6][2] = {{-25, -15}, {-25, 15}, {25, 15}, {25, 15}, {25, -15}, {-25, -15}};
    const float turns[][2] = {{-1, 1}, {269, 2}, {329, 1.5f}};
    for (const auto& turn : turns) {
        float angle = turn[0], scale = turn[1];
        SCOPED_TRACE(angle);
        double a = (359 - angle) * M_PI / 180;
        Begin();
        DrawAtlasFrameRotated(5, 2, 10, 20, angle, scale);
        Quad q = Only();
        for (int k = 0; k < 6; ++k) {
            double dx = offsets[k][0], dy = offsets[k][1];
            EXPECT_NEAR(q.p[k].x, 35 + (std::cos(a) * dx - std::sin(a) * dy) * scale, 0.1) << k;
            EXPECT_NEAR(q.p[k].y, 35 + (std::sin(a) * dx + std::cos(a) * dy) * scale, 0.1) << k;
        }
        EXPECT_FLOAT_EQ(q.p[2].u, 450);
        EXPECT_FLOAT_EQ(q.p[2].v, 230);
    }
}

TEST_F(Atlas, WavingDisplacesEachCornerByItsOwnWaveEntry) {
    for (int k = 0; k < 600; ++k) textWave(k) = 0.01f * k;  // entry k reads k / 100
    titleWavePhase = 5;
    auto T = [](int k) { return 0.01f * (8 + k); };  // phase 3 + 5
    Begin();
    DrawAtlasItemWaving(3, 5, 10, 20, 1);  // plain corners (10, 20) .. (60, 50)
    Quad q = Only();
    ExpectCorner(q.p[0], 10 + T(10), 20 + T(0), 500, 300);
    ExpectCorner(q.p[1], 10 + T(20), 50 + T(10), 500, 330);
    ExpectCorner(q.p[2], 60 + T(30), 50 + T(20), 550, 330);
    ExpectCorner(q.p[3], 60 + T(30), 50 + T(20), 550, 330);
    ExpectCorner(q.p[4], 60 + T(40), 20 + T(40), 550, 300);
    ExpectCorner(q.p[5], 10 + T(10), 20 + T(0), 500, 300);
    // Scaled: corners scale about the centre (70, 70), displacements by scaleY on both axes.
    scalingOn = 1;
    scaleX = scaleY = 2;
    Begin();
    DrawAtlasItemWaving(3, 5, 10, 20, 0.5f);
    q = Only();
    ExpectCorner(q.p[0], 45 + 2 * T(10), 55 + 2 * T(0), 500, 300);
    ExpectCorner(q.p[4], 95 + 2 * T(40), 55 + 2 * T(40), 550, 300);
}

TEST_F(Atlas, TableBounds) {
    SetRect(121, 0, 600, 900, 10, 10);
    Begin();
    DrawAtlasItem(-1, 0, 0);  // a negative item is the last table entry
    EXPECT_EQ(Only().item, 121);
    EXPECT_EXIT({ Begin(); DrawAtlasItem(122, 0, 0); }, testing::ExitedWithCode(0), "bounds");
    EXPECT_EXIT({ Begin(); DrawAtlasFrame(5, 48, 0, 0); }, testing::ExitedWithCode(0), "bounds");
}

TEST_F(Atlas, TextRowsLeaveGapsAndAlign) {
    // align 1 ends at x, -1 starts at x, 0 centres (the small font truncates the half width), else 0.
    struct Case {
        bool big;
        const char* text;
        float align, x;
        std::vector<int> frames;
        std::vector<float> xs;
    };
    const Case cases[] = {
        {false, "1.  24000", -1, 26, {1, 2, 4, 0, 0, 0}, {26, 78, 91, 104, 117, 130}},
        {false, "ABCDE", 0, 160, {17, 18, 19, 20, 21}, {128, 141, 154, 167, 180}},
        {true, "ABCDE", 0, 160, {17, 18, 19, 20, 21}, {80, 112, 144, 176, 208}},
        {false, "AB", 1, 100, {17, 18}, {74, 87}},
        {true, "AB", 7, 100, {17, 18}, {0, 32}},
        {false, "", 0, 160, {}, {}},
        {true, "a!_", -1, 0, {47}, {64}},  // below and above the font: gaps; "_" is the last frame
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Begin();
        (c.big ? DrawBigText : DrawText)(c.text, c.align, c.x, 100);
        std::vector<Quad> q = Quads();
        ASSERT_EQ(q.size(), c.frames.size());
        for (size_t i = 0; i < q.size(); ++i) {
            EXPECT_EQ(q[i].item, c.big ? 42 : 86);
            EXPECT_EQ(q[i].frame, c.frames[i]);
            EXPECT_FLOAT_EQ(q[i].p[0].x, c.xs[i]);
            EXPECT_FLOAT_EQ(q[i].p[0].y, 101);  // one unit below the given y
        }
    }
}

TEST(FastTrig, KnownValuesAndLibrarySineOverSeveralTurns) {
    EXPECT_FLOAT_EQ(FastSin(0), 0);
    EXPECT_NEAR(FastSin(90), 1, 0.001);
    EXPECT_NEAR(FastSin(-90), -1, 0.001);
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

TEST(GlyphTable, GeneratedListFillsTheTableAsTheWrapRuleSays) {
    std::ifstream in(ATLAS_DATA_FILE);
    if (!in) GTEST_SKIP() << "no generated atlas list in this build";
    std::vector<double> v;  // numbers separated by commas and white space, "//" comments
    for (std::string line; std::getline(in, line);) {
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream words(line.substr(0, line.find("//")));
        for (double d; words >> d;) v.push_back(d);
    }
    FillGlyphTable();
    std::set<int> seen;
    for (size_t at = 0;;) {
        ASSERT_LT(at, v.size()) << "list ends without 255";
        int item = static_cast<int>(v[at++]);
        if (item == 255) break;
        ASSERT_LE(at + 5, v.size());
        ASSERT_TRUE(item >= 0 && item < 122) << item;
        int count = static_cast<int>(v[at]);
        ASSERT_TRUE(count >= 1 && count <= 48) << count;
        double x = v[at + 1], y = v[at + 2], w = v[at + 3], h = v[at + 4];
        at += 5;
        for (int f = 0; f < count; ++f) {
            const int r[4] = {int(x), int(y), int(w), int(h)};
            for (int k = 0; k < 4; ++k) ASSERT_EQ(glyphTable(item, f, k), r[k]) << item << "/" << f << "/" << k;
            x += w;
            if (x >= 1024) {
                x = 0;
                y += h;
            }
        }
        seen.insert(item);
    }
    EXPECT_GT(seen.size(), 50u);
    // The pictures the board and the background draw must be in the list.
    for (int item : {1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 17, 42, 44, 46, 57, 58, 59, 86}) EXPECT_TRUE(seen.count(item)) << item;
}

}  // namespace
