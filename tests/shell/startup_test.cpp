// Start-up on the headless twin: project settings and version texts, display scaling, and the
// start-mode switch into a playable game.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "runtime/core/files.h"
#include "runtime/core/platform_info.h"
#include "runtime/graphics/graphics_device.h"
#include "tests/scratch_folder.h"
#include "tests/shell/shell_fixture.h"

namespace {

TEST(StartupHook, FillsTheProjectSettingsCaptionAndVersionTexts) {
    StartRuntimeOnce();
    EXPECT_EQ(Settings().screenWidth * 10000 + Settings().screenHeight, 768 * 10000 + 1024);
    EXPECT_EQ(Settings().framesPerSecond, 60);
    EXPECT_EQ(NullPlatform::WindowCaption(), "Squibly");
    EXPECT_STREQ(PlatformInfo("VERSION").c_str(), "001.003");
    EXPECT_STREQ(PlatformInfo("COMPILED").c_str(), "Oct  2 2012-21:17:35");
    std::string host = PlatformInfo("HOSTID").c_str();
    EXPECT_EQ(host.size(), 8u);
    EXPECT_EQ(host.find_first_not_of("0123456789abcdef"), std::string::npos) << host;
}

// The design area scaled by the smaller ratio (at most six), centred, and drawn into a viewport
// of whole pixels.
TEST(DisplayScaling, ScalesByTheSmallerRatioCappedAtSixCentresAndCutsTheViewportToWholePixels) {
    StartRuntimeOnce();
    DimensionPlayTables();
    phase = 6;   // nothing runs or is drawn but the frame's own work
    screen = 11;
    struct Case { int w, h, on; double scale, offX, offY; int viewX, viewW, viewH; } cases[] = {
        {320, 480, 0, 1, 0, 0, 0, 320, 480},                                                 // design size
        {3000, 4000, 1, 6, (3000 - 1920) / 2, (4000 - 2880) / 2, 540, 1920, 2880},          // capped
        {240, 320, 1, 320.0 / 480, (240 - 320 * 320.0 / 480) / 2, 0, 13, 213, 320},         // shrunk
        {768, 1024, 1, 1024.0 / 480, (768 - 320 * 1024.0 / 480) / 2, 0, 42, 682, 1024},   // the tablet, left for the rest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        graphicsDevice->Orientation = 0;
        graphicsDevice->deviceWidth = c.w;
        graphicsDevice->deviceHeight = c.h;
        ComputeDisplayScaling();
        EXPECT_EQ(scalingOn, c.on);
        EXPECT_NEAR(scaleX, c.scale, 1e-4);
        EXPECT_EQ(scaleX, scaleY);
        EXPECT_NEAR(offsetX, c.offX, 1e-3);
        EXPECT_NEAR(offsetY, c.offY, 1e-3);
        DrawFrame();
        EXPECT_EQ(graphicsDevice->viewX, c.viewX);
        EXPECT_EQ(graphicsDevice->viewWidth, c.viewW);
        EXPECT_EQ(graphicsDevice->viewHeight, c.viewH);
    }
}

// Saves stay beside the program only where the player may write and the copy is not installed;
// otherwise they go to the application-data folder under HOME, made when first needed.
TEST(SaveFolder, BesideTheProgramOnlyWhenItsFolderIsWritableAndNotInstalled) {
    StartRuntimeOnce();
    const std::string base = MakeScratchFolder("squibly_savedir_"), program = base + "/program/";
    const std::string appData = base + "/.kortic", keptHome = getenv("HOME") ? getenv("HOME") : "/tmp";
    std::filesystem::create_directories(program);
    setenv("HOME", base.c_str(), 1);
    auto folderFor = [](const std::string& dir) { return std::string(SaveFolderBeside(dir.c_str()).c_str()); };
    EXPECT_EQ(folderFor(program), program);
    EXPECT_FALSE(std::filesystem::exists(appData)) << "made without need";
    std::ofstream(program + "installed-copy") << "installed\n";
    EXPECT_EQ(folderFor(program), appData);
    EXPECT_TRUE(std::filesystem::is_directory(appData));
    std::filesystem::remove(program + "installed-copy");
    EXPECT_EQ(folderFor(base + "/missing/"), appData);
    if (geteuid() != 0) {  // root writes anywhere; the installed-copy note covers that case
        std::filesystem::permissions(program, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
        EXPECT_EQ(folderFor(program), appData);
    }
    setenv("HOME", keptHome.c_str(), 1);
}

TEST(StartMode, NamesMapToModesAndAnythingElseToNone) {
    struct Case { const char* text; int mode; } cases[] = {
        {"arcade", 1}, {"PUZZLE", 2}, {"timetrial", 3}, {"time_trial", 3}, {"Time Trial", 3},
        {"zen", 4}, {"tutorial", 5}, {"", 0}, {"arcadeX", 0}, {"1", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(StartModeFromText(c.text), c.mode) << c.text;
}

// The whole start-up, then frames, on a tablet-sized headless display without media: without a
// switch it opens the main menu, with one a playable game of that mode.
TEST(FullStart, WithoutASwitchItOpensTheMainMenuAndWithOneAPlayableGameOfThatMode) {
    StartRuntimeOnce();
    setenv("SQUIBLY_SEED", "99", 1);
    for (const char* mode : {"", "zen"}) {
        SCOPED_TRACE(mode);
        setenv("SQUIBLY_START_MODE", mode, 1);
        SetCurrentDir(MakeScratchFolder("squibly_shell_").c_str());
        uint64_t frames = NullPlatform::FramesPresented();
        GameStartup();
        EXPECT_EQ(startupComplete, 1);
        EXPECT_EQ(platform, 3);   // the 768 x 1024 display is the tablet
        // Loading screen frames and the 50 frames of the outro were presented.
        EXPECT_GE(NullPlatform::FramesPresented() - frames, 50u + 50u);
        if (*mode == 0) {
            // Start-up leaves no tick for the first frame; the second enters the main menu.
            ASSERT_TRUE(RunFrame());
            EXPECT_EQ(phase, 0);
            ASSERT_TRUE(RunFrame());
            EXPECT_EQ(phase * 10 + screen, 11);
            continue;
        }
        EXPECT_EQ(gameMode, 4);
        long long ticks = logicTickCount;
        frames = NullPlatform::FramesPresented();
        for (int i = 0; i < 300; ++i) ASSERT_TRUE(RunFrame());
        EXPECT_EQ(phase * 10 + screen, 77);
        EXPECT_EQ(NullPlatform::FramesPresented() - frames, 300u);
        // On the virtual clock every frame lasts one frame interval, so about one tick a frame.
        EXPECT_NEAR(static_cast<double>(logicTickCount - ticks), 300, 6);
        for (int i = 0; i < 36; ++i) ASSERT_TRUE(creatures(i).kind >= 1 && creatures(i).kind <= 8) << i;
        EXPECT_EQ(boardPhase, 2);   // dealt, swept in and settled
    }
    unsetenv("SQUIBLY_START_MODE");
}

}  // namespace
