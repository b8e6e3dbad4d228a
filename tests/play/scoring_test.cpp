// Points, awards and speech of a clear step, and the challenge tiers. (The score
// counting up to what a clear is worth is the rules flow's to show.)
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "board_checkers.h"
#include "tests/core/core_test_util.h"
#include "game/play/play.h"
#include "game/state/globals.h"

namespace {

std::vector<float> Speech() {
    std::vector<float> out;
    for (int i = static_cast<int>(speechQueueRead); i < static_cast<int>(speechQueueEnd); ++i) out.push_back(speechQueue(i));
    return out;
}

}  // namespace

TEST(Scoring, ClearStepsPayRatesChainsAndMultiGroupAwardsOnce) {
    struct Case {
        const char* name;
        std::vector<float> sizes;
        float chain, progress, levelBreak, points;
        std::vector<float> speech;
        float stars;  // switches flying to the bank
    };
    const Case cases[] = {
        {"four", {4}, 1, 0, 0, 100, {}, 0},
        {"six", {6}, 1, 0, 0, 540, {28}, 1},
        {"fourteen rates as thirteen", {14}, 1, 0, 0, 21000, {48}, 9},
        {"second chain step", {4}, 2, 0, 0, 100 + 50, {23}, 0},
        {"third chain step", {4}, 3, 0, 0, 100 + 150, {24}, 0},
        {"three groups", {4, 4, 4}, 1, 0, 0, 300 + 1200, {26}, 0},
        {"target reached: only its own speech", {4, 6}, 2, 100, 0, 100 + 540 + 50 + 250, {37}, 1},
        {"bonus rates after a level-up", {6, 5}, 1, 0, 1, 6 * 40 + 5 * 30 + 200, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrepareEmptyGame();
        levelTarget = 100;
        levelProgress = c.progress;
        levelBreak = c.levelBreak;
        score = pendingScore = 0;
        // What a collapse leaves for scoring.
        groupsCleared = groupsToScore = static_cast<float>(c.sizes.size());
        largestGroup = 0;
        for (size_t g = 0; g < c.sizes.size(); ++g) {
            groupSizes(static_cast<int>(g)) = c.sizes[g];
            largestGroup = std::max(largestGroup, c.sizes[g]);
        }
        chainLength = c.chain;
        chainAwardPending = c.chain > 1;
        largestAwardPending = 1;
        multiGroupCount = groupsCleared;
        multiAwardPending = c.sizes.size() > 1;
        ScoreTick();
        ScoreTick();  // nothing left to pay twice
        EXPECT_EQ(pendingScore, c.points);
        EXPECT_EQ(Speech(), c.speech);
        float stars = 0;
        for (int s = 0; s < 2; ++s) stars += effectTimer(s) > 0 ? effectValue(s) : 0;
        EXPECT_EQ(stars, c.stars);
        EXPECT_EQ(bonusTicks > 0, c.progress > 0);
    }
}

namespace {

class Challenges : public ::testing::Test {
protected:
    void SetUp() override {
        saveDir = KString(dir_.Path().c_str());  // completions save the settings
        PrepareEmptyGame();
        for (int i = 0; i < 15; ++i) challengeProgress(i) = 0;
        challengesCompleted = 0;
        survivalStep1 = 36000;
        survivalStep2 = 54000;
        survivalStep3 = 72000;
        commitmentStep1 = 2000;
        commitmentStep2 = 10000;
        commitmentStep3 = 30000;
    }
    ScratchDir dir_;
};

}  // namespace

TEST_F(Challenges, TiersCompleteOneAtATimeProgressNeverFallsAndStopsShortAtNinetyNine) {
    struct Step { const char* what; std::function<void()> track; int slot; float progress; };
    const Step steps[] = {
        {"combo of 5", [] { TrackCombo(5); }, 6, 25},
        {"combo of 12 completes SKILLED", [] { TrackCombo(12); }, 6, 100},
        {"... and only SKILLED", [] {}, 7, 0},
        {"combo of 9", [] { TrackCombo(9); }, 7, 50},
        {"19 switches banked", [] { swaps = 19; TrackHoarding(); }, 9, 95},
        {"spent: progress never falls", [] { swaps = 5; TrackHoarding(); }, 9, 95},
        {"20 banked", [] { swaps = 20; TrackHoarding(); }, 9, 100},
        {"level 3", [] { level = 3; TrackLeveling(); }, 0, 66},
        {"levels 4 to 8", [] { for (level = 4; level <= 8; ++level) TrackLeveling(); }, 1, 100},
        {"survival reached", [] { playTicks = 36000; TrackSurvival(); }, 3, 100},
        {"half the second survival step", [] { playTicks = 36000 + 27000; TrackSurvival(); }, 4, 50},
        {"just short of commitment", [] { creaturesConnectedTotal = 1999.9f; TrackCommitment(); }, 12, 99},
        {"two thresholds passed at once", [] { creaturesConnectedTotal = 12000; TrackCommitment(); }, 12, 100},
        {"... complete one tier per call", [] {}, 13, 0},
        {"the next call", [] { TrackCommitment(); }, 13, 100},
    };
    for (const Step& s : steps) {
        s.track();
        EXPECT_EQ(challengeProgress(s.slot), s.progress) << s.what;
    }
    EXPECT_EQ(challengesCompleted, 7);
}
