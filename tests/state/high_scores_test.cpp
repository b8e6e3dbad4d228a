// Entering a result in the high-score tables with its place (the defaults a first start holds
// are shown and saved in the menu and save flows).
#include <gtest/gtest.h>

#include "game/state/globals.h"
#include "game/state/high_scores.h"

namespace {

TEST(HighScores, AResultGoesBelowEveryEqualOrBetterEntryAndReturnsItsPlace) {
    struct Case {
        float mode, score, level, rank;
        float table[6];   // the mode's table afterwards
    } cases[] = {
        {1, 60000, 7, 3, {72000, 60000, 60000, 48000, 36000, 24000}},   // equal to slot 1: placed below it
        {4, 100, 2, 0, {120000, 100000, 80000, 60000, 40000, 20000}},   // not in the table at all
        {3, 5000, 3, 6, {24000, 20000, 16000, 12000, 8000, 5000}},      // only the overflow place
        {2, 40000, 9, 1, {40000, 39000, 32500, 26000, 19500, 13000}},   // a new best
        {0, 99999, 9, 0, {}},                                           // no scored mode
    };
    for (const Case& c : cases) {
        SetDefaultHighScores();
        score = c.score;
        level = c.level;
        EXPECT_EQ(InsertHighScore(c.mode), c.rank) << c.mode << " " << c.score;
        int t = HighScoreTableOfMode(c.mode);
        if (t < 0) continue;
        for (int s = 0; s < 6; ++s) EXPECT_EQ(highScores(t, s, 0), c.table[s]) << c.mode << " slot " << s;
        if (c.rank > 0) {
            EXPECT_EQ(highScores(t, static_cast<int>(c.rank) - 1, 1), c.level);
        }
    }
    EXPECT_EQ(HighScoreTableOfMode(3), 0);   // TIME TRIAL heads the list
    EXPECT_EQ(HighScoreTableOfMode(5), -1);  // the tutorial has none
}

}  // namespace
