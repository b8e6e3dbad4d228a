// Challenge tracking and the notice ring: tiers complete one at a time, progress only rises,
// counts near a threshold stay at 99, and the tenth completion adds its own notice once.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/shell/globals.h"

namespace {

class Challenges : public ::testing::Test {
protected:
    void SetUp() override {
        // Completions save the settings: keep whatever gets written out of the source tree.
        char tmpl[] = "/tmp/squibly_play_challenges_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        home_ = cwd;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        saveDir = KString(dir_.c_str());
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
    void TearDown() override {
        if (chdir(home_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << home_;
        std::string cmd = "rm -rf '" + dir_ + "'";
        if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << "cannot remove " << dir_;
    }
    std::vector<float> Ring() {
        std::vector<float> out;
        for (int i = 0; i < 10; ++i) out.push_back(noticeRing(i));
        return out;
    }
    std::string dir_, home_;
};

}  // namespace

TEST_F(Challenges, CombosCompleteOneTierPerGroup) {
    TrackCombo(5);
    EXPECT_EQ(challengeProgress(6), 25);
    TrackCombo(12);  // completes SKILLED only
    EXPECT_EQ(challengeProgress(6), 100);
    EXPECT_EQ(challengeProgress(7), 0);
    EXPECT_EQ(noticeRing(0), 74);
    TrackCombo(9);
    EXPECT_EQ(challengeProgress(7), 50);
    TrackCombo(5);  // too small for MASTER: no change
    EXPECT_EQ(challengeProgress(7), 50);
    TrackCombo(11);
    EXPECT_EQ(challengeProgress(7), 100);
    TrackCombo(12);
    EXPECT_EQ(challengeProgress(8), 66);
    TrackCombo(13);
    EXPECT_EQ(challengeProgress(8), 100);
    EXPECT_EQ(challengesCompleted, 3);
}

TEST_F(Challenges, HoardingCountsTheBankAtEachPaymentAndStopsPastTheTarget) {
    swaps = 19;
    TrackHoarding();
    EXPECT_EQ(challengeProgress(9), 95);
    swaps = 5;  // spent
    TrackHoarding();
    EXPECT_EQ(challengeProgress(9), 95);  // progress never falls
    swaps = 21;  // past the target without a payment at 20
    TrackHoarding();
    EXPECT_EQ(challengeProgress(9), 95);
    swaps = 20;
    TrackHoarding();
    EXPECT_EQ(challengeProgress(9), 100);
    swaps = 30;
    TrackHoarding();
    EXPECT_EQ(challengeProgress(10), 50);
}

TEST_F(Challenges, LevelingNeedsTheTierBeforeAndCountsArcadeLevels) {
    level = 3;
    TrackLeveling();
    EXPECT_EQ(challengeProgress(0), 66);
    level = 4;
    TrackLeveling();
    EXPECT_EQ(challengeProgress(0), 100);
    for (float l = 5; l <= 8; ++l) {
        level = l;
        TrackLeveling();
    }
    EXPECT_EQ(challengeProgress(1), 100);
    for (float l = 9; l <= 12; ++l) {
        level = l;
        TrackLeveling();
    }
    EXPECT_EQ(challengeProgress(2), 100);
}

TEST_F(Challenges, SurvivalAndCommitmentAddUpTheirStepsAndHoldNinetyNine) {
    playTicks = 35999;
    TrackSurvival();
    EXPECT_EQ(challengeProgress(3), 99);
    playTicks = 36000;
    TrackSurvival();
    EXPECT_EQ(challengeProgress(3), 100);
    playTicks = 36000 + 27000;
    TrackSurvival();
    EXPECT_EQ(challengeProgress(4), 50);

    creaturesConnectedTotal = 1999.9f;
    TrackCommitment();
    EXPECT_EQ(challengeProgress(12), 99);
    creaturesConnectedTotal = 12000;
    TrackCommitment();  // one tier per call
    EXPECT_EQ(challengeProgress(12), 100);
    EXPECT_EQ(challengeProgress(13), 0);
    TrackCommitment();
    EXPECT_EQ(challengeProgress(13), 100);
}

TEST_F(Challenges, NoticesShowOneAfterAnotherAndTheTenthAddsItsOwn) {
    runState = 2;
    PostNotice(2);   // a high score
    PostNotice(74);  // a challenge in the same tick
    PostNotice(2);   // already pending: not twice
    EXPECT_EQ(Ring(), (std::vector<float>{2, 74, 0, 0, 0, 0, 0, 0, 0, 0}));
    int t = 0;
    for (; t < 2000 && noticeRing(1) != 0; ++t) NoticeTick();
    EXPECT_EQ(t, 960);
    EXPECT_EQ(noticeIndex, 2);

    challengesCompleted = 9;
    PostNotice(83);
    EXPECT_EQ(challengesCompleted, 10);
    EXPECT_EQ(noticeRing(2), 83);
    EXPECT_EQ(noticeRing(3), 119);
}
