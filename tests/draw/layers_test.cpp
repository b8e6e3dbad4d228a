// The water background (opaque only where nothing lies beneath it) and the board's creatures drawn
// from damaged values (a broken saved game): the picture stays inside its tables, never a table error.
#include <cmath>
#include <utility>

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
        backdropScroll = lastCell = selectedCell = busyCount = animFrame = runState = 0;
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
    const float keptLow = lowQuality, keptBrightness = brightness;
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
    lowQuality = keptLow, brightness = keptBrightness;
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
        {2, 1, 3, 4, 2, 3}, {12, 1, 3, 4, 12, 5}, {2, 7, 3, 4, 46, 4}, {2, 8, 3, 4, 44, 4}, {2, 10, 3, 4, -1, 0},
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
}

}  // namespace
