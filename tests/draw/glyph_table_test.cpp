// Filling the atlas table from data lists: record form, the frame wrap rule, and the generated
// list parsed here independently of the game's reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/draw/draw.h"
#include "game/shell/globals.h"
#include "runtime/core/data_list.h"

namespace {

void ExpectRect(int item, int frame, int x, int y, int w, int h) {
    EXPECT_EQ(glyphTable(item, frame, 0), x) << item << "/" << frame;
    EXPECT_EQ(glyphTable(item, frame, 1), y) << item << "/" << frame;
    EXPECT_EQ(glyphTable(item, frame, 2), w) << item << "/" << frame;
    EXPECT_EQ(glyphTable(item, frame, 3), h) << item << "/" << frame;
}

TEST(GlyphTable, SingleFramesAndFrameRunsThatWrapAtTheAtlasEdge) {
    static const float LIST[] = {
        16, 1, 5, 5, 320, 480,         // one frame
        20, 5, 900, 100, 50, 40,       // 900, 950, 1000, then wraps to the next row
        42, 3, 0, 600, 32.5f, 36,      // fractional widths keep advancing exactly
        255,
        7, 1, 1, 1, 1, 1,              // after the end: never read
    };
    DataList list(LIST);
    FillGlyphTable(list);
    ExpectRect(16, 0, 5, 5, 320, 480);
    ExpectRect(20, 0, 900, 100, 50, 40);
    ExpectRect(20, 1, 950, 100, 50, 40);
    ExpectRect(20, 2, 1000, 100, 50, 40);
    ExpectRect(20, 3, 0, 140, 50, 40);
    ExpectRect(20, 4, 50, 140, 50, 40);
    ExpectRect(42, 0, 0, 600, 32, 36);
    ExpectRect(42, 1, 32, 600, 32, 36);  // 32.5 truncated
    ExpectRect(42, 2, 65, 600, 32, 36);  // 65.0
    ExpectRect(7, 0, 0, 0, 0, 0);
    EXPECT_EQ(list.readIndex, 19);
}

TEST(GlyphTable, MissingEndMarkerIsTheOutOfDataError) {
    static const float LIST[] = {1, 1, 0, 0, 50, 50};
    EXPECT_EXIT(
        {
            DataList list(LIST);
            FillGlyphTable(list);
        },
        testing::ExitedWithCode(0), "");
}

// Reads the generated list as plain text: numbers separated by commas and white space.
std::vector<double> ReadGeneratedList(bool& found) {
    std::ifstream in(ATLAS_DATA_FILE);
    found = static_cast<bool>(in);
    std::vector<double> values;
    std::string token;
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    for (char& c : text)
        if (c == ',') c = ' ';
    std::istringstream words(text);
    while (words >> token) {
        if (token.rfind("//", 0) == 0) {
            std::getline(words, token);
            continue;
        }
        values.push_back(std::strtod(token.c_str(), nullptr));
    }
    return values;
}

TEST(GlyphTable, GeneratedListFillsTheTableAsTheWrapRuleSays) {
    bool found = false;
    std::vector<double> v = ReadGeneratedList(found);
    if (!found) GTEST_SKIP() << "no generated atlas list in this build";
    FillGlyphTable();

    int expected[122][48][4] = {};
    bool seen[122] = {};
    size_t at = 0;
    int items = 0;
    while (true) {
        ASSERT_LT(at, v.size()) << "list ends without 255";
        int item = static_cast<int>(v[at++]);
        if (item == 255) break;
        ASSERT_LE(at + 5, v.size());
        ASSERT_GE(item, 0);
        ASSERT_LT(item, 122);
        int count = static_cast<int>(v[at++]);
        ASSERT_GE(count, 1);
        ASSERT_LE(count, 48);
        double x = v[at], y = v[at + 1], w = v[at + 2], h = v[at + 3];
        at += 4;
        for (int f = 0; f < count; ++f) {
            expected[item][f][0] = static_cast<int>(x);
            expected[item][f][1] = static_cast<int>(y);
            expected[item][f][2] = static_cast<int>(w);
            expected[item][f][3] = static_cast<int>(h);
            x += w;
            if (x >= 1024) {
                x = 0;
                y += h;
            }
        }
        seen[item] = true;
        ++items;
    }
    EXPECT_GT(items, 50);
    for (int i = 0; i < 122; ++i)
        for (int f = 0; f < 48; ++f)
            for (int k = 0; k < 4; ++k) ASSERT_EQ(glyphTable(i, f, k), expected[i][f][k]) << i << "/" << f << "/" << k;
    // The pictures the board and the background draw must be in the list.
    for (int item : {1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 17, 42, 44, 46, 57, 58, 59, 86}) EXPECT_TRUE(seen[item]) << item;
}

}  // namespace
