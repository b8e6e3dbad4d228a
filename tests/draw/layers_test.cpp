// The water background, the board's creatures by state and kind, and the order in which the
// layers of each game screen reach the batch.
#include <cmath>
#include <map>
#include <string>

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
        SetRect(16, 0, 5, 5, 320, 480);  // the static picture lives in the background region
        creatures(0) = Creature();
        creatures(0).kind = creatures(0).state = gameMode = 1;  // one creature resting in the top-left cell
        backdropScroll = lastCell = selectedCell = busyCount = animFrame = runState = bannerKind = clockGainTicks = 0;
        hudOffset = noticeIndex = 0;
        hudAlpha = controlsAlpha = overlayAlpha = -1;
    }
    // Draws only cell 0 in the given state and kind, returns its quads.
    static std::vector<Quad> DrawOne(float kind, float state) {
        lastCell = 0, creatures(0).kind = kind, creatures(0).state = state;
        Begin();
        DrawCreatureLayer();
        return Quads();
    }
};

// Opaque only when nothing lies beneath it; dimmed, the low-quality static picture blends too.
TEST_F(Layers, WaterOverSomethingElseOrDimmedStaticStaysBlendedAndTheBlendModeIsLeftAsFound) {
    const struct {
        bool first;
        float low, brightness;
        unsigned opaque;
        int alpha, red;
    } cases[] = {{true, 0, -0.7f, 90, 255, 178}, {false, 0, -0.7f, 0, 178, 255},
                 {true, 1, -0.7f, 0, 178, 255},  {true, 1, -1, 6, 255, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << " " << c.low << " " << c.brightness);
        lowQuality = c.low;
        brightness = c.brightness;
        Begin();
        if (!c.first) AddPolygonVertex(0, 0, 0, 0, 16777215.0f);
        DrawBackgroundLayer();
        const BatchVertex& v = LastBatchVertices().back();
        EXPECT_EQ(polygonBatch->opaqueVertices, c.opaque);
        EXPECT_EQ(std::make_pair(int(v.a), int(v.r)), std::make_pair(c.alpha, c.red));
        EXPECT_FLOAT_EQ(graphicsDevice->globalAlpha, -c.brightness) << "the layers above find the water's blend mode";
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
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " state " << c.state << " pose " << c.idlePose << " timer " << c.timer);
        c0.idlePose = c.idlePose, c0.timer = c.timer;
        std::vector<Quad> q = DrawOne(c.kind, c.state);
        ASSERT_EQ(q.size(), c.item < 0 ? 0u : 1u);
        if (c.item < 0) continue;
        EXPECT_EQ(std::make_pair(q[0].item, q[0].frame), std::make_pair(c.item, c.frame));
    }
    // Creatures fade in from above the board.
    c0.idlePose = c0.timer = 0;
    const float fades[][2] = {{-100, 0}, {-50, 0}, {-49, 5}, {-25, 127}, {0, 255}, {120, 255}};  // y, alpha byte
    for (const auto& f : fades) {
        c0.y = f[0];
        std::vector<Quad> q = DrawOne(1, 1);
        ASSERT_EQ(q.size(), 1u);
        EXPECT_EQ(q[0].p[0].alpha, f[1]) << "y " << f[0];
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
    sparkleAlpha(0) = 1, sparkleItem(0) = 53;
    effectTimer(0) = 30;                    // a reward star in flight
    effectTimer(5) = 10, effectValue(5) = 64;  // a burst piece
    bannerKind = 1, blinkCounter = 0;       // GET READY, in its visible blink phase
    clockGainTicks = 40;
    tutorialStep = 1, tutorialAlpha = -0.5f;  // fading in: panel and buttons
    const struct {
        const char* name;
        void (*screen)();
        float mode, run, low, busy, selected;
        const char* layers;
    } cases[] = {
        {"puzzle: the clock-gain indicator on top", DrawGameScreen, 2, 2, 0, 0, 3,
         "background bubbles creatures sparkles marker clock panel effects text gain"},
        {"no information panel before the play area is in", DrawGameScreen, 1, 0, 0, 0, 3,
         "background bubbles creatures sparkles marker clock effects text"},
        {"low quality: the static picture, no bubbles", DrawGameScreen, 1, 2, 1, 0, 3,
         "background creatures sparkles marker clock panel effects text"},
        {"busy board: no marker", DrawGameScreen, 1, 2, 0, 2, 3, "background bubbles creatures sparkles clock panel effects text"},
        {"nothing selected: no marker", DrawGameScreen, 1, 2, 0, 0, 0, "background bubbles creatures sparkles clock panel effects text"},
        {"tutorial", DrawTutorialScreen, 5, 0, 0, 0, 3,
         "background bubbles creatures sparkles marker clock effects tutorial"},
        {"overlay", DrawOverlayScreen, 1, 2, 0, 0, 3, "background bubbles sparkles text clock panel"},
        {"pause menu", DrawPauseMenuScreen, 1, 2, 0, 0, 3, "background bubbles sparkles text menu clock panel"},
    };
    for (const auto& c : cases) {
        gameMode = c.mode, runState = c.run, lowQuality = c.low, busyCount = c.busy, selectedCell = c.selected;
        EXPECT_EQ(LayerRuns(c.screen), c.layers) << c.name;
    }
}

}  // namespace
