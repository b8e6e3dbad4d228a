// Start-up on the headless twin: project settings and version texts, platform and folders,
// display scaling, the tables start-up fills, and the start-mode switch into a playable game.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "game/shell/globals.h"
#include "game/shell/main_routine.h"
#include "runtime/core/files.h"
#include "runtime/core/platform_info.h"
#include "runtime/graphics/graphics_device.h"
#include "tests/shell/shell_fixture.h"

namespace {

const double PI = 3.14159265358979323846;

void SetScreen(int w, int h) {
    graphicsDevice->Orientation = 0;
    graphicsDevice->deviceWidth = w;
    graphicsDevice->deviceHeight = h;
}

TEST(StartupHook, FillsTheProjectSettingsCaptionAndVersionTexts) {
    StartRuntimeOnce();
    EXPECT_EQ(Settings().screenWidth, 768);
    EXPECT_EQ(Settings().screenHeight, 1024);
    EXPECT_EQ(Settings().framesPerSecond, 60);
    EXPECT_STREQ(ApplicationName().c_str(), "Squibly");
    EXPECT_EQ(NullPlatform::WindowCaption(), "Squibly");
    EXPECT_STREQ(PlatformInfo("VERSION").c_str(), "001.003");
    EXPECT_STREQ(PlatformInfo("COMPILED").c_str(), "Oct  2 2012-21:17:35");
    std::string host = PlatformInfo("HOSTID").c_str();
    ASSERT_EQ(host.size(), 8u);
    for (char c : host) EXPECT_TRUE(std::isdigit(c) || (c >= 'a' && c <= 'f')) << host;
}

TEST(DisplayScaling, TabletScreenScalesByTheSmallerRatioAndCentresAcross) {
    StartRuntimeOnce();
    SetScreen(768, 1024);
    ComputeDisplayScaling();
    EXPECT_EQ(scalingOn, 1);
    EXPECT_NEAR(scaleX, 1024.0 / 480.0, 1e-4);
    EXPECT_EQ(scaleX, scaleY);
    EXPECT_NEAR(offsetX, (768 - 320 * 1024.0 / 480.0) / 2, 1e-3);
    EXPECT_EQ(offsetY, 0);
}

TEST(DisplayScaling, DesignSizedScreenIsNotScaled) {
    StartRuntimeOnce();
    SetScreen(320, 480);
    ComputeDisplayScaling();
    EXPECT_EQ(scalingOn, 0);
    EXPECT_EQ(scaleX, 1);
    EXPECT_EQ(offsetX, 0);
    EXPECT_EQ(offsetY, 0);
}

TEST(DisplayScaling, HugeScreenIsCappedAtSixAndCentred) {
    StartRuntimeOnce();
    SetScreen(3000, 4000);
    ComputeDisplayScaling();
    EXPECT_EQ(scaleX, 6);
    EXPECT_EQ(offsetX, (3000 - 1920) / 2);
    EXPECT_EQ(offsetY, (4000 - 2880) / 2);
}

TEST(DisplayScaling, SmallScreenShrinksByTheSmallerRatio) {
    StartRuntimeOnce();
    SetScreen(240, 320);
    ComputeDisplayScaling();
    EXPECT_EQ(scalingOn, 1);
    EXPECT_NEAR(scaleX, 320.0 / 480.0, 1e-5);
    EXPECT_NEAR(offsetX, (240 - 320 * 320.0 / 480.0) / 2, 1e-3);
    EXPECT_EQ(offsetY, 0);
}

TEST(StartMode, NamesMapToModesAndAnythingElseToNone) {
    EXPECT_EQ(StartModeFromText("arcade"), 1);
    EXPECT_EQ(StartModeFromText("PUZZLE"), 2);
    EXPECT_EQ(StartModeFromText("timetrial"), 3);
    EXPECT_EQ(StartModeFromText("time_trial"), 3);
    EXPECT_EQ(StartModeFromText("Time Trial"), 3);
    EXPECT_EQ(StartModeFromText("zen"), 4);
    EXPECT_EQ(StartModeFromText("tutorial"), 5);
    EXPECT_EQ(StartModeFromText(""), 0);
    EXPECT_EQ(StartModeFromText("arcadeX"), 0);
    EXPECT_EQ(StartModeFromText("1"), 0);
}

// The whole start-up, then frames, on a tablet-sized headless display without media.
class FullStart : public ::testing::Test {
protected:
    void Start(const char* mode) {
        StartRuntimeOnce();
        if (mode) setenv("SQUIBLY_START_MODE", mode, 1); else unsetenv("SQUIBLY_START_MODE");
        setenv("SQUIBLY_SEED", "99", 1);
        char dir[] = "/tmp/squibly_shell_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        SetCurrentDir(dir);
        framesBefore = NullPlatform::FramesPresented();
        GameStartup();
    }
    uint64_t framesBefore = 0;
};

TEST_F(FullStart, WithoutASwitchItOpensTheMainMenuWithEveryTableFilled) {
    Start(nullptr);
    EXPECT_EQ(startupComplete, 1);
    EXPECT_EQ(screen, 1);
    EXPECT_EQ(phase, 0);
    EXPECT_EQ(gameMode, 1);
    EXPECT_EQ(platform, 3);   // the 768 x 1024 display is the tablet
    EXPECT_FALSE(storeLink.Empty());
    EXPECT_NEAR(scaleX, 1024.0 / 480.0, 1e-4);
    // Loading screen frames and the 50 frames of the outro were presented.
    EXPECT_GE(NullPlatform::FramesPresented() - framesBefore, 50u + 50u);

    const int tutorial[42] = {4, 3, 6, 3, 2, 7, 3, 6, 4, 5, 8, 1, 1, 2, 1, 6, 4, 7, 7, 3, 6,
                              8, 7, 5, 3, 5, 8, 2, 1, 4, 5, 8, 6, 5, 8, 2, 10, 11, 12, 13, 14, 15};
    for (int i = 0; i < 42; ++i) EXPECT_EQ(tutorialCreatures(i), tutorial[i]) << i;
    EXPECT_EQ(soundLengths(23), 37);
    EXPECT_EQ(soundLengths(37), 110);
    EXPECT_EQ(soundLengths(49), 46);
    int spoken = 0;
    for (int i = 0; i < 50; ++i) spoken += soundLengths(i) != 0;
    EXPECT_EQ(spoken, 24);
    for (int k = 0; k < 600; k += 37) {
        EXPECT_NEAR(titleWave(k), 5 * std::sin((3 * k % 360) * PI / 180), 1e-3) << k;
        EXPECT_NEAR(textWave(k), 5 * std::sin((2 * k % 360) * PI / 180), 1e-3) << k;
    }
    EXPECT_NEAR(dipTable(0), 120, 1e-3);
    EXPECT_NEAR(dipTable(30), 60, 1e-3);
    EXPECT_NEAR(dipTable(89), 120 - 120 * std::sin(89 * PI / 180), 1e-3);
    EXPECT_EQ(highScores.ArraySize(0), 4);
    EXPECT_EQ(legacyKey.ArraySize(0), 232);
    EXPECT_EQ(creatures.ArraySize(0), 36);

    // Start-up leaves no tick for the first frame; the second enters the main menu.
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(phase, 0);
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(phase, 1);
    EXPECT_EQ(mainMenuStage, 1);
}

TEST_F(FullStart, TheLegacyKeyIsTheSameEveryRun) {
    Start(nullptr);
    SeedGameRandom(19790321);
    for (int i = 0; i < 232; ++i) ASSERT_EQ(legacyKey(i), GameRandom(255)) << i;
}

TEST_F(FullStart, TheSwitchStartsAPlayableGameOfThatMode) {
    Start("zen");
    EXPECT_EQ(gameMode, 4);
    EXPECT_EQ(screen, 7);
    EXPECT_EQ(phase, 8);
    long long ticks = logicTickCount;
    uint64_t frames = NullPlatform::FramesPresented();
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(RunFrame());
    EXPECT_EQ(phase, 7);
    EXPECT_EQ(NullPlatform::FramesPresented() - frames, 300u);
    // On the virtual clock every frame lasts one frame interval, so about one tick a frame.
    EXPECT_NEAR(static_cast<double>(logicTickCount - ticks), 300, 6);
    EXPECT_EQ(fieldActive, 1);
    int kinds[17] = {};
    for (int i = 0; i < 36; ++i) {
        int k = static_cast<int>(creatures(i).kind);
        ASSERT_GE(k, 1);
        ASSERT_LE(k, 8);
        kinds[k]++;
    }
    EXPECT_EQ(boardPhase, 2);   // dealt, swept in and settled
}

TEST_F(FullStart, TheTutorialSwitchDealsTheFixedTutorialBoard) {
    Start("tutorial");
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(RunFrame());
    EXPECT_EQ(gameMode, 5);
    EXPECT_EQ(phase, 11);
    for (int i = 0; i < 36; ++i) EXPECT_EQ(creatures(i).kind, tutorialCreatures(i)) << i;
}

}  // namespace
