// Points, awards and speech of a clear step, the score counting up, and switches paid one at a time.
#include <gtest/gtest.h>

#include <vector>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/shell/globals.h"

namespace {

void FreshScore() {
    PrepareEmptyGame();
    levelTarget = 100;
    levelProgress = 0;
    score = pendingScore = 0;
}

// The state CollapseCleared leaves after a clear step of the given groups in chain step `chain`.
void ClearStep(std::vector<float> sizes, float chain) {
    groupsCleared = static_cast<float>(sizes.size());
    largestGroup = 0;
    for (size_t g = 0; g < sizes.size(); ++g) {
        groupSizes(static_cast<int>(g)) = sizes[g];
        largestGroup = std::max(largestGroup, sizes[g]);
    }
    chainLength = chain;
    if (chain > 1) chainAwardPending += 1;
    largestAwardPending = 1;
    groupsToScore = groupsCleared;
    if (sizes.size() > 1) {
        multiGroupCount = groupsCleared;
        multiAwardPending = 1;
    }
    popupX(static_cast<int>(popupSlot)) = 100;
    popupY(static_cast<int>(popupSlot)) = 100;
}

std::vector<float> Speech() {
    std::vector<float> out;
    for (int i = static_cast<int>(speechQueueRead); i < static_cast<int>(speechQueueEnd); ++i) out.push_back(speechQueue(i));
    return out;
}

float StarsInFlight() {
    float n = 0;
    for (int s = 0; s < 2; ++s) n += effectTimer(s) > 0 ? effectValue(s) : 0;
    return n;
}

}  // namespace

TEST(Scoring, GroupsScoreByTheRateOfTheirSize) {
    FreshScore();
    popupSlot = 9;
    ClearStep({4}, 1);
    ScoreTick();
    EXPECT_EQ(pendingScore, 100);
    EXPECT_TRUE(Speech().empty());
    EXPECT_EQ(StarsInFlight(), 0);
    EXPECT_EQ(popupValue(9), 100);
    EXPECT_EQ(popupTimer(9), 40);
    EXPECT_EQ(popupSlot, 0);  // the ring wraps

    FreshScore();
    ClearStep({6}, 1);
    ScoreTick();
    EXPECT_EQ(pendingScore, 540);
    EXPECT_EQ(Speech(), std::vector<float>{28});
    EXPECT_EQ(StarsInFlight(), 1);

    FreshScore();
    ClearStep({14}, 1);
    ScoreTick();
    EXPECT_EQ(pendingScore, 21000);
    EXPECT_EQ(Speech(), std::vector<float>{48});
    EXPECT_EQ(StarsInFlight(), 9);
}

TEST(Scoring, ChainsAndMultiGroupStepsPayTheirAwardsOnce) {
    FreshScore();
    ClearStep({4}, 1);
    ScoreTick();
    ClearStep({4}, 2);
    ScoreTick();
    EXPECT_EQ(pendingScore, 100 + 100 + 50);
    ClearStep({4}, 3);
    ScoreTick();
    EXPECT_EQ(pendingScore, 250 + 100 + 150);
    EXPECT_EQ(Speech(), (std::vector<float>{23, 24}));
    ScoreTick();  // nothing pending any more
    EXPECT_EQ(pendingScore, 500);

    FreshScore();
    ClearStep({4, 4, 4}, 1);
    ScoreTick();
    EXPECT_EQ(pendingScore, 300 + 1200);
    EXPECT_EQ(Speech(), std::vector<float>{26});
}

TEST(Scoring, ReachingTheTargetKeepsThePointsButOnlyItsOwnSpeech) {
    FreshScore();
    levelProgress = 100;
    ClearStep({4, 6}, 2);
    ScoreTick();
    EXPECT_EQ(pendingScore, 100 + 540 + 50 + 250);
    EXPECT_EQ(Speech(), std::vector<float>{37});
    EXPECT_EQ(bonusTicks, 600);
    EXPECT_EQ(levelTarget, 108);
    EXPECT_EQ(chainLength, 0);
}

TEST(Scoring, PendingPointsCountUpInFiftiesTensAndFives) {
    FreshScore();
    highScoreThreshold = 1e9f;
    pendingScore = 3000;
    int ticks = 0;
    while (pendingScore > 2000) { CountScore(); ++ticks; }
    EXPECT_EQ(ticks, 20);
    while (pendingScore > 500) { CountScore(); ++ticks; }
    EXPECT_EQ(ticks, 20 + 150);
    while (pendingScore > 0) { CountScore(); ++ticks; }
    EXPECT_EQ(ticks, 20 + 150 + 100);
    EXPECT_EQ(score, 3000);
}

TEST(Scoring, EarnedSwitchesArePaidOneEveryTwentyOneTicks) {
    FreshScore();
    swaps = 0;
    swapsToAward = 3;
    std::vector<int> paidAt;
    for (int t = 0; t < 100; ++t) {
        float before = swaps;
        PaySwaps();
        if (swaps > before) paidAt.push_back(t);
    }
    EXPECT_EQ(paidAt, (std::vector<int>{0, 21, 42}));
}

TEST(Scoring, BonusRatesApplyToTheSearchAfterALevelUp) {
    FreshScore();
    levelBreak = 1;
    ClearStep({6, 5}, 1);
    ScoreTick();
    EXPECT_EQ(pendingScore, 6 * 40 + 5 * 30 + 200);
    EXPECT_TRUE(Speech().empty());
    EXPECT_EQ(StarsInFlight(), 0);
}
