// A whole game on the board's per-tick routines: the play area slides in, the banners pass, the
// clock runs out on an idle board, the exit sweep lifts every creature and the results open.
#include <gtest/gtest.h>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/shell/globals.h"

namespace {

void GameTick() {
    BoardStep();
    AnimateCreatures();
    ScoreTick();
    CountScore();
    PaySwaps();
    SpeechTick();
    PowerTimerTick();
    ClockTick();
    BannerTick();
    NoticeTick();
    PlayAreaTick();
}

void StartGame(float mode, unsigned seed) {
    PrepareEmptyGame();
    SeedGameRandom(static_cast<float>(seed));
    gameMode = mode;
    StartNewGame();
    DealBoard();
    boardPhase = 1;
    StartEntrySweep();
}

}  // namespace

TEST(GameFlow, TimeTrialRunsOutAndTheExitSweepOpensTheResults) {
    StartGame(3, 99);
    EXPECT_EQ(runState, 1);
    EXPECT_EQ(bannerKind, 1);
    EXPECT_EQ(entryPattern, 3);
    float played = static_cast<float>(gamesPlayed);
    int t = 0;
    for (; t < 400 && !(runState == 2 && bannerKind == 0 && boardPhase == 2 && busyCount == 0); ++t) GameTick();
    ASSERT_LT(t, 400);
    EXPECT_EQ(t, 96 + 145);  // GET READY, then LEVEL:, with the board settled long before
    EXPECT_EQ(gameClock, 0);
    gameClock = -299;
    clockTicks = 1;
    GameTick();
    EXPECT_EQ(gameClock, -300);
    EXPECT_EQ(boardLock, 3);
    EXPECT_EQ(runState, 3);
    EXPECT_EQ(bannerKind, 5);
    EXPECT_GE(entryPattern, 1);
    EXPECT_LE(entryPattern, 4);
    for (t = 0; t < 2000 && phase != 5; ++t) {
        phase = 7;
        GameTick();
    }
    ASSERT_LT(t, 2000);
    EXPECT_EQ(screen, 6);
    EXPECT_EQ(runState, 0);
    EXPECT_EQ(inputCooldown, 30);
    EXPECT_EQ(gamesPlayed, played + 1);
    EXPECT_LT(busyCount, -71000);
    for (int i = 0; i < 36; ++i) EXPECT_EQ(creatures(i).state, 10);
}

TEST(GameFlow, GameOverWaitsForACascadeToFinish) {
    StartGame(1, 5);
    for (int t = 0; t < 400 && !(runState == 2 && bannerKind == 0 && boardPhase == 2); ++t) GameTick();
    ASSERT_EQ(boardPhase, 2);
    // A clear is under way when the clock empties.
    Kinds k = Checkerboard();
    k[0] = k[1] = k[2] = k[3] = 5;
    PlaceBoard(k);
    boardPhase = 3;
    gameClock = -300;
    powerType = 2;  // hold the clock so the clear's refill does not matter
    GameTick();
    EXPECT_EQ(boardPhase, 1);
    EXPECT_LT(boardLock, 3);
    powerType = 0;
    // ARCADE: the clear refills the clock, so the game goes on.
    for (int t = 0; t < 400 && boardPhase != 2; ++t) GameTick();
    EXPECT_EQ(boardPhase, 2);
    EXPECT_GT(gameClock, -300);
    EXPECT_LT(boardLock, 3);
    EXPECT_EQ(pendingScore + score, 100);  // a single group of four
}

TEST(GameFlow, ReachingTheLevelTargetRunsABonusPeriodAndLevelsUp) {
    StartGame(4, 17);  // ZEN: no clock to run out
    for (int t = 0; t < 400 && !(runState == 2 && bannerKind == 0 && boardPhase == 2); ++t) GameTick();
    levelProgress = levelTarget;
    GameTick();
    EXPECT_EQ(bonusTicks, 600);
    EXPECT_EQ(bannerKind, 2);
    EXPECT_EQ(levelTarget, 128);
    // During the bonus period every swipe is legal and nothing is matched.
    EXPECT_TRUE(IsLegalSwap(1, 0, 1, 5, 0, 0, 0, 6));
    int t = 0;
    for (; t < 1000 && level == 1; ++t) GameTick();
    EXPECT_EQ(level, 2);
    EXPECT_EQ(t, 120 + 600 - 1);
    EXPECT_EQ(levelBreak, 1);
    EXPECT_EQ(bannerKind, 4);
    for (t = 0; t < 1000 && !(boardPhase == 2 && busyCount == 0); ++t) GameTick();
    EXPECT_EQ(levelBreak, 0);
}

TEST(GameFlow, TheTutorialsLeaveAreaClosesTheBoardAndReturnsToTheMenus) {
    PrepareEmptyGame();
    for (int i = 0; i < 42; ++i) tutorialCreatures(i) = i % 8 + 1;
    SeedGameRandom(3);
    gameMode = 5;
    speechVolume = 0.8f;
    StartNewGame();
    EXPECT_EQ(speechVolume, 0);
    EXPECT_EQ(swaps, 0);
    DealTutorialBoard();
    boardPhase = 1;
    StartEntrySweep();
    for (int t = 0; t < 400 && boardPhase != 2; ++t) GameTick();
    ASSERT_EQ(boardPhase, 2);
    touchX = 250;
    touchY = 460;
    touchDown = 1;
    for (int held = 0; held < 3; ++held) GameTick();
    touchDown = 0;
    EXPECT_EQ(boardLock, 3);
    int t = 0;
    for (; t < 2000 && phase != 14; ++t) GameTick();
    ASSERT_LT(t, 2000) << "busy " << busyCount << " phase " << boardPhase << " hud " << hudAlpha << " banner "
                       << bannerTicks << " pattern " << entryPattern;
    EXPECT_EQ(screen, 0);
    EXPECT_FLOAT_EQ(TutorialSpeechVolume(), 0.8f);
}
