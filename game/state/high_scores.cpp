// The high-score tables: defaults and insertion.
#include "game/state/high_scores.h"

#include "game/state/globals.h"

namespace {
// Best first; each table steps down evenly to its overflow place.
const float DEFAULT_SCORES[HIGH_SCORE_TABLES][HIGH_SCORE_SLOTS] = {
    {24000, 20000, 16000, 12000, 8000, 4000},          // TIME TRIAL
    {72000, 60000, 48000, 36000, 24000, 12000},        // ARCADE
    {39000, 32500, 26000, 19500, 13000, 6500},         // PUZZLE
    {120000, 100000, 80000, 60000, 40000, 20000},      // ZEN
};

bool TablesDimensioned() {
    return highScores.ArraySize(0) == HIGH_SCORE_TABLES && highScores.ArraySize(1) == HIGH_SCORE_SLOTS &&
           highScores.ArraySize(2) == 2;
}
}  // namespace

int HighScoreTableOfMode(float mode) {
    if (mode == 1) return 1;
    if (mode == 2) return 2;
    if (mode == 3) return 0;
    if (mode == 4) return 3;
    return -1;
}

void SetDefaultHighScores() {
    if (!TablesDimensioned()) highScores.DimArray(HIGH_SCORE_TABLES, HIGH_SCORE_SLOTS, 2);
    for (int t = 0; t < HIGH_SCORE_TABLES; ++t) {
        for (int s = 0; s < HIGH_SCORE_SLOTS; ++s) {
            highScores(t, s, 0) = DEFAULT_SCORES[t][s];
            highScores(t, s, 1) = 0;
        }
    }
}

float DefaultHighScore(int table, int slot) { return DEFAULT_SCORES[table][slot]; }

float InsertHighScore(float mode) {
    int t = HighScoreTableOfMode(mode);
    if (t < 0 || !TablesDimensioned()) return 0;
    int count = 0;
    const int last = HIGH_SCORE_SLOTS - 1;
    if (score > highScores(t, last, 0)) {
        highScores(t, last, 0) = score;
        highScores(t, last, 1) = level;
        count = 1;
    }
    // The new entry bubbles up past every stored score it beats.
    for (int k = last - 1; k >= 0; --k) {
        if (score > highScores(t, k, 0)) {
            highScores(t, k + 1, 0) = highScores(t, k, 0);
            highScores(t, k + 1, 1) = highScores(t, k, 1);
            highScores(t, k, 0) = score;
            highScores(t, k, 1) = level;
            count += 1;
        }
    }
    return count > 0 ? static_cast<float>(7 - count) : 0;
}
