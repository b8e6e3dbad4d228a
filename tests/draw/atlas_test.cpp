// The atlas routines' table bounds, and the filling of the atlas table by its frame rule (the
// generated list itself is checked with the media).
#include "game/draw/draw.h"
#include "game/state/globals.h"
#include "runtime/core/data_list.h"
#include "runtime/graphics/polygon_batch.h"
#include "tests/draw/draw_fixture.h"

namespace {

using Atlas = DrawTest;

TEST_F(Atlas, TableBounds) {
    SetRect(121, 0, 600, 900, 10, 10);
    Begin();
    DrawAtlasItem(-1, 0, 0);  // a negative item is the last table entry
    const std::vector<Quad> q = Quads();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].item, 121);
    EXPECT_EXIT({ Begin(); DrawAtlasItem(122, 0, 0); }, testing::ExitedWithCode(0), "bounds");
    EXPECT_EXIT({ Begin(); DrawAtlasFrame(5, 48, 0, 0); }, testing::ExitedWithCode(0), "bounds");
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
