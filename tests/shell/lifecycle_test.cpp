// Lifecycle callbacks found by name, the paused frame that only waits, quitting, the exits
// from a game and the splash screen's count.
#include <gtest/gtest.h>

#include "game/play/play.h"
#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "runtime/core/lifecycle.h"
#include "runtime/graphics/polygon_batch.h"
#include "tests/shell/shell_fixture.h"

namespace {

class Lifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        StartRuntimeOnce();
        StartPacing();
        DimensionPlayTables();
        highScores.DimArray(4, 6, 2);
        startupComplete = 1;
        lifecycleRequest = 0;
        quitRequested = 0;
    }
    static void DrawScreen() {
        BeginPolygonBatch(3, 1);
        DrawCurrentScreen();
        EndPolygonBatch();
    }
};

TEST_F(Lifecycle, CallbacksDoNothingBeforeStartUpHasFinished) {
    startupComplete = 0;
    tickDebt = 5;
    for (const char* name : {"KRT_ON_PAUSE", "KRT_ON_QUIT", "KRT_ON_RESUME"})
        EXPECT_EQ(CALLBYNAME(name), 1.0f) << name;
    EXPECT_EQ(lifecycleRequest, 0);
    EXPECT_EQ(tickDebt, 5);
}

TEST_F(Lifecycle, PauseQuitAndResumeRaiseTheirRequests) {
    tickDebt = 7;
    ticksThisFrame = 4;
    CALLBYNAME("KRT_ON_PAUSE");
    EXPECT_EQ(lifecycleRequest, 3);
    EXPECT_EQ(tickDebt, 0);
    EXPECT_EQ(ticksThisFrame, 1);
    EXPECT_EQ(resetFrameClock, 1);
    CALLBYNAME("KRT_ON_RESUME");
    EXPECT_EQ(lifecycleRequest, 1);
    resetFrameClock = 1;
    CALLBYNAME("KRT_ON_QUIT");
    EXPECT_EQ(lifecycleRequest, 4);
    EXPECT_EQ(resetFrameClock, 0);
}

TEST_F(Lifecycle, WhilePausedNoTickRunsAndNothingIsDrawnUntilTheResume) {
    lifecycleRequest = 3;
    long long ticks = logicTickCount;
    uint64_t frames = NullPlatform::FramesPresented();
    // The device goes away and comes back while the loop waits.
    NullPlatform::PushActive(false, Platform::APP_ACTIVE | Platform::APP_INPUTFOCUS);
    NullPlatform::PushActive(true, Platform::APP_ACTIVE | Platform::APP_INPUTFOCUS);
    EXPECT_TRUE(HandleLifecycleRequests());
    EXPECT_EQ(lifecycleRequest, 0);
    EXPECT_EQ(logicTickCount, ticks);
    EXPECT_EQ(NullPlatform::FramesPresented(), frames);
    EXPECT_EQ(ticksThisFrame, 1);
    EXPECT_EQ(resetFrameClock, 1);
}

TEST_F(Lifecycle, AQuitRequestEndsTheLoopAndAQuittingRequestIsSpentOnce) {
    lifecycleRequest = 4;
    EXPECT_TRUE(HandleLifecycleRequests());
    EXPECT_EQ(lifecycleRequest, 0);
    phase = 99;
    RunPhaseTick();
    EXPECT_EQ(quitRequested, 1);
    EXPECT_FALSE(HandleLifecycleRequests());
}

TEST_F(Lifecycle, LeavingAGameReturnsToTheMenuTheTutorialGivesBackTheSpeechVolumeUnknownValuesDoNothing) {
    gameMode = 3;
    phase = 14;
    fieldActive = 1;
    RunPhaseTick();
    EXPECT_EQ(gameMode, 0);
    EXPECT_EQ(screen, 1);
    EXPECT_EQ(phase, 0);
    EXPECT_EQ(fieldActive, 0);
    EXPECT_EQ(skipIntroMusic, 0);

    speechVolume = 0.8f;
    gameMode = 5;
    StartNewGame();   // the tutorial mutes speech and keeps the old volume
    EXPECT_EQ(speechVolume, 0);
    phase = 14;
    RunPhaseTick();
    EXPECT_EQ(speechVolume, 0.8f);
    EXPECT_EQ(gameMode, 1);
    EXPECT_EQ(skipIntroMusic, 1);
    // Any other mode, phase or screen value leaves everything alone.
    gameMode = 7;
    phase = 14;
    screen = 6;
    RunPhaseTick();
    EXPECT_EQ(phase, 14);
    EXPECT_EQ(screen, 6);
    phase = 6;
    screen = 11;
    RunPhaseTick();
    DrawScreen();
    EXPECT_EQ(LastBatchVertices().size(), 0u);
    phase = 7.5f;
    RunPhaseTick();
    EXPECT_EQ(phase, 7.5f);
}

TEST_F(Lifecycle, TheSplashScreenHandsOverToTheMenuOnItsFifthFrame) {
    screen = 0;
    phase = 5;
    splashFrames = 0;
    for (int frame = 1; frame <= 5; ++frame) {
        DrawScreen();
        EXPECT_EQ(phase, frame < 5 ? 5 : 0) << frame;
    }
    screen = 1;
    DrawScreen();
    EXPECT_EQ(splashFrames, 0);
}

}  // namespace
