// The loading screen's batch: its five rectangles, the bar's filled part for a step, and the
// outro that fades it and releases the loading atlas.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/shell/globals.h"
#include "game/shell/resources.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "tests/shell/shell_fixture.h"

namespace {

struct Box {
    float x1, y1, x2, y2;
};

// Bounding box of the six vertices of rectangle n, in design units.
Box Rect(const std::vector<BatchVertex>& v, size_t n) {
    Box b{1e9f, 1e9f, -1e9f, -1e9f};
    for (size_t i = n * 6; i < n * 6 + 6; ++i) {
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

TEST_F(Loading, AFullBarFillsAll285UnitsAndLeavesNoEmptyPart) {
    uint64_t frames = NullPlatform::FramesPresented();
    ShowLoadingProgress(73, 73);
    EXPECT_EQ(NullPlatform::FramesPresented(), frames + 1);
    const std::vector<BatchVertex>& v = LastBatchVertices();
    ASSERT_EQ(v.size(), 30u);
    Box background = Rect(v, 0), label = Rect(v, 1), title = Rect(v, 2), filled = Rect(v, 3), empty = Rect(v, 4);
    EXPECT_FLOAT_EQ(background.x2, 320);
    EXPECT_FLOAT_EQ(background.y2, 480);
    EXPECT_FLOAT_EQ(label.x1, 133);
    EXPECT_FLOAT_EQ(label.y1, 338);
    EXPECT_FLOAT_EQ(title.x2, 269);
    EXPECT_FLOAT_EQ(title.y2, 187);
    EXPECT_FLOAT_EQ(filled.x1, 17.5f);
    EXPECT_FLOAT_EQ(filled.x2, 302.5f);
    EXPECT_FLOAT_EQ(filled.y1, 240);
    EXPECT_FLOAT_EQ(filled.y2, 261);
    EXPECT_FLOAT_EQ(empty.x2 - empty.x1, 0);
}

TEST_F(Loading, TheFirstStepFillsAboutFourUnits) {
    ShowLoadingProgress(1, 73);
    const std::vector<BatchVertex>& v = LastBatchVertices();
    ASSERT_EQ(v.size(), 30u);
    Box filled = Rect(v, 3), empty = Rect(v, 4);
    EXPECT_NEAR(filled.x2 - filled.x1, 285.0 / 73, 1e-3);
    EXPECT_NEAR(empty.x1, 17.5 + 285.0 / 73, 1e-3);
    EXPECT_FLOAT_EQ(empty.x2, 302.5f);
}

TEST_F(Loading, BadStepsNeverDrawOutsideTheBar) {
    ShowLoadingProgress(500, 73);
    EXPECT_FLOAT_EQ(Rect(LastBatchVertices(), 3).x2, 302.5f);
    ShowLoadingProgress(-5, 73);
    EXPECT_FLOAT_EQ(Rect(LastBatchVertices(), 3).x2, 17.5f);
    ShowLoadingProgress(5, 0);
    EXPECT_FLOAT_EQ(Rect(LastBatchVertices(), 3).x2, 17.5f);
}

TEST_F(Loading, TheOutroRunsFiftyFramesAndEndsWithTheBarClosed) {
    uint64_t frames = NullPlatform::FramesPresented();
    PlayLoadingOutro();
    EXPECT_EQ(NullPlatform::FramesPresented(), frames + 50);
    // The last batch holds the elements of the last frame: label, title and the three bar pieces.
    const std::vector<BatchVertex>& v = LastBatchVertices();
    ASSERT_EQ(v.size(), 30u);
    Box label = Rect(v, 0), title = Rect(v, 1), middle = Rect(v, 3);
    EXPECT_NEAR(label.y1, 338 - 0.2 * 50, 1e-3);
    EXPECT_NEAR(title.y1, 160 + 0.2 * 50, 1e-3);
    EXPECT_NEAR(middle.x2 - middle.x1, 0, 1e-3);
    EXPECT_NEAR(Rect(v, 2).x1, 160 - 11, 1e-3);
    EXPECT_NEAR(Rect(v, 4).x2, 160 + 11, 1e-3);
}

TEST(SoundBank, FortySevenSlotsInOrderWithNineAndTenLeftEmpty) {
    int previous = 0;
    for (int i = 0; i < SOUND_BANK_SIZE; ++i) {
        EXPECT_GT(SOUND_BANK[i].slot, previous);
        EXPECT_NE(SOUND_BANK[i].slot, 9);
        EXPECT_NE(SOUND_BANK[i].slot, 10);
        previous = SOUND_BANK[i].slot;
    }
    EXPECT_EQ(SOUND_BANK[0].slot, 1);
    EXPECT_EQ(previous, 49);
    EXPECT_STREQ(SOUND_BANK[SOUND_BANK_SIZE - 1].file, "achievement_s.wav");
    EXPECT_EQ(SOUND_BANK[40].slot, 43);   // after 1..8 and 11..42
    EXPECT_STREQ(SOUND_BANK[40].file, "sparkle1.wav");
    EXPECT_STREQ(SOUND_BANK[41].file, SOUND_BANK[42].file);   // 44 and 45: the same twinkle
}

}  // namespace
