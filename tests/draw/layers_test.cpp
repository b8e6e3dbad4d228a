// The water background and bubbles, the board's layers (creatures by state and kind, the selection
// marker, the PAUSED word) and the order in which the layers of each game screen reach the batch.
#include <cmath>
#include <map>
#include <string>

#include "game/play/screen_effects.h"
#include "game/draw/game_screen_layers.h"
#include "game/state/globals.h"
#include "game/shell/menu_background.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/polygon_batch.h"
#include "tests/draw/draw_fixture.h"

namespace {

class Layers : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        backdropScroll = 0;
        SetRect(16, 0, 5, 5, 320, 480);  // the static picture lives in the background region
        creatures(0) = Creature();
        creatures(0).kind = creatures(0).state = 1;  // one creature resting in the top-left cell
        lastCell = 0;
        selectedCell = busyCount = animFrame = runState = bannerKind = clockGainTicks = hudOffset = noticeIndex = 0;
        gameMode = 1;
        hudAlpha = controlsAlpha = overlayAlpha = -1;
    }
    // Draws only cell 0 in the given state and kind, returns its quads.
    static std::vector<Quad> DrawOne(float kind, float state) {
        lastCell = 0;
        creatures(0).kind = kind;
        creatures(0).state = state;
        Begin();
        DrawCreatureLayer();
        return Quads();
    }
};

TEST_F(Layers, BandsReadTheWaveAtTheScrollAndLeaveItWhereItWas) {
    for (float scale : {1.0f, 2.5f}) {  // scaled bands stretch on screen, not in the atlas
        scalingOn = scale != 1;
        scaleX = scaleY = scale;
        brightness = scale == 1 ? -1 : -0.7f;
        Begin();
        DrawBackgroundLayer();
        std::vector<Quad> q = Quads();
        ASSERT_EQ(q.size(), 15u);
        for (int k = 0; k < 15; ++k) {
            float y0 = 32.0f * k, y1 = y0 + 32, wt = Wave(32 * k), wb = Wave(32 * k + 32);
            // (0,y0) (0,y1) (320,y1) (0,y0) (320,y0) (320,y1), each band's window 5 texels in.
            const float expect[6][4] = {{0, y0, wt + 5, y0 + 5 - wt},     {0, y1, wb + 5, y1 + 5 - wb},
                                        {320, y1, wb + 325, y1 + 5 - wb}, {0, y0, wt + 5, y0 + 5 - wt},
                                        {320, y0, wt + 325, y0 + 5 - wt}, {320, y1, wb + 325, y1 + 5 - wb}};
            for (int n = 0; n < 6; ++n) {
                SCOPED_TRACE(testing::Message() << "scale " << scale << " band " << k << " vertex " << n);
                EXPECT_FLOAT_EQ(q[k].p[n].x, expect[n][0] * scale);
                EXPECT_FLOAT_EQ(q[k].p[n].y, expect[n][1] * scale);
                EXPECT_NEAR(q[k].p[n].u, expect[n][2], 1e-3);
                EXPECT_NEAR(q[k].p[n].v, expect[n][3], 1e-3);
                // First in the frame, the water is drawn opaque: dimmed by its colour, not its alpha.
                EXPECT_EQ(q[k].p[n].alpha, 255);
                EXPECT_EQ(LastBatchVertices()[6 * k + n].g, static_cast<int>(-brightness * 255));
            }
        }
        EXPECT_EQ(polygonBatch->opaqueVertices, 90u);
        EXPECT_EQ(backdropScroll, 0);
    }
}

TEST_F(Layers, WaterOverSomethingElseStaysBlendedAndLeavesTheBlendModeAsItFoundIt) {
    brightness = -0.7f;
    for (bool first : {true, false}) {
        Begin();
        if (!first) AddPolygonVertex(0, 0, 0, 0, 16777215.0f);
        DrawBackgroundLayer();
        const BatchVertex& v = LastBatchVertices().back();
        EXPECT_EQ(polygonBatch->opaqueVertices, first ? 90u : 0u);
        EXPECT_EQ(v.a, first ? 255 : 178);
        EXPECT_EQ(v.r, first ? 178 : 255);
        EXPECT_FLOAT_EQ(graphicsDevice->globalAlpha, 0.7f) << "the layers above find the water's blend mode";
    }
}

TEST_F(Layers, DamagedOrFarScrollDrawsTheSamePicture) {
    auto texels = [](float scroll) {
        backdropScroll = scroll;
        Begin();
        DrawBackgroundLayer();
        std::vector<float> st;
        for (const BatchVertex& v : LastBatchVertices()) st.insert(st.end(), {v.s, v.t});
        return st;
    };
    const std::vector<float> reference = texels(440);
    // Many minutes of the static background, or far above the period: folded back by whole periods.
    for (float scroll : {440.0f - 480 * 300, 440.0f + 480 * 1000}) {
        EXPECT_EQ(texels(scroll), reference) << scroll;
        EXPECT_EQ(backdropScroll, 440);
    }
    EXPECT_EQ(texels(std::nanf("")), texels(0));  // no number at all: the wave reads stay inside the table
    EXPECT_EQ(backdropScroll, 0);
}

TEST_F(Layers, LowQualityDrawsItem16InsteadOfTheBandsAndNoBubbles) {
    lowQuality = 1;
    brightness = -0.7f;
    Begin();
    DrawBackgroundLayer();
    DrawBubbleLayer();
    std::vector<Quad> q = Quads();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].item, 16);
    EXPECT_FLOAT_EQ(q[0].p[0].x + q[0].p[0].y, 0);
    EXPECT_FLOAT_EQ(q[0].p[2].x, 320);
    EXPECT_FLOAT_EQ(q[0].p[2].y, 480);
    EXPECT_EQ(q[0].p[0].alpha, static_cast<int>(0.7f * 255));
    EXPECT_EQ(polygonBatch->opaqueVertices, 0u) << "dimmed, the static picture still blends";
    brightness = -1;
    Begin();
    DrawBackgroundLayer();
    EXPECT_EQ(polygonBatch->opaqueVertices, 6u);
}

TEST_F(Layers, BubblesDriftAlongTheWaveBySize) {
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
        SCOPED_TRACE(i);
        EXPECT_EQ(q[i].item, i < 10 ? 57 : i < 15 ? 58 : 59);
        EXPECT_NEAR(q[i].p[0].x, 10 + i + Wave(17 * i), 1e-4);
        EXPECT_FLOAT_EQ(q[i].p[0].y, 200 + 5 * i);
        EXPECT_EQ(q[i].p[0].alpha, 255);
    }
}

TEST_F(Layers, CreaturePictureByStateAndKind) {
    Creature& c0 = creatures(0);
    c0.effect = 1;
    animFrame = 5;
    struct Case {
        float kind, state, idlePose, timer;
        int item, frame;  // -1: nothing drawn
    };
    const Case cases[] = {
        {2, 0, 3, 4, 2, 3}, {2, 1, 3, 4, 2, 3}, {2, 2, 3, 4, 2, 3}, {2, 9, 3, 4, 2, 3},  // idle pose frame
        {9, 1, 3, 4, 9, 0}, {12, 1, 3, 4, 12, 5}, {17, 1, 3, 4, 17, 0},                  // egg, power-up, others
        {2, 3, 3, 4, 2, 3}, {9, 3, 3, 4, 9, 0}, {12, 4, 3, 4, 12, 5}, {2, 5, 3, 4, 2, 3}, {9, 6, 3, 4, 9, 0},
        {2, 7, 3, 4, 46, 4}, {9, 7, 3, 4, 46, 4}, {16, 7, 3, 4, 46, 4},                  // cleared: the burst
        {2, 8, 3, 4, 44, 4}, {12, 8, 3, 4, 44, 4}, {16, 8, 3, 4, 46, 4}, {17, 8, 3, 4, 44, 4},  // removed
        {2, 10, 3, 4, -1, 0}, {12, 11, 3, 4, -1, 0}, {16, 10, 3, 4, 46, 4}, {17, 12, 3, 4, -1, 0},
        {0, 1, 3, 4, -1, 0},  // an empty cell
        // Damaged values (a broken saved game) draw nothing or the resting frame, never a table error:
        {2, 7, 3, -1, -1, 0}, {2, 8, 3, 48, -1, 0}, {16, 10, 3, 1e9f, -1, 0},    // bursts outside the animation
        {122, 1, 3, 4, -1, 0}, {-3, 1, 3, 4, -1, 0},                               // kinds beyond the atlas
        {2, 1, 50, 4, 2, 0}, {2, 3, -2, 4, 2, 0}, {2, 1, std::nanf(""), 4, 2, 0},  // poses beyond it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " state " << c.state << " pose " << c.idlePose
                                        << " timer " << c.timer);
        c0.idlePose = c.idlePose;
        c0.timer = c.timer;
        std::vector<Quad> q = DrawOne(c.kind, c.state);
        ASSERT_EQ(q.size(), c.item < 0 ? 0u : 1u);
        if (c.item < 0) continue;
        EXPECT_EQ(q[0].item, c.item);
        EXPECT_EQ(q[0].frame, c.frame);
    }
}

TEST_F(Layers, CreaturesSitOnTheBoardZoomAndFadeInFromAbove) {
    SetRect(3, 0, 400, 500, 50, 50);
    Creature& c0 = creatures(0);
    c0.x = 100;
    c0.y = 50;
    c0.idlePose = 0;
    c0.timer = 1.1f;   // bouncing: 10 % larger about the centre (135, 85)
    c0.effect = 0.5f;  // switching: half size
    const float cases[][3] = {{1, 110, 160}, {3, 135 - 27.5f, 135 + 27.5f}, {4, 135 - 12.5f, 135 + 12.5f}};
    for (const auto& c : cases) {
        std::vector<Quad> q = DrawOne(3, c[0]);
        ASSERT_EQ(q.size(), 1u);
        EXPECT_FLOAT_EQ(q[0].p[0].x, c[1]) << "state " << c[0];
        EXPECT_FLOAT_EQ(q[0].p[2].x, c[2]) << "state " << c[0];
        EXPECT_FLOAT_EQ(q[0].p[0].y + q[0].p[2].y, 170) << "state " << c[0];  // centred on y 85
    }
    const float fades[][2] = {{-100, 0}, {-50, 0}, {-49, 5}, {-25, 127}, {0, 255}, {120, 255}};  // y, alpha byte
    for (const auto& f : fades) {
        c0.y = f[0];
        std::vector<Quad> q = DrawOne(1, 1);
        ASSERT_EQ(q.size(), 1u);
        EXPECT_EQ(q[0].p[0].alpha, f[1]) << "y " << f[0];
    }
}

TEST_F(Layers, SelectionMarkerSitsOnTheSelectedCell) {
    selectedCell = 8;
    selectedX = 60;
    selectedY = 110;
    selectionFrame = 1;
    Begin();
    DrawSelectionMarker();
    std::vector<Quad> q = Quads();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].item * 100 + q[0].frame, 1701);
    EXPECT_FLOAT_EQ(q[0].p[0].x, 60);
    EXPECT_FLOAT_EQ(q[0].p[0].y, 110);
}

TEST_F(Layers, PausedWordBobsLetterByLetter) {
    titleWavePhase = 33;
    Begin();
    DrawPausedOverlay();
    std::vector<Quad> q = Quads();
    ASSERT_EQ(q.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(q[i].item, 42);
        EXPECT_EQ(q[i].frame, "PAUSED"[i] - 48);  // the big font's frame of each letter
        EXPECT_FLOAT_EQ(q[i].p[0].x, 64 + 32 * i);
        EXPECT_NEAR(q[i].p[0].y, 154 + 2 * Wave(33 + 10 * i), 1e-4);
    }
}

TEST_F(Layers, TutorialOverlayShowsTheStepsPanelItsButtonsAndTheCreatureItTalksAbout) {
    gameMode = 5;
    creatures(0).kind = 9;  // an egg at rest in the top-left cell
    movesMade = 2;          // two of the three moves the first panel asks for
    struct Case {
        float step, panel, alpha, y, drop;
        int item, nextAlpha, exitAlpha, rings, lit;  // nextAlpha -1: no NEXT; lit -1: no stars
    } cases[] = {
        {1, -1, -0.5f, 380, 0, 37, 44, 127, 0, -1},  // fading in with its buttons, NEXT dim
        {2, 0, -1, 356, 0, 37, 255, 255, 0, 2},      // waiting: NEXT live, two of three stars lit
        {6, -1, -0.6f, 372, 0, 38, 89, 255, 0, -1},  // fading out: NEXT dim
        {11, 0, -1, 356, 0, 40, 255, 255, 1, -1},    // the egg panel rings the egg
        {14, 0, -1, 356, 0, 41, 255, 255, 0, -1},    // no less-creatures power-up on the board
        {26, 0, -1, 356, 0, 60, -1, 255, 0, -1},     // the last panel: EXIT only
        {11, 0, -1, 356, 30, 40, 44, 127, 0, -1},    // leaving: sinking and fading, NEXT dim, no ring
    };
    for (const Case& c : cases) {
        tutorialStep = c.step;
        tutorialPanel = c.panel;
        tutorialAlpha = c.alpha;
        tutorialY = c.y;
        tutorialDrop = c.drop;
        Begin();
        DrawTutorialOverlay();
        std::vector<Quad> q = Quads();
        size_t rings = static_cast<size_t>(c.rings), stars = c.lit < 0 ? 0 : 3;
        ASSERT_EQ(q.size(), rings + stars + (c.nextAlpha < 0 ? 2 : 3)) << c.step;
        for (size_t i = 0; i < rings; ++i) EXPECT_EQ(q[i].item * 100 + q[i].frame, 1701) << c.step;
        const Quad& panel = q[rings];
        EXPECT_EQ(panel.item, c.item) << c.step;
        EXPECT_FLOAT_EQ(panel.p[0].x, 10) << c.step;
        EXPECT_FLOAT_EQ(panel.p[0].y, c.y + c.drop) << c.step;
        EXPECT_NEAR(panel.p[0].alpha, -c.alpha * (1 - c.drop / 60) * 255, 1) << c.step;
        for (size_t i = 0; i < stars; ++i) {
            EXPECT_EQ(q[rings + 1 + i].item, 63) << c.step;
            EXPECT_NEAR(q[rings + 1 + i].p[0].alpha, static_cast<int>(i) < c.lit ? 255 : 76, 1) << c.step << " star " << i;
        }
        const Quad& exit = q.back();
        EXPECT_EQ(exit.item, 118) << c.step;
        EXPECT_FLOAT_EQ(exit.p[0].x, 218) << c.step;
        EXPECT_FLOAT_EQ(exit.p[0].y, 446 + c.drop) << c.step;
        EXPECT_NEAR(exit.p[0].alpha, c.exitAlpha, 1) << c.step;
        if (c.nextAlpha >= 0) {
            const Quad& next = q[rings + stars + 1];
            EXPECT_EQ(next.item, 61) << c.step;
            EXPECT_FLOAT_EQ(next.p[0].x, 24) << c.step;
            EXPECT_NEAR(next.p[0].alpha, c.nextAlpha, 1) << c.step;
        }
    }
}

// The layers in the order they reach the batch, by atlas item, each run named once.
std::string LayerRuns(void (*screen)()) {
    static const std::map<int, std::string> layers = {
        {16, "background"}, {57, "bubbles"}, {58, "bubbles"}, {59, "bubbles"}, {53, "sparkles"},
        {54, "sparkles"}, {55, "sparkles"}, {56, "sparkles"}, {17, "marker"}, {18, "clock"}, {19, "clock"},
        {45, "clock"}, {47, "clock"}, {51, "clock"}, {52, "clock"}, {63, "effects"}, {64, "effects"},
        {42, "text"}, {110, "gain"}, {28, "menu"}, {50, "menu"}, {70, "menu"}, {86, "menu"},
        {37, "tutorial"}, {61, "tutorial"}, {118, "tutorial"}};
    DrawTest::Begin();
    DrawBackgroundLayer();
    DrawBubbleLayer();
    screen();
    std::string runs, last;
    for (const Quad& q : DrawTest::Quads()) {
        auto it = layers.find(q.item);
        // Quads that start inside an item (a stretched plate's middle and end) belong to the menu.
        std::string layer = q.item < 0 ? (q.p[0].u < 331 ? "background" : "menu") : q.item <= 15 ? "creatures"
                            : it != layers.end() ? it->second : "panel";  // everything else: panel
        if (layer != last) runs += (runs.empty() ? "" : " ") + layer;
        last = layer;
    }
    return runs;
}

TEST_F(Layers, EachGameScreenDrawsItsLayersInOrder) {
    sparkleAlpha(0) = 1;
    sparkleItem(0) = 53;
    effectTimer(0) = 30;  // a reward star in flight
    effectTimer(5) = 10;  // a burst piece
    effectValue(5) = 64;
    bannerKind = 1;       // GET READY, in its visible blink phase
    blinkCounter = 0;
    clockGainTicks = 40;
    tutorialStep = 1;  // fading in: panel and buttons
    tutorialAlpha = -0.5f;
    struct Case {
        const char* name;
        void (*screen)();
        float mode, run, low, busy, selected;
        const char* layers;
    };
    const Case cases[] = {
        {"puzzle: the clock-gain indicator on top", DrawGameScreen, 2, 2, 0, 0, 3,
         "background bubbles creatures sparkles marker clock panel effects text gain"},
        {"no information panel before the play area is in", DrawGameScreen, 1, 0, 0, 0, 3,
         "background bubbles creatures sparkles marker clock effects text"},
        {"low quality: the static picture, no bubbles", DrawGameScreen, 1, 2, 1, 0, 3,
         "background creatures sparkles marker clock panel effects text"},
        {"busy board: no marker", DrawGameScreen, 1, 2, 0, 2, 3,
         "background bubbles creatures sparkles clock panel effects text"},
        {"nothing selected: no marker", DrawGameScreen, 1, 2, 0, 0, 0,
         "background bubbles creatures sparkles clock panel effects text"},
        {"tutorial", DrawTutorialScreen, 5, 0, 0, 0, 3,
         "background bubbles creatures sparkles marker clock effects tutorial"},
        {"overlay", DrawOverlayScreen, 1, 2, 0, 0, 3, "background bubbles sparkles text clock panel"},
        {"pause menu", DrawPauseMenuScreen, 1, 2, 0, 0, 3, "background bubbles sparkles text menu clock panel"},
    };
    for (const Case& c : cases) {
        gameMode = c.mode;
        runState = c.run;
        lowQuality = c.low;
        busyCount = c.busy;
        selectedCell = c.selected;
        EXPECT_EQ(LayerRuns(c.screen), c.layers) << c.name;
    }
}

}  // namespace
