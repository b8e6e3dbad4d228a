// Text rows: one font frame per character at fixed advances, aligned right, left or centred.
#include "game/draw/draw.h"
#include "game/shell/globals.h"
#include "runtime/graphics/polygon_batch.h"
#include "tests/draw/draw_fixture.h"

namespace {

class TextRows : public DrawTest {
protected:
    struct Glyph {
        int item, frame;
        float x, y;
    };
    static std::vector<Glyph> Glyphs() {
        std::vector<Glyph> out;
        for (const Quad& q : Quads()) out.push_back({q.item, q.frame, q.p[0].x, q.p[0].y});
        return out;
    }
};

TEST_F(TextRows, HighScoreRowLeavesGapsForDotAndSpaces) {
    Begin();
    DrawText("1.  24000", -1, 26, 100);
    std::vector<Glyph> g = Glyphs();
    ASSERT_EQ(g.size(), 6u);
    const float xs[6] = {26, 78, 91, 104, 117, 130};
    const int frames[6] = {1, 2, 4, 0, 0, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(g[i].item, 86);
        EXPECT_EQ(g[i].frame, frames[i]);
        EXPECT_FLOAT_EQ(g[i].x, xs[i]);
        EXPECT_FLOAT_EQ(g[i].y, 101);  // one unit below the given y
    }
}

TEST_F(TextRows, AlignmentRules) {
    Begin();
    DrawText("ABCDE", 0, 160, 0);  // 65 wide: 160 - 32 (32.5 truncated)
    DrawBigText("ABCDE", 0, 160, 0);  // 160 wide: 160 - 80
    DrawText("AB", 1, 100, 0);     // ends at 100
    DrawBigText("AB", 7, 100, 0);  // any other value starts at 0
    std::vector<Glyph> g = Glyphs();
    ASSERT_EQ(g.size(), 14u);
    EXPECT_FLOAT_EQ(g[0].x, 128);
    EXPECT_EQ(g[0].item, 86);
    EXPECT_EQ(g[0].frame, 17);  // "A"
    EXPECT_FLOAT_EQ(g[4].x, 128 + 4 * 13);
    EXPECT_FLOAT_EQ(g[5].x, 80);
    EXPECT_EQ(g[5].item, 42);
    EXPECT_FLOAT_EQ(g[9].x, 80 + 4 * 32);
    EXPECT_FLOAT_EQ(g[10].x, 74);
    EXPECT_FLOAT_EQ(g[11].x, 87);
    EXPECT_FLOAT_EQ(g[12].x, 0);
    EXPECT_FLOAT_EQ(g[13].x, 32);
}

TEST_F(TextRows, EmptyTextAndCharactersWithoutPictures) {
    Begin();
    DrawText("", 0, 160, 0);
    EXPECT_TRUE(LastBatchVertices().empty());
    // "!" lies below the font and "a" above it: both leave their place empty.
    DrawBigText("a!_", -1, 0, 0);
    std::vector<Glyph> g = Glyphs();
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].frame, 47);  // "_", the last frame
    EXPECT_FLOAT_EQ(g[0].x, 64);
}

TEST_F(TextRows, LongTextsAreDrawnWhole) {
    Begin();
    DrawText(KString("0123456789012345678901234567890123456789012345"), -1, 0, 0);
    EXPECT_EQ(Glyphs().size(), 46u);
}

}  // namespace
