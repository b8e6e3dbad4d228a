// The game screens: creatures by state and kind, the selection marker, the PAUSED word, and the
// order in which the layers of each game screen reach the batch.
#include <cstring>
#include <map>

#include "game/play/screen_effects.h"
#include "game/shell/game_screen_layers.h"
#include "game/shell/globals.h"
#include "game/shell/menu_background.h"
#include "tests/draw/draw_fixture.h"

namespace {

class GameScreen : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        for (int i = 0; i < 36; ++i) {
            Creature c;
            c.column = i % 6;
            c.row = i / 6;
            c.kind = 1 + i % 8;
            c.x = 50 * c.column;
            c.y = 50 * c.row;
            c.state = 1;
            creatures(i) = c;
        }
        lastCell = 35;
        selectedCell = 0;
        busyCount = 0;
        animFrame = 0;
        runState = 0;
        gameMode = 1;
        bannerKind = 0;
        clockGainTicks = 0;
        hudAlpha = -1;
        hudOffset = 0;
        controlsAlpha = -1;
        noticeIndex = 0;
        overlayAlpha = -1;
    }
    static Creature& Cell(int i) { return creatures(i); }
    // Draws only cell 0 in the given state and kind, returns its quads.
    static std::vector<Quad> DrawOne(float kind, float state) {
        lastCell = 0;
        Cell(0).kind = kind;
        Cell(0).state = state;
        Begin();
        DrawCreatureLayer();
        return Quads();
    }
};

TEST_F(GameScreen, CreaturePictureByStateAndKind) {
    Cell(0).idlePose = 3;
    Cell(0).timer = 4;
    Cell(0).effect = 1;
    animFrame = 5;
    struct Case {
        float kind, state;
        int item, frame;  // -1: nothing drawn
    };
    const Case cases[] = {
        {2, 0, 2, 3},    {2, 1, 2, 3},   {2, 2, 2, 3},    {2, 9, 2, 3},   // idle pose frame
        {9, 1, 9, 0},    {12, 1, 12, 5}, {17, 1, 17, 0},                  // egg, power-up, others
        {2, 3, 2, 3},    {9, 3, 9, 0},   {12, 4, 12, 5},  {2, 5, 2, 3},  {9, 6, 9, 0},
        {2, 7, 46, 4},   {9, 7, 46, 4},  {16, 7, 46, 4},                  // cleared: the clearing burst
        {2, 8, 44, 4},   {12, 8, 44, 4}, {16, 8, 46, 4},  {17, 8, 44, 4}, // removed
        {2, 10, -1, 0},  {12, 11, -1, 0}, {16, 10, 46, 4}, {17, 12, -1, 0},
        {0, 1, -1, 0},                                                     // an empty cell
    };
    // Cleared on this very tick (timer -1) or a damaged timer: no burst, and no fatal table error.
    Cell(0).timer = -1;
    EXPECT_TRUE(DrawOne(2, 7).empty());
    // Kinds and poses beyond the atlas (a damaged saved game) draw nothing or the resting frame.
    EXPECT_TRUE(DrawOne(122, 1).empty());
    Cell(0).idlePose = 50;
    EXPECT_EQ(DrawOne(2, 1).at(0).frame, 0);
    Cell(0).idlePose = 3;
    Cell(0).timer = 4;
    for (const Case& c : cases) {
        std::vector<Quad> q = DrawOne(c.kind, c.state);
        if (c.item < 0) {
            EXPECT_TRUE(q.empty()) << "kind " << c.kind << " state " << c.state;
            continue;
        }
        ASSERT_EQ(q.size(), 1u) << "kind " << c.kind << " state " << c.state;
        EXPECT_EQ(q[0].item, c.item) << "kind " << c.kind << " state " << c.state;
        EXPECT_EQ(q[0].frame, c.frame) << "kind " << c.kind << " state " << c.state;
    }
}

TEST_F(GameScreen, CreaturesSitOnTheBoardAndZoomByTimerOrEffect) {
    SetRect(3, 0, 400, 500, 50, 50);
    Cell(0).x = 100;
    Cell(0).y = 50;
    Cell(0).idlePose = 0;
    std::vector<Quad> q = DrawOne(3, 1);
    EXPECT_FLOAT_EQ(q[0].p[0].x, 110);
    EXPECT_FLOAT_EQ(q[0].p[0].y, 60);
    EXPECT_FLOAT_EQ(q[0].p[2].x, 160);

    Cell(0).timer = 1.1f;  // bouncing: 10 % larger about the centre (135, 85)
    q = DrawOne(3, 3);
    EXPECT_FLOAT_EQ(q[0].p[0].x, 135 - 27.5f);
    EXPECT_FLOAT_EQ(q[0].p[2].y, 85 + 27.5f);

    Cell(0).effect = 0.5f;  // switching
    q = DrawOne(3, 4);
    EXPECT_FLOAT_EQ(q[0].p[0].x, 135 - 12.5f);
    EXPECT_FLOAT_EQ(q[0].p[2].x, 135 + 12.5f);
}

TEST_F(GameScreen, CreaturesEnteringFromAboveFadeIn) {
    const float ys[] = {-100, -50, -49, -25, 0, 120};
    const int alphas[] = {0, 0, 5, 127, 255, 255};  // -0.001, -0.02 and -0.5 as alpha bytes
    for (int n = 0; n < 6; ++n) {
        Cell(0).y = ys[n];
        std::vector<Quad> q = DrawOne(1, 1);
        ASSERT_EQ(q.size(), 1u);
        EXPECT_EQ(q[0].p[0].alpha, alphas[n]) << "y " << ys[n];
    }
}

TEST_F(GameScreen, SelectionMarkerOnlyWhileTheBoardIsIdle) {
    selectedCell = 8;
    selectedX = 60;
    selectedY = 110;
    selectionFrame = 1;
    Begin();
    DrawSelectionMarker();
    std::vector<Quad> q = Quads();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].item, 17);
    EXPECT_EQ(q[0].frame, 1);
    EXPECT_FLOAT_EQ(q[0].p[0].x, 60);
    EXPECT_FLOAT_EQ(q[0].p[0].y, 110);

    busyCount = 2;
    Begin();
    DrawSelectionMarker();
    EXPECT_TRUE(Quads().empty());
    busyCount = 0;
    selectedCell = 0;
    Begin();
    DrawSelectionMarker();
    EXPECT_TRUE(Quads().empty());
}

TEST_F(GameScreen, PausedWordBobsLetterByLetter) {
    titleWavePhase = 33;
    Begin();
    DrawPausedOverlay();
    std::vector<Quad> q = Quads();
    ASSERT_EQ(q.size(), 6u);
    const int frames[6] = {32, 17, 37, 35, 21, 20};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(q[i].item, 42);
        EXPECT_EQ(q[i].frame, frames[i]);
        EXPECT_FLOAT_EQ(q[i].p[0].x, 64 + 32 * i);
        EXPECT_NEAR(q[i].p[0].y, 154 + 2 * Wave(33 + 10 * i), 1e-4);
    }
}

// The layer a picture belongs to, by its atlas item.
std::string LayerOf(const Quad& q) {
    if (q.item < 0 || q.item == 16) return "background";
    static const std::map<int, std::string> layers = {
        {57, "bubbles"}, {58, "bubbles"}, {59, "bubbles"},
        {53, "sparkles"}, {54, "sparkles"}, {55, "sparkles"}, {56, "sparkles"},
        {17, "marker"}, {18, "clock"}, {19, "clock"}, {45, "clock"}, {47, "clock"}, {51, "clock"}, {52, "clock"},
        {62, "panel"}, {20, "panel"}, {21, "panel"}, {22, "panel"}, {23, "panel"}, {30, "panel"}, {31, "panel"},
        {32, "panel"}, {33, "panel"}, {35, "panel"}, {36, "panel"}, {111, "panel"}, {112, "panel"},
        {113, "panel"}, {114, "panel"}, {63, "effects"}, {64, "effects"}, {42, "text"}, {110, "gain"},
    };
    if (q.item >= 1 && q.item <= 15) return "creatures";
    auto it = layers.find(q.item);
    return it == layers.end() ? "item " + std::to_string(q.item) : it->second;
}

// The layers in the order they first reach the batch, each run counted once.
std::vector<std::string> LayerRuns(const std::vector<Quad>& quads) {
    std::vector<std::string> runs;
    for (const Quad& q : quads) {
        std::string layer = LayerOf(q);
        if (runs.empty() || runs.back() != layer) runs.push_back(layer);
    }
    return runs;
}

class LayerOrder : public GameScreen {
protected:
    void SetUp() override {
        GameScreen::SetUp();
        for (int i = 0; i < 20; ++i) {
            bubbleX(i) = 20 + 10 * i;
            bubbleY(i) = 100;
        }
        selectedCell = 3;
        selectedX = 110;
        selectedY = 10;
        sparkleAlpha(0) = 1;
        sparkleItem(0) = 53;
        effectTimer(0) = 30;  // a reward star in flight
        effectTimer(5) = 10;  // a burst piece
        effectValue(5) = 64;
        bannerKind = 1;       // GET READY, in its visible blink phase
        blinkCounter = 0;
        clockGainTicks = 40;
        runState = 2;
    }
    static std::vector<std::string> Draw(void (*screen)()) {
        Begin();
        DrawBackgroundLayer();
        DrawBubbleLayer();
        screen();
        return LayerRuns(Quads());
    }
};

using Layers = std::vector<std::string>;

TEST_F(LayerOrder, GameScreen) {
    gameMode = 2;  // PUZZLE adds the clock-gain indicator on top
    EXPECT_EQ(Draw(DrawGameScreen), (Layers{"background", "bubbles", "creatures", "sparkles", "marker", "clock", "panel",
                                            "effects", "text", "gain"}));
    gameMode = 1;
    runState = 0;  // no information panel before the play area is in
    EXPECT_EQ(Draw(DrawGameScreen),
              (Layers{"background", "bubbles", "creatures", "sparkles", "marker", "clock", "effects", "text"}));
}

TEST_F(LayerOrder, TutorialScreen) {
    EXPECT_EQ(Draw(DrawTutorialScreen),
              (Layers{"background", "bubbles", "creatures", "sparkles", "marker", "clock", "effects"}));
}

TEST_F(LayerOrder, OverlayAndPauseScreensHideTheBoard) {
    EXPECT_EQ(Draw(DrawOverlayScreen), (Layers{"background", "bubbles", "sparkles", "text", "clock", "panel"}));
    EXPECT_EQ(Draw(DrawPauseMenuScreen), (Layers{"background", "bubbles", "sparkles", "clock", "panel"}));
}

TEST_F(LayerOrder, LowQualityFrameDrawsTheStaticPictureUnderTheBoard) {
    lowQuality = 1;
    Begin();
    DrawBackgroundLayer();
    DrawBubbleLayer();
    DrawGameScreen();
    std::vector<Quad> q = Quads();
    ASSERT_FALSE(q.empty());
    EXPECT_EQ(q[0].item, 16);
    EXPECT_EQ(LayerRuns(q)[1], "creatures");
    for (const Quad& quad : q) EXPECT_NE(LayerOf(quad), "bubbles");
}

TEST_F(LayerOrder, ScreensOnlyReadTheGameState) {
    float before[36][12];
    for (int i = 0; i < 36; ++i) std::memcpy(before[i], &creatures(i), sizeof(Creature));
    float scroll = backdropScroll, frame = animFrame, sel = selectedCell;
    Draw(DrawGameScreen);
    Draw(DrawOverlayScreen);
    for (int i = 0; i < 36; ++i) EXPECT_EQ(std::memcmp(before[i], &creatures(i), sizeof(Creature)), 0);
    EXPECT_EQ(backdropScroll, scroll);
    EXPECT_EQ(animFrame, frame);
    EXPECT_EQ(selectedCell, sel);
}

}  // namespace
